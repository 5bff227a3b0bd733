# The release form of the Windows build: small binaries that only need system DLLs.
#
# Every object gets its own section per function and datum, so the linker drops what nothing
# calls (--gc-sections). The optimisation level is -O2: bench/size/size.sh --compare measures
# it against -Os, which saves about 6 % of the exe but draws the navigation bar and rebuilds the
# tray icon measurably slower. ombrevane_release_binary strips a shipped binary of its symbols.

set(OMBREVANE_OPTIMIZE -O2 CACHE STRING "Optimisation of the Windows release build: -O2 or -Os")

if(MINGW AND CMAKE_BUILD_TYPE STREQUAL "Release")
  set(CMAKE_C_FLAGS_RELEASE "${OMBREVANE_OPTIMIZE} -DNDEBUG")
  set(CMAKE_CXX_FLAGS_RELEASE "${OMBREVANE_OPTIMIZE} -DNDEBUG")
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections)
endif()

function(ombrevane_release_binary target)
  if(MINGW AND CMAKE_BUILD_TYPE STREQUAL "Release")
    target_link_options(${target} PRIVATE -s)
  endif()
endfunction()

# A hook library that lives inside every instance: no exception may cross its exported
# functions and it needs no type information, so neither is compiled in (and none of the
# runtime that supports them is linked).
function(ombrevane_lean_library target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
  endif()
endfunction()
