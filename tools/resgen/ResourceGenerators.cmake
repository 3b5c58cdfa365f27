# Sources of the build-time generators that draw the bitmaps and icons (the installer's picture
# among them) and synthesise the start sound. The drawing and encoding files need no Windows; the native build compiles them into
# vx_resgen for their unit tests, and both builds compile the generators for the build machine.
set(VX_RESGEN_DIR ${CMAKE_CURRENT_LIST_DIR})

set(VX_RESGEN_COMMON_SOURCES
    ${VX_RESGEN_DIR}/byte_writer.h
    ${VX_RESGEN_DIR}/dib_encoding.cpp ${VX_RESGEN_DIR}/dib_encoding.h
    ${VX_RESGEN_DIR}/file_output.cpp ${VX_RESGEN_DIR}/file_output.h
    ${VX_RESGEN_DIR}/palette.cpp ${VX_RESGEN_DIR}/palette.h
    ${VX_RESGEN_DIR}/shapes.cpp ${VX_RESGEN_DIR}/shapes.h)

set(VX_RESGEN_CURSOR_SOURCES
    ${VX_RESGEN_COMMON_SOURCES}
    ${VX_RESGEN_DIR}/cursor_art.cpp ${VX_RESGEN_DIR}/cursor_art.h
    ${VX_RESGEN_DIR}/mask.cpp ${VX_RESGEN_DIR}/mask.h)

set(VX_RESGEN_APP_SOURCES
    ${VX_RESGEN_COMMON_SOURCES}
    ${VX_RESGEN_DIR}/canvas.cpp ${VX_RESGEN_DIR}/canvas.h
    ${VX_RESGEN_DIR}/chime.cpp ${VX_RESGEN_DIR}/chime.h
    ${VX_RESGEN_DIR}/ico_file.cpp ${VX_RESGEN_DIR}/ico_file.h
    ${VX_RESGEN_DIR}/icon_art.cpp ${VX_RESGEN_DIR}/icon_art.h
    ${VX_RESGEN_DIR}/pixel_font.cpp ${VX_RESGEN_DIR}/pixel_font.h
    ${VX_RESGEN_DIR}/splash_art.cpp ${VX_RESGEN_DIR}/splash_art.h
    ${VX_RESGEN_DIR}/lens_colours.h
    ${VX_RESGEN_DIR}/wave_file.cpp ${VX_RESGEN_DIR}/wave_file.h)

set(VX_RESGEN_INSTALLER_SOURCES
    ${VX_RESGEN_COMMON_SOURCES}
    ${VX_RESGEN_DIR}/canvas.cpp ${VX_RESGEN_DIR}/canvas.h
    ${VX_RESGEN_DIR}/installer_art.cpp ${VX_RESGEN_DIR}/installer_art.h
    ${VX_RESGEN_DIR}/lens_colours.h
    ${VX_RESGEN_DIR}/pixel_font.cpp ${VX_RESGEN_DIR}/pixel_font.h)

# vx_generated_files(<output variable> TOOL <name> MAIN <main source> SOURCES <files...>
#                    DIRECTORY <folder> FILES <names...>)
# builds the generator <name> for the build machine and adds the custom command that runs it
# with <folder> as its output folder; the full paths of the generated files land in the output
# variable, for a target's sources or OBJECT_DEPENDS in the calling directory.
function(vx_generated_files out)
    cmake_parse_arguments(ARG "" "TOOL;MAIN;DIRECTORY" "SOURCES;FILES" ${ARGN})
    vx_host_tool(${ARG_TOOL} SOURCES ${ARG_MAIN} ${ARG_SOURCES})
    set(outputs)
    foreach(name ${ARG_FILES})
        list(APPEND outputs ${ARG_DIRECTORY}/${name})
    endforeach()
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ARG_DIRECTORY}
        COMMAND ${${ARG_TOOL}_EXECUTABLE} ${ARG_DIRECTORY}
        DEPENDS ${${ARG_TOOL}_EXECUTABLE}
        COMMENT "Generating ${ARG_FILES}"
        VERBATIM)
    set(${out} ${outputs} PARENT_SCOPE)
endfunction()
