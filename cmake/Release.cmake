# The release form of the Windows build: small binaries that only need system DLLs.
#
# Every object gets its own section per function and datum, so the linker drops what nothing
# calls (--gc-sections). Code is optimised for size (-Os) except where speed shows: the
# libraries that draw (navigation bar, tray icon) and the hook library keep -O2, given by
# ombrevane_speed_critical. bench/size/size.sh --compare measures this against -O2 throughout
# (OMBREVANE_OPTIMIZE=-O2): -Os alone draws the bar and rebuilds the tray icon measurably
# slower. ombrevane_release_binary strips a shipped binary of its symbols.

set(OMBREVANE_OPTIMIZE -Os CACHE STRING "Optimisation of the Windows release build: -Os or -O2")

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

# Targets whose speed is felt: optimised for speed whatever OMBREVANE_OPTIMIZE says (the later
# -O2 wins over the release flags).
function(ombrevane_speed_critical)
  if(MINGW AND CMAKE_BUILD_TYPE STREQUAL "Release")
    foreach(target ${ARGN})
      target_compile_options(${target} PRIVATE -O2)
    endforeach()
  endif()
endfunction()
