# Build conventions shared by every directory.

option(KORVEX_SANITIZE "Build host code with AddressSanitizer and UBSan" OFF)

set(KORVEX_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/lib/wine-run)
set(KORVEX_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
# Linux programs the Windows tests start (the page server): the host build's.
set(KORVEX_HOST_BIN_DIR ${CMAKE_SOURCE_DIR}/build/host/bin CACHE PATH
    "Where the Windows tests find the host build's programs")

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WINVER=0x0601 _WIN32_WINNT=0x0601)
  # The programs must not depend on any DLL of the toolchain.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # What ships carries no symbols (the static runtime brings its debugging sections along).
  add_link_options($<$<CONFIG:Release>:-s>)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    # GCC 12's i686 optimiser reports overlapping copies inside std::string concatenation that
    # cannot happen (GCC bug 105329); the same code is checked by the other two builds.
    add_compile_options(-Wno-restrict)
  endif()
elseif(KORVEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

function(korvex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# A Windows GUI program with a Unicode entry point (wWinMain).
function(korvex_win_program target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_link_options(${target} PRIVATE -municode)
  korvex_warnings(${target})
endfunction()

# GoogleTest from Debian's sources, so the same version serves the host and both mingw builds.
macro(korvex_add_googletest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endmacro()

# Host test: a native GoogleTest program, each test case registered with CTest.
function(korvex_add_host_test target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  korvex_warnings(${target})
  include(GoogleTest)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30)
endfunction()

# Windows test: a GoogleTest console program run under wine64 by scripts/lib/wine-run, in a
# throwaway copy of a prepared Wine prefix, on a private Xvfb display. One CTest test per
# program; GoogleTest reports the cases.
# OWN_MAIN: the program has a main of its own (GoogleTest without its main). WINDOW_MANAGER: a
# window manager runs on the program's display.
function(korvex_add_wine_test target)
  cmake_parse_arguments(ARG "OWN_MAIN;WINDOW_MANAGER" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT"
                        ${ARGN})
  if(ARG_WINDOW_MANAGER)
    list(APPEND ARG_ENVIRONMENT KORVEX_WINDOW_MANAGER=1)
  endif()
  add_executable(${target} ${ARG_SOURCES})
  if(ARG_OWN_MAIN)
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  endif()
  korvex_warnings(${target})
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    return()  # 32-bit code cannot run on this machine; the win64 build runs the tests.
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${target} COMMAND ${KORVEX_WINE_RUN} $<TARGET_FILE:${target}> --gtest_color=no)
  set_tests_properties(${target} PROPERTIES
    FIXTURES_REQUIRED wine_template
    TIMEOUT ${ARG_TIMEOUT}
    LABELS "wine;${ARG_LABELS}"
    ENVIRONMENT "KORVEX_WINE_TEMPLATE=${KORVEX_WINE_TEMPLATE};KORVEX_BIN_DIR=${CMAKE_BINARY_DIR}/bin;KORVEX_HOST_BIN_DIR=${KORVEX_HOST_BIN_DIR};KORVEX_SOURCE_DIR=${CMAKE_SOURCE_DIR};${ARG_ENVIRONMENT}")
endfunction()
