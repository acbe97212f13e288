# Warnings every target of the project is built with; the build is kept free of them.
function(sizewise_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive-)
  else()
    # GCC and Clang, mingw-w64's GCC included.
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
      -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2)
  endif()
endfunction()
