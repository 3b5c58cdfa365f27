# The version every binary we ship carries, set once by project() in the top-level CMakeLists.
#
#   vx_version_resource(<target> "<file description>")
#
# gives the executable or library <target> a VERSIONINFO resource made from version.rc.in beside
# this file: product name, version, company and copyright, the description given and the
# target's own file name. The installer and the portable zip take their names from VX_VERSION.
set(VX_VERSION ${PROJECT_VERSION})
set(VX_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(VX_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(VX_VERSION_PATCH ${PROJECT_VERSION_PATCH})
set(VX_PRODUCT_NAME "Vexlume")
set(VX_COMPANY_NAME "Drelmont")
set(VX_COPYRIGHT "Copyright (C) 2026 Drelmont")

set(VX_VERSION_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/version.rc.in)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VX_VERSION_TEMPLATE})

function(vx_version_resource target description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(VX_FILE_TYPE VFT_APP)
    else()
        set(VX_FILE_TYPE VFT_DLL)
    endif()
    set(VX_FILE_DESCRIPTION "${description}")
    set(VX_TARGET ${target})
    file(READ ${VX_VERSION_TEMPLATE} template)
    # @...@ now; the file name, a generator expression, when the build files are written.
    string(CONFIGURE "${template}" script @ONLY)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/version/${target}.rc)
    file(GENERATE OUTPUT ${output} CONTENT "${script}")
    target_sources(${target} PRIVATE ${output})
endfunction()
