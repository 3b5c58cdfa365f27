#include "engine_state.h"

#include "scoped_handles.h"

namespace {

EngineState g_Engine;

} // namespace

EngineState& Engine() {
    return g_Engine;
}

HMODULE EngineModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&EngineModule), &module);
    return module;
}

void SendNotification(int code) {
    const EngineCallback callback = Engine().callback;
    if (callback == nullptr) {
        return;
    }
    UniqueHandle thread(CreateThread(
        nullptr, 0, callback, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(code)), 0, nullptr));
}
