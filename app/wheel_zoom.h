// Zooming with the mouse wheel. While the lens or a view is on, a low-level mouse hook on a thread
// of its own takes each wheel turn made with the chosen modifier keys held and keeps it from the
// window under the pointer; once the hook has returned, its thread posts the Zoom+ or Zoom-
// command for the turn to the main window (the zoom hot keys' way). Every other input goes on at
// once, untouched. A low-level keyboard
// hook on the same thread tracks the modifier keys, so that no wheel turn waits for a question
// to the system. The thread does nothing else, so a busy main thread never holds up the mouse.
#pragma once

#include <windows.h>

#include <cstdint>

// Starts the hooks for `target` with the modifier keys of choice `keys` (WheelKeys), after
// stopping hooks already running. False when the hooks could not be set.
bool StartWheelZoom(HWND target, uint32_t keys);

// Removes the hooks and ends their thread; nothing when none runs.
void StopWheelZoom();

// The hooks' procedures and the state they work with, for the benchmark that times them
// directly: AimWheelZoom sets the target and the keys and takes the modifiers held now, without
// setting any hook. StartWheelZoom does the same on its thread.
void AimWheelZoom(HWND target, uint32_t keys);
LRESULT CALLBACK WheelZoomMouseHook(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK WheelZoomKeyHook(int code, WPARAM wParam, LPARAM lParam);
// The mouse hook's own part: true when it takes the event (a zooming turn, its commands kept for
// PostWheelZoomCommands); false when the event goes on to the next hook.
bool WheelZoomTakes(int code, WPARAM wParam, LPARAM lParam);
// Posts the zoom commands the mouse hook took, in order; the hook thread calls it after handling
// its messages.
void PostWheelZoomCommands();
