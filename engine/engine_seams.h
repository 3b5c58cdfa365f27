// The system entry points the engine reaches through a seam, so that a test can put its own
// answers in place of the system's for the failures the platform never produces on demand. Each
// field defaults to the system's; a test replaces one for a scope with a SeamSwap.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <ddraw.h>
#include <shellapi.h>

#include <cstdint>

#include "lens_placement.h"
#include "seam_swap.h"

struct FrameClock;

struct EngineSeams {
    // Direct3DCreate9 of d3d9.dll: the renderer's Direct3D object.
    IDirect3D9*(WINAPI* direct3DCreate)(UINT sdkVersion);
    // The renderer's waits (device retries, a lost device): `milliseconds`, or less when the
    // engine is closed meanwhile; false when it was closed.
    bool (*pause)(uint32_t milliseconds);
    // DirectDrawCreate of ddraw.dll: the DirectDraw object of the overlay set-up.
    HRESULT(WINAPI* directDrawCreate)(GUID* driver, IDirectDraw** object, IUnknown* outer);
    // The rectangle of the monitor under a point, or of the nearest one.
    IntRect (*monitorUnderPoint)(IntPoint point);
    // The library the composition guard and the frame clock bind ("dwmapi.dll").
    const char* compositionLibrary;
    // The frame loop's wait between two frames, with the frameWait of the settings: the frame
    // clock's AwaitFrame. Benchmarks of throughput put a wait of none in its place.
    void (*awaitFrame)(FrameClock& clock, uint32_t frameWait);
    // timeBeginPeriod and timeEndPeriod of winmm.dll: the system timer's resolution while the
    // lens runs.
    MMRESULT(WINAPI* timeBeginPeriod)(UINT milliseconds);
    MMRESULT(WINAPI* timeEndPeriod)(UINT milliseconds);
    // SHAppBarMessage of shell32.dll: the docked view's reservation of its strip.
    UINT_PTR(WINAPI* appBarMessage)(DWORD message, APPBARDATA* data);
};

// The library's one EngineSeams.
EngineSeams& Seams();
