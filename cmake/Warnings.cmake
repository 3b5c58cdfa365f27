# Our own targets build with every warning as an error (C and C++ sources; resource scripts
# go to windres, which takes no such flags).
function(vx_strict target)
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:-Wall;-Wextra;-Werror>")
endfunction()
