# Build conventions shared by every folder.
#
# Native build (Linux): the portable libraries and their GoogleTest tests.
# Windows build (mingw-w64 or MSVC): the same libraries plus the Win32 code, ombrevane.exe,
# inputward.dll, the Win32 tests (run under Wine by ctest) and the end-to-end scenarios.

if(MSVC)
  set(OMBREVANE_WARNINGS /W4 /permissive-)
  add_compile_definitions(_CRT_SECURE_NO_WARNINGS)
else()
  set(OMBREVANE_WARNINGS -Wall -Wextra)
endif()

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  if(MINGW)
    # Only system DLLs at run time.
    set(OMBREVANE_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
  endif()
endif()

# The installation layout: <prefix>/bin with config/ and help/ beside it.
set(OMBREVANE_STAGE_DIR ${CMAKE_BINARY_DIR}/stage CACHE PATH "Staged installation layout")
set(OMBREVANE_STAGE_BIN ${OMBREVANE_STAGE_DIR}/bin)

# Wine command used by ctest in the Windows build.
set(OMBREVANE_WINE wine CACHE STRING "Runs Windows test programs")

function(ombrevane_warnings target)
  target_compile_options(${target} PRIVATE ${OMBREVANE_WARNINGS})
endfunction()

# A static library of portable or Win32 code.
#   ombrevane_library(name SOURCES ... [LIBS ...])
function(ombrevane_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  ombrevane_warnings(${name})
endfunction()

function(ombrevane_add_googletest)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  if(EXISTS /usr/src/googletest/CMakeLists.txt)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endfunction()

# A GoogleTest program. Native build: run directly. Windows build: run under Wine.
#   ombrevane_gtest(name SOURCES ... [LIBS ...] [WINDOWS_ONLY] [NATIVE_ONLY] [LABELS ...])
function(ombrevane_gtest name)
  cmake_parse_arguments(A "WINDOWS_ONLY;NATIVE_ONLY" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(A_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  if(A_NATIVE_ONLY AND WIN32)
    return()
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest_main)
  ombrevane_warnings(${name})
  if(WIN32)
    target_link_options(${name} PRIVATE ${OMBREVANE_STATIC_RUNTIME})
    add_test(NAME ${name} COMMAND ${OMBREVANE_WINE} $<TARGET_FILE:${name}>)
    set(labels wine ${A_LABELS})
  else()
    add_test(NAME ${name} COMMAND ${name})
    set(labels native ${A_LABELS})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS "${labels}")
endfunction()

# A Windows program used by tests (drivers, hosts, demos); never installed.
#   ombrevane_test_program(name [GUI] SOURCES ... [LIBS ...])
function(ombrevane_test_program name)
  cmake_parse_arguments(A "GUI" "" "SOURCES;LIBS" ${ARGN})
  if(A_GUI)
    add_executable(${name} WIN32 ${A_SOURCES})
  else()
    add_executable(${name} ${A_SOURCES})
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_link_options(${name} PRIVATE ${OMBREVANE_STATIC_RUNTIME})
  ombrevane_warnings(${name})
endfunction()

# An end-to-end scenario under Wine: a bash script run with the harness environment.
# The script gets OMBREVANE_BUILD (this build folder), OMBREVANE_STAGE (staged layout) and
# OMBREVANE_SOURCE; tests/wine/lib.sh has the helpers.
#   ombrevane_scenario(name SCRIPT file [TIMEOUT s] [DEPENDS targets...])
function(ombrevane_scenario name)
  cmake_parse_arguments(A "" "SCRIPT;TIMEOUT" "DEPENDS" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND bash ${A_SCRIPT})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS "wine;e2e"
    ENVIRONMENT "OMBREVANE_BUILD=${CMAKE_BINARY_DIR};OMBREVANE_STAGE=${OMBREVANE_STAGE_DIR};OMBREVANE_SOURCE=${PROJECT_SOURCE_DIR}")
endfunction()

# Copies a built target into the staged bin/ folder after every build.
function(ombrevane_stage_bin target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${OMBREVANE_STAGE_BIN}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${OMBREVANE_STAGE_BIN}/)
endfunction()
include(${CMAKE_CURRENT_LIST_DIR}/Release.cmake)
