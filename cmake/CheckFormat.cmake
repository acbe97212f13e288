# Fails when a C++ file of the project differs from what clang-format makes of it with the
# project's .clang-format: cmake -DCLANG_FORMAT=<program> -DSOURCE_DIR=<top> -P CheckFormat.cmake
if(NOT CLANG_FORMAT)
  message(FATAL_ERROR "clang-format was not found; scripts/setup.sh --packages installs it")
endif()
set(sources)
foreach(folder app base bench mainwindow parts platform rulers tests)
  file(GLOB_RECURSE found "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.h")
  list(APPEND sources ${found})
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "unformatted lines above: run clang-format -i on those files")
endif()
list(LENGTH sources count)
message(STATUS "${count} files formatted as .clang-format asks")
