# What `cmake --install` puts in place: the program, its desktop entry, icons, AppStream
# metadata, help pages, manual page and package documents. The help pages are also copied
# beside the program in the build tree, where a build run finds them.

# A build without the program (only a backend and its tests) installs nothing.
if(NOT TARGET sizewise)
  return()
endif()

install(TARGETS sizewise RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Help pages: build/help/ mirrors docs/help/ file by file.
file(GLOB SIZEWISE_HELP_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/help/*)
set(help_copies)
foreach(page IN LISTS SIZEWISE_HELP_FILES)
  get_filename_component(name ${page} NAME)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/help/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${page} ${CMAKE_BINARY_DIR}/help/${name}
    DEPENDS ${page}
    VERBATIM)
  list(APPEND help_copies ${CMAKE_BINARY_DIR}/help/${name})
endforeach()
add_custom_target(sizewise_help ALL DEPENDS ${help_copies})
add_dependencies(sizewise sizewise_help)
install(FILES ${SIZEWISE_HELP_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/sizewise/help)

# The GNOME Shell extension's packages (both flavours), beside the program in the build tree and in
# the data folder once installed, where Sizewise finds them when it offers to install them.
if(TARGET sizewise_gnome)
  set(gnome_packages ${CMAKE_BINARY_DIR}/gnome-shell/sizewise-gnome43.zip
                     ${CMAKE_BINARY_DIR}/gnome-shell/sizewise-gnome45.zip)
  file(GLOB gnome_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/gnome/extension*/*)
  add_custom_command(OUTPUT ${gnome_packages}
    COMMAND sh ${PROJECT_SOURCE_DIR}/platform/gnome/build-extension.sh ${CMAKE_BINARY_DIR}/gnome-shell
    DEPENDS ${gnome_sources} ${PROJECT_SOURCE_DIR}/platform/gnome/build-extension.sh
    VERBATIM)
  add_custom_target(sizewise_gnome_packages ALL DEPENDS ${gnome_packages})
  add_dependencies(sizewise sizewise_gnome_packages)
  install(FILES ${gnome_packages} DESTINATION ${CMAKE_INSTALL_DATADIR}/sizewise/gnome-shell)
endif()

# The rest is the free desktops' menu, icon theme, software centre and manual pages,
# and the Debian package's documents.
if(NOT UNIX OR APPLE)
  return()
endif()

# Debian wants manual pages and changelogs compressed, without a time stamp in them.
function(sizewise_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}.tmp
    COMMAND gzip -9nf ${output}.tmp
    COMMAND ${CMAKE_COMMAND} -E rename ${output}.tmp.gz ${output}
    DEPENDS ${source}
    VERBATIM)
endfunction()
# The package's documents carry the project's e-mail address.
configure_file(data/debian/copyright.in ${CMAKE_BINARY_DIR}/debian/copyright @ONLY)
configure_file(data/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
sizewise_gzip(${PROJECT_SOURCE_DIR}/docs/sizewise.1 ${CMAKE_BINARY_DIR}/gz/sizewise.1.gz)
sizewise_gzip(${CMAKE_BINARY_DIR}/debian/changelog ${CMAKE_BINARY_DIR}/gz/changelog.Debian.gz)
add_custom_target(sizewise_compressed_docs ALL
  DEPENDS ${CMAKE_BINARY_DIR}/gz/sizewise.1.gz ${CMAKE_BINARY_DIR}/gz/changelog.Debian.gz)
# Building the program alone (scripts/run.sh) still leaves everything installable.
add_dependencies(sizewise sizewise_compressed_docs)
install(FILES ${CMAKE_BINARY_DIR}/gz/sizewise.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/gz/changelog.Debian.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/sizewise)

# Desktop menu entry and icons.
install(FILES data/sizewise.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES data/icons/sizewise-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME sizewise.png)
endforeach()
install(FILES data/icons/sizewise.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# AppStream metadata, with the project's web site filled in.
set(SIZEWISE_APPSTREAM_ID io.github.sizewise.Sizewise)
# The web site serves the README's screenshot, docs/screenshot.png, beside its home page.
string(REGEX REPLACE "/+$" "" site "${SIZEWISE_HOMEPAGE}")
set(SIZEWISE_SCREENSHOT_URL "${site}/screenshot.png")
configure_file(data/${SIZEWISE_APPSTREAM_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/${SIZEWISE_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${SIZEWISE_APPSTREAM_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
