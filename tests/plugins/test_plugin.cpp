// Test plug-ins for the engine's plug-in host. Every call is recorded in the test program's call
// log as "<file name> <entry point> ...", so that copies under different names tell themselves
// apart, and counted in the file's shared block when a test made one (plugin_call_counts.h).
// Variants, chosen when built:
//   INIT_RESULT=n     what vxpiInit returns (default 1)
//   OMIT_RELEASE      no vxpiRelease export
//   INVERT            vxpiFilter inverts the colours of the frame
//   FAULT_IN=1, 2, 3  vxpiInit, vxpiFilter or vxpiRelease writes through a null pointer after
//   recording itself,
//                     with its x87 stack filled and the registers the caller keeps clobbered;
//   FAULT_IN=4        the same in DllMain, as the library is loaded
//   OVERFLOW          vxpiFilter recurses until the stack overflows
//   RAISE             vxpiFilter raises an exception it does not catch
//   PROBE             vxpiFilter probes an unmapped address with IsBadReadPtr, which handles the
//                     fault it causes itself
//   RECORD_THREAD     every entry point's record ends in " thread=<id>" of the calling thread
#include <cstring>

#include "call_log.h"
#include "plugin_call_counts.h"
#include "vxpi.h"

#if !defined(INIT_RESULT)
#define INIT_RESULT 1
#endif

#if !defined(FAULT_IN)
#define FAULT_IN 0
#endif

namespace {

char g_name[MAX_PATH] = "?";
VxpiEngine g_engine = {};
PluginCallCounts* g_counts = nullptr;

void Count(LONG PluginCallCounts::*call) {
    if (g_counts != nullptr) {
        InterlockedIncrement(&(g_counts->*call));
    }
}

void OpenCallCounts() {
    char name[MAX_PATH + 32];
    PluginCallCountsName(name, sizeof(name), g_name);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (mapping != nullptr) {
        g_counts = static_cast<PluginCallCounts*>(
            MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(PluginCallCounts)));
        CloseHandle(mapping);
    }
}

// A fault the compiler cannot see coming, in a state that the guard must clean up after.
void Fault() {
    volatile int* volatile target = nullptr;
    asm volatile("fld1; fld1; fld1; fld1; fld1; fld1; fld1; fld1\n\t"
                 "xorl %%ebx, %%ebx; xorl %%esi, %%esi; xorl %%edi, %%edi" ::
                     : "ebx", "esi", "edi", "memory");
    *target = 1;
}

#if defined(OVERFLOW)
volatile int g_deeper = 1;

int Deeper(volatile char* previous) {
    volatile char block[4096];
    block[0] = previous[0];
    return g_deeper ? Deeper(block) + block[1] : 0;
}
#endif

// How many bytes of the description besides its size, height, width, pitch, surface pointer and
// bit count are not 0.
int OtherBytesSet(const VxpiFrame* frame) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(frame);
    const size_t kept[][2] = {{0, 20}, {36, 40}, {84, 88}};
    int set = 0;
    for (size_t i = 0; i < sizeof(VxpiFrame); ++i) {
        bool isKept = false;
        for (const auto& range : kept) {
            isKept = isKept || (i >= range[0] && i < range[1]);
        }
        set += !isKept && bytes[i] != 0;
    }
    return set;
}

// " thread=<id>" of the calling thread when built to say so, else nothing.
const char* CallingThread() {
    static char text[32] = "";
#if defined(RECORD_THREAD)
    std::snprintf(text, sizeof(text), " thread=%lu", GetCurrentThreadId());
#endif
    return text;
}

bool AllOpaque(const VxpiFrame* frame) {
    for (DWORD y = 0; y < frame->dwHeight; ++y) {
        const DWORD* row = reinterpret_cast<const DWORD*>(
            static_cast<const char*>(frame->lpSurface) + static_cast<LONG>(y) * frame->lPitch);
        for (DWORD x = 0; x < frame->dwWidth; ++x) {
            if ((row[x] >> 24) != 0xFF) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(instance, path, MAX_PATH);
        const char* slash = std::strrchr(path, '\\');
        lstrcpynA(g_name, slash != nullptr ? slash + 1 : path, MAX_PATH);
        OpenCallCounts();
        if (FAULT_IN == 4) {
            Fault();
        }
    } else if (reason == DLL_PROCESS_DETACH && g_counts != nullptr) {
        UnmapViewOfFile(g_counts);
    }
    return TRUE;
}

FAKE_EXPORT int WINAPI vxpiInit(int lensHeight, int lensWidth, int bitsPerPixel) {
    RecordCall("%s vxpiInit %d %d %d%s", g_name, lensHeight, lensWidth, bitsPerPixel,
               CallingThread());
    Count(&PluginCallCounts::init);
    vxpiBindEngine(&g_engine);
    if (FAULT_IN == 1) {
        Fault();
    }
    return INIT_RESULT;
}

FAKE_EXPORT int WINAPI vxpiFilter(VxpiFrame* frame) {
    const DWORD first = *static_cast<const DWORD*>(frame->lpSurface);
    char engine[96] = "";
    if (g_engine.getCursorPos != nullptr && g_engine.getSizePixel != nullptr) {
        POINT cursor = {-1, -1};
        double zoom[2] = {0, 0};
        g_engine.getCursorPos(&cursor);
        g_engine.getSizePixel(&zoom[0], &zoom[1]);
        std::snprintf(engine, sizeof(engine), " cursor=%ld,%ld zoom=%g,%g", cursor.x, cursor.y,
                      zoom[0], zoom[1]);
    }
    RecordCall("%s vxpiFilter size=%lu %lux%lu bits=%lu others=%d opaque=%d first=%08lX%s%s",
               g_name, frame->dwSize, frame->dwWidth, frame->dwHeight,
               frame->ddpfPixelFormat.dwRGBBitCount, OtherBytesSet(frame), AllOpaque(frame) ? 1 : 0,
               first, engine, CallingThread());
    Count(&PluginCallCounts::filter);
    if (FAULT_IN == 2) {
        Fault();
    }
#if defined(OVERFLOW)
    volatile char start = 0;
    Deeper(&start);
#endif
#if defined(RAISE)
    RaiseException(0xE0000001, EXCEPTION_NONCONTINUABLE, 0, nullptr);
#endif
#if defined(PROBE)
    RecordCall("%s probe %d", g_name, IsBadReadPtr(reinterpret_cast<const void*>(16), 4) ? 1 : 0);
#endif
#if defined(INVERT)
    for (DWORD y = 0; y < frame->dwHeight; ++y) {
        DWORD* row = reinterpret_cast<DWORD*>(static_cast<char*>(frame->lpSurface) +
                                              static_cast<LONG>(y) * frame->lPitch);
        for (DWORD x = 0; x < frame->dwWidth; ++x) {
            row[x] ^= 0x00FFFFFF;
        }
    }
#endif
    return 1;
}

#if !defined(OMIT_RELEASE)
FAKE_EXPORT int WINAPI vxpiRelease() {
    RecordCall("%s vxpiRelease%s", g_name, CallingThread());
    Count(&PluginCallCounts::release);
    if (FAULT_IN == 3) {
        Fault();
    }
    return 1;
}
#endif
