# Options shared by the project's own targets. Results must come out of exactly the
# single- and double-precision steps the method prescribes, so no contraction into
# fused multiply-adds and no fast-math.
function(vestra_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -ffp-contract=off)
  # GCC 12 reports std::string concatenations as overlapping copies at -O3 (its bug
  # 105329, a false positive).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()
