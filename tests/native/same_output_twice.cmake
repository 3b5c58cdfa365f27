# Runs the generator TOOL twice, into WORK/first and WORK/second, and fails unless both runs
# succeed and write the same files with the same bytes.
file(REMOVE_RECURSE ${WORK})
foreach(run first second)
    file(MAKE_DIRECTORY ${WORK}/${run})
    execute_process(COMMAND ${TOOL} ${WORK}/${run} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${TOOL} failed in the ${run} run: ${status}")
    endif()
endforeach()
file(GLOB first_files RELATIVE ${WORK}/first ${WORK}/first/*)
file(GLOB second_files RELATIVE ${WORK}/second ${WORK}/second/*)
if(NOT first_files OR NOT first_files STREQUAL second_files)
    message(FATAL_ERROR "the runs wrote different files: '${first_files}' and '${second_files}'")
endif()
foreach(name ${first_files})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/first/${name}
                            ${WORK}/second/${name}
                    RESULT_VARIABLE different)
    if(different)
        message(FATAL_ERROR "${name} differs between two runs")
    endif()
endforeach()
message(STATUS "same bytes twice: ${first_files}")
