# Options shared by the project's own targets. Results must come out of exactly the
# single- and double-precision steps the method prescribes, so no contraction into
# fused multiply-adds and no fast-math.
function(vestra_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -ffp-contract=off)
endfunction()
