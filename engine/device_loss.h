// A lost Direct3D device, handled the way a windowed Direct3D 9 program must: the loss is noted
// where the device reports it (a present or a read-back), and the top of the next frame asks the
// device whether it can be reset. While it is still lost the frame captures and draws nothing;
// when it can be reset, only the default-pool objects are made again around a checked Reset;
// a device broken otherwise is made anew from scratch.
#pragma once

#include <windows.h>

struct Renderer;

// Notes a loss when `result` (of Present or GetRenderTargetData) says the device is lost.
void NoteDeviceResult(Renderer& renderer, HRESULT result);

enum class DeviceState {
    kReady, // draw this frame
    kLost,  // still lost (or the engine was closed meanwhile): skip capture and drawing
    kGone,  // no device, and none could be made again: the run cannot go on
};

// At the top of a frame: the device as it stands, after a reset or re-creation when one is due.
DeviceState RestoreLostDevice(Renderer& renderer);
