# The Debian package, made from the install rules by `cpack -G DEB` in the build folder.
# Its dependencies are read from the program's shared libraries by dpkg-shlibdeps.

if(NOT TARGET sizewise OR NOT UNIX OR APPLE)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sizewise)
set(CPACK_PACKAGE_VENDOR "Korvath")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read and change other windows' position and size")
set(CPACK_PACKAGE_DESCRIPTION [=[
Sizewise watches the window you are working in and shows its title, its
left, top, right and bottom edges, its width and its height in screen
pixels, ten times a second. Click a value and type a new one, and the
window moves or resizes at once. Buttons minimise, restore or maximise it
or move it to the top-left corner of the screen, and ten preset sizes
resize it in one click. A small picture of the screen shows where the
window lies; dragging it moves the window.

Two on-screen rulers, one horizontal and one vertical, float freely, span
the screen or follow the window, and show the pointer's co-ordinates and
the size of an area measured with SHIFT and a left click.

Sizewise works on X11 desktops; under Wayland it sees only XWayland
windows.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Sizewise developers <${SIZEWISE_EMAIL}>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${SIZEWISE_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
