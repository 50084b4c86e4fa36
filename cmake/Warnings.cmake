# Warnings are errors. -Wconversion catches silent float/int narrowing in the DSP code.
# -ffp-contract=off keeps every float operation as written (no fused multiply-add),
# so renders match an independent model sample by sample.
function(fretwerk_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Wnon-virtual-dtor
    -Werror -ffp-contract=off)
endfunction()

add_compile_options(-ffp-contract=off -fno-fast-math)
