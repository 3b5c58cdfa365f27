#include "d3d_test_device.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "test_support.h"

namespace {

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

const char kWindowClass[] = "VexlumeD3DTestWindow";

} // namespace

TestDevice::TestDevice() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kWindowClass, "d3d test", WS_POPUP, 0, 0, 256, 256, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr) {
        return;
    }
    *d3d_.Put() = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d_) {
        return;
    }
    D3DPRESENT_PARAMETERS parameters = {};
    parameters.BackBufferWidth = 256;
    parameters.BackBufferHeight = 256;
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_COPY;
    parameters.hDeviceWindow = window_;
    parameters.Windowed = TRUE;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (FAILED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                  D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters,
                                  device_.Put()))) {
        d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                           D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, device_.Put());
    }
    if (!device_) {
        return;
    }
    const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
        {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
        D3DDECL_END()};
    device_->CreateVertexDeclaration(elements, declaration_.Put());
}

TestDevice::~TestDevice() {
    declaration_.Reset();
    device_.Reset();
    d3d_.Reset();
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool TestDevice::MakeTexture(UINT width, UINT height, const Image& pixels,
                             ComPtr<IDirect3DTexture9>* texture) {
    if (FAILED(device_->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                      texture->Put(), nullptr))) {
        return false;
    }
    D3DLOCKED_RECT locked;
    if (FAILED((*texture)->LockRect(0, &locked, nullptr, 0))) {
        return false;
    }
    for (UINT y = 0; y < height; ++y) {
        std::memcpy(static_cast<char*>(locked.pBits) + y * locked.Pitch, &pixels[y * width],
                    width * 4);
    }
    (*texture)->UnlockRect(0);
    return true;
}

bool TestDevice::MakeTarget(UINT width, UINT height, D3DCOLOR fill,
                            ComPtr<IDirect3DTexture9>* target) {
    if (FAILED(device_->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                      D3DPOOL_DEFAULT, target->Put(), nullptr))) {
        return false;
    }
    ComPtr<IDirect3DSurface9> surface;
    if (FAILED((*target)->GetSurfaceLevel(0, surface.Put()))) {
        return false;
    }
    return SUCCEEDED(device_->ColorFill(surface.Get(), nullptr, fill));
}

bool TestDevice::UseTarget(IDirect3DTexture9* target) {
    ComPtr<IDirect3DSurface9> surface;
    if (FAILED(target->GetSurfaceLevel(0, surface.Put()))) {
        return false;
    }
    return SUCCEEDED(device_->SetRenderTarget(0, surface.Get()));
}

void TestDevice::DrawQuad(const Quad& quad) {
    device_->SetVertexDeclaration(declaration_.Get());
    device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad.corners, sizeof quad.corners[0]);
}

Image TestDevice::ReadBack(IDirect3DTexture9* target) {
    D3DSURFACE_DESC description;
    ComPtr<IDirect3DSurface9> surface;
    ComPtr<IDirect3DSurface9> copy;
    if (FAILED(target->GetLevelDesc(0, &description)) ||
        FAILED(target->GetSurfaceLevel(0, surface.Put())) ||
        FAILED(device_->CreateOffscreenPlainSurface(description.Width, description.Height,
                                                    D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, copy.Put(),
                                                    nullptr)) ||
        FAILED(device_->GetRenderTargetData(surface.Get(), copy.Get()))) {
        return Image();
    }
    D3DLOCKED_RECT locked;
    if (FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        return Image();
    }
    Image pixels(description.Width * description.Height);
    for (UINT y = 0; y < description.Height; ++y) {
        std::memcpy(&pixels[y * description.Width],
                    static_cast<const char*>(locked.pBits) + y * locked.Pitch,
                    description.Width * 4);
    }
    copy->UnlockRect();
    return pixels;
}

std::string ReadProgramFile(const char* name) {
    std::ifstream in(ProgramFolder() + "\\" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
