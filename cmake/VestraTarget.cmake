# Options shared by the project's own targets. Results must come out of exactly the
# single- and double-precision steps the method prescribes, so no contraction into
# fused multiply-adds and no fast-math.
#
# Warnings are errors where the project's own checks run (CI turns VESTRA_WERROR on), not
# in a user's build: a newer compiler's new warning must not stop an install.
option(VESTRA_WERROR "Treat compiler warnings as errors" OFF)

function(vestra_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -ffp-contract=off)
  if(VESTRA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # GCC 12 reports std::string concatenations as overlapping copies at -O3 (its bug
  # 105329, a false positive).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()
