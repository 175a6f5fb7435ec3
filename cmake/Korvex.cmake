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

# Where this build's Windows programs run: the x86-64 build under Wine's 64-bit loader, the
# i686 release under its 32-bit loader in the same 64-bit prefix (WoW64), where this machine has
# it (scripts/lib/install-deps installs it where 32-bit code executes). Elsewhere the i686 build
# is only checked for what a release must be.
if(WIN32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    set(KORVEX_WINE_LOADER /usr/lib/wine/wine)
  else()
    set(KORVEX_WINE_LOADER /usr/lib/wine/wine64)
  endif()
  if(EXISTS ${KORVEX_WINE_LOADER})
    set(KORVEX_WINE_TESTS ON)
  else()
    set(KORVEX_WINE_TESTS OFF)
    message(STATUS "No ${KORVEX_WINE_LOADER}: this build's Windows tests are not registered")
  endif()
endif()

# Registers one test that runs a Windows program through scripts/lib/wine-run (which picks the
# loader of the program's build), in a throwaway copy of the tree's prepared Wine prefix, on a
# private Xvfb display. Does nothing where this build's programs cannot run.
# COMMAND: the program and its arguments. WINDOW_MANAGER: a window manager runs on its display.
function(korvex_add_wine_command_test name)
  cmake_parse_arguments(ARG "WINDOW_MANAGER" "TIMEOUT" "COMMAND;LABELS;ENVIRONMENT" ${ARGN})
  if(NOT KORVEX_WINE_TESTS)
    return()
  endif()
  if(ARG_WINDOW_MANAGER)
    list(APPEND ARG_ENVIRONMENT KORVEX_WINDOW_MANAGER=1)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${KORVEX_WINE_RUN} ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_template
    TIMEOUT ${ARG_TIMEOUT}
    LABELS "wine;${ARG_LABELS}"
    ENVIRONMENT "KORVEX_WINE_TEMPLATE=${KORVEX_WINE_TEMPLATE};KORVEX_BIN_DIR=${CMAKE_BINARY_DIR}/bin;KORVEX_HOST_BIN_DIR=${KORVEX_HOST_BIN_DIR};KORVEX_SOURCE_DIR=${CMAKE_SOURCE_DIR};${ARG_ENVIRONMENT}")
endfunction()

# Windows test: a GoogleTest console program, built by both Windows presets and run under Wine
# by korvex_add_wine_command_test. One CTest test per program; GoogleTest reports the cases.
# OWN_MAIN: the program has a main of its own (GoogleTest without its main). WINDOW_MANAGER: a
# window manager runs on the program's display.
function(korvex_add_wine_test target)
  cmake_parse_arguments(ARG "OWN_MAIN;WINDOW_MANAGER" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT"
                        ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  if(ARG_OWN_MAIN)
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  endif()
  korvex_warnings(${target})
  set(window_manager)
  if(ARG_WINDOW_MANAGER)
    set(window_manager WINDOW_MANAGER)
  endif()
  korvex_add_wine_command_test(${target} ${window_manager}
    COMMAND $<TARGET_FILE:${target}> --gtest_color=no
    TIMEOUT "${ARG_TIMEOUT}" LABELS "${ARG_LABELS}" ENVIRONMENT "${ARG_ENVIRONMENT}")
endfunction()
