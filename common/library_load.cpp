// What a library of ours does when a process loads and frees it. The tray program loads and
// frees the engine at every switch of the lens, and the engine loads and frees the companion
// libraries and the plug-ins at every start, each on a thread the library did not create: a load
// and a free must leave nothing behind and set up nothing for that thread. Linked into such a
// library by vx_unloadable_library (cmake/UnloadableLibrary.cmake).

// The C++ runtime's emergency buffer for exceptions (about 19 KB), allocated when the library is
// loaded and otherwise never given back.
namespace __gnu_cxx {
void __freeres() noexcept;
}

// Our libraries throw and catch no exceptions, so their unwind tables need no registration. The
// runtime's registration takes a lock through the static thread library, which on the loading
// thread creates a thread record (an event and a duplicate of the thread's handle) and takes a
// TLS slot; none of them is released when the library is freed, so every load would leave them
// behind, and the process runs out of TLS slots after about a thousand loads. The link routes
// the start-up code's calls here (--wrap), where they do nothing.
extern "C" void __wrap___register_frame_info(const void*, void*) {}

extern "C" void* __wrap___deregister_frame_info(const void*) {
    return nullptr;
}

namespace {

// Ends when the library is freed, with its other static objects, and gives the buffer back. (A
// static object rather than DllMain, which some of our libraries have for their own work.)
struct EmergencyBufferRelease {
    EmergencyBufferRelease() = default;
    EmergencyBufferRelease(const EmergencyBufferRelease&) = delete;
    EmergencyBufferRelease& operator=(const EmergencyBufferRelease&) = delete;
    ~EmergencyBufferRelease() { __gnu_cxx::__freeres(); }
};

EmergencyBufferRelease emergencyBufferRelease;

} // namespace
