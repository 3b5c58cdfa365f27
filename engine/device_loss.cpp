#include "device_loss.h"

#include "d3d_device.h"
#include "engine_seams.h"
#include "renderer_state.h"

namespace {

constexpr DWORD kLostDevicePauseMs = 100;

bool HasDefaultPool(const Renderer& r) {
    return r.uploadedTexture != nullptr && r.rgbTargetSurface != nullptr && r.backBuffer != nullptr;
}

// The device came back by itself; after a reset that was lost again its default pool is gone and
// is made again.
bool RefillDefaultPool(Renderer& r) {
    if (HasDefaultPool(r)) {
        return true;
    }
    ReleaseDefaultPool(r);
    return CreateDefaultPool(r);
}

// Resets a device that can be reset. False when it could not be, for any reason but a new loss.
bool ResetDevice(Renderer& r, bool* lostAgain) {
    ReleaseDefaultPool(r);
    const HRESULT reset = r.device->Reset(&r.presentParameters);
    *lostAgain = reset == D3DERR_DEVICELOST;
    return SUCCEEDED(reset) && CreateDefaultPool(r);
}

// A device in any other failed state: everything is released and made again.
bool RecreateDevice(Renderer& r) {
    const UINT size[2] = {r.renderWidth, r.renderHeight};
    const HWND window = r.deviceWindow;
    const DWORD cursorType = r.cursorType;
    ReleaseD3DResources(r);
    ReleaseDirect3D(r);
    return InitDirect3D(r, window, size, cursorType) == 1;
}

} // namespace

void NoteDeviceResult(Renderer& renderer, HRESULT result) {
    if (result == D3DERR_DEVICELOST) {
        renderer.deviceLost = true;
    }
}

DeviceState RestoreLostDevice(Renderer& r) {
    if (r.device == nullptr) {
        return DeviceState::kGone;
    }
    if (!r.deviceLost) {
        return DeviceState::kReady;
    }
    const HRESULT state = r.device->TestCooperativeLevel();
    if (state == D3DERR_DEVICELOST) {
        Seams().pause(kLostDevicePauseMs);
        return DeviceState::kLost;
    }
    if (state == D3DERR_DEVICENOTRESET) {
        bool lostAgain = false;
        if (ResetDevice(r, &lostAgain)) {
            r.deviceLost = false;
            return DeviceState::kReady;
        }
        if (lostAgain) {
            return DeviceState::kLost;
        }
    } else if (SUCCEEDED(state) && RefillDefaultPool(r)) {
        r.deviceLost = false;
        return DeviceState::kReady;
    }
    if (!Seams().pause(kLostDevicePauseMs)) {
        return DeviceState::kLost;
    }
    if (!RecreateDevice(r)) {
        return DeviceState::kGone;
    }
    r.deviceLost = false;
    return DeviceState::kReady;
}
