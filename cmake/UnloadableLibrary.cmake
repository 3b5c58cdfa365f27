# A library of ours that a process loads and frees many times (the engine at every switch of the
# lens, the companion libraries and the shipped plug-ins at every start of the engine):
# common/library_load.cpp gives back at the free what the load set up, and the start-up code's
# registration of unwind tables is routed to it, so that the static thread library is never set
# up for the loading thread.
function(vx_unloadable_library target)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/common/library_load.cpp)
    target_link_options(${target} PRIVATE
        -Wl,--wrap=__register_frame_info -Wl,--wrap=__deregister_frame_info)
endfunction()
