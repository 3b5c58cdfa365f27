# Build-time generators run on the build machine, also in the cross build, so they are compiled
# with the machine's own C++ compiler rather than with the target toolchain.
#
#   vx_host_tool(<name> SOURCES <files...> [INCLUDES <dirs...>])
#
# builds ${CMAKE_BINARY_DIR}/host/<name> and sets <name>_EXECUTABLE in the caller's scope; a
# custom command that runs the tool should list that path in its DEPENDS. Headers (.h) among the
# SOURCES are not compiled; the tool is rebuilt when they change.
set(VX_HOST_CXX c++ CACHE STRING "C++ compiler of the build machine, for the generators")

function(vx_host_tool name)
    cmake_parse_arguments(ARG "" "" "SOURCES;INCLUDES" ${ARGN})
    set(output ${CMAKE_BINARY_DIR}/host/${name})
    set(sources)
    set(inputs)
    foreach(source ${ARG_SOURCES})
        get_filename_component(path ${source} ABSOLUTE)
        list(APPEND inputs ${path})
        if(NOT path MATCHES "\\.h$")
            list(APPEND sources ${path})
        endif()
    endforeach()
    set(includes)
    foreach(dir ${ARG_INCLUDES} ${PROJECT_SOURCE_DIR}/include)
        get_filename_component(path ${dir} ABSOLUTE)
        list(APPEND includes -I${path})
    endforeach()
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
        COMMAND ${VX_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror ${includes} -o ${output} ${sources}
        DEPENDS ${inputs}
        COMMENT "Building generator ${name} for the build machine"
        VERBATIM)
    add_custom_target(${name}_host DEPENDS ${output})
    set(${name}_EXECUTABLE ${output} PARENT_SCOPE)
endfunction()
