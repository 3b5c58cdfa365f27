#include "start_sound.h"

#include <mmsystem.h>

namespace {

DWORD WINAPI PlaySoundThread(LPVOID instance) {
    PlaySoundA("load", static_cast<HINSTANCE>(instance), SND_RESOURCE);
    return 0;
}

} // namespace

void PlayStartSound(HINSTANCE instance) {
    HANDLE thread = CreateThread(nullptr, 0, PlaySoundThread, instance, 0, nullptr);
    if (thread != nullptr) {
        CloseHandle(thread);
    }
}
