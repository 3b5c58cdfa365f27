#include "engine_state.h"

#include "scoped_handles.h"

EngineCallback g_Callback = nullptr;
volatile LONG g_Brightness = 0;
HWND g_OwnerWindow = nullptr;

HMODULE EngineModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&EngineModule), &module);
    return module;
}

void SendNotification(int code) {
    if (g_Callback == nullptr) {
        return;
    }
    UniqueHandle thread(CreateThread(
        nullptr, 0, g_Callback, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(code)), 0, nullptr));
}
