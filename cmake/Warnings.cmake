# Our own targets build with every warning as an error.
function(vx_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
