// The engine library's interface to the main program: four exports bound by name at run time,
// the notification callback and its codes.
#pragma once

#include <windows.h>

#include "brightness_scale.h"
#include "engine_options.h"
#include "settings_record.h"

// Codes the engine hands to the callback, each on a thread of its own.
enum EngineNotification : int {
    kNotifySetupFailed = 0,   // the lens cannot be shown (no Direct3D device, no lens image)
    kNotifyEnded = 1,         // the frame loop ended because the engine was closed
    kNotifySurfaceLost = 2,   // a display surface was lost for good, or the overlay was busy
    kNotifyPresentFailed = 3, // presentation failed
    kNotifyLensUp = 4,        // the lens is up and the frame loop is about to begin
};

// A thread start routine of the main program; its argument is the notification code.
typedef DWORD(WINAPI* EngineCallback)(LPVOID code);

extern "C" {
// Starts the magnifier thread over the live record `params` (the settings record + 8).
// Returns the thread handle, which the caller gives back to qxCloseMagnifier, or 0.
HANDLE WINAPI qxCreateMagnifier(EngineParameters* params, EngineCallback callback);
// Ends the magnifier thread and waits for it. Always returns 1.
int WINAPI qxCloseMagnifier(HANDLE thread);
// direction 0 reads the brightness; >0 adds `amount`, <0 subtracts it, clamped to 900..10000.
int WINAPI qxSetBrightnessMagnifier(int direction, int amount);
// Hands the engine the options record `options` for this and every later run (null: the
// defaults again) and lets a running lens show the change at once. The engine copies the record
// during the call: a caller that changes it hands it over again. Returns 1, or 0 with nothing
// changed when the record is too short to hold a single option.
int WINAPI qxSetOptionsMagnifier(const EngineOptions* options);
}

typedef HANDLE(WINAPI* QxCreateMagnifierFn)(EngineParameters*, EngineCallback);
typedef int(WINAPI* QxCloseMagnifierFn)(HANDLE);
typedef int(WINAPI* QxSetBrightnessMagnifierFn)(int, int);
typedef int(WINAPI* QxSetOptionsMagnifierFn)(const EngineOptions*);

#define QX_ENGINE_LIBRARY "qxmagnifier.dll"
