#include "d3d_device.h"

#include <string>

#include "d3dx/effect_resource.h"
#include "d3dx/texture_from_resource.h"
#include "engine_seams.h"
#include "engine_state.h"
#include "error_reporter.h"
#include "renderer_state.h"

namespace {

constexpr UINT kSdkVersion = 31;
constexpr DWORD kRetryPauseMs = 1000;
constexpr int kDeviceRetries = 60;
const char kSource[] = "3Dmagnifier";

const D3DVERTEXELEMENT9 kVertexElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
    {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END(),
};

D3DPRESENT_PARAMETERS PresentParameters(HWND window, UINT width, UINT height) {
    D3DPRESENT_PARAMETERS parameters = {};
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters.SwapEffect = D3DSWAPEFFECT_COPY;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = FALSE;
    parameters.Flags = 0;
    parameters.FullScreen_RefreshRateInHz = 0;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return parameters;
}

// The device keeps the thread's floating-point precision: without the preserve flag Direct3D
// switches the thread to single precision, and the lens arithmetic and the plug-ins that run on
// it would get a rounded zoom.
HRESULT CreateDevice(Renderer& r, HWND window) {
    HRESULT result = r.direct3D->CreateDevice(
        0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE,
        &r.presentParameters, r.device.Put());
    if (FAILED(result)) {
        result = r.direct3D->CreateDevice(
            0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE,
            &r.presentParameters, r.device.Put());
    }
    return result;
}

bool CreateDirect3DObject(Renderer& r) {
    r.direct3D.Reset(Seams().direct3DCreate(kSdkVersion));
    if (r.direct3D == nullptr && Seams().pause(kRetryPauseMs)) {
        r.direct3D.Reset(Seams().direct3DCreate(kSdkVersion));
    }
    return r.direct3D != nullptr;
}

// While the display is busy (a full-screen program, a locked session), try again once a second.
HRESULT CreateDeviceWithRetries(Renderer& r, HWND window) {
    HRESULT result = CreateDevice(r, window);
    for (int retry = 0;
         retry < kDeviceRetries && (result == D3DERR_DEVICELOST || result == D3DERR_NOTAVAILABLE);
         ++retry) {
        if (!Seams().pause(kRetryPauseMs)) {
            break; // the engine was closed
        }
        r.direct3D.Reset(Seams().direct3DCreate(kSdkVersion));
        if (r.direct3D != nullptr) {
            result = CreateDevice(r, window);
        }
    }
    return result;
}

// A creation call has failed when it does not succeed or delivers no object. The object is
// taken by reference so that it is read after the call has written it.
template <class T> bool Made(HRESULT result, const ComPtr<T>& object, const char* message) {
    if (SUCCEEDED(result) && object != nullptr) {
        return true;
    }
    ReportError(message, result, kSource);
    return false;
}

// Device state that every reset clears.
void SetFixedTransforms(Renderer& r) {
    const d3dx::Vector3 eye = {0.0f, 0.0f, -10.0f};
    const d3dx::Vector3 at = {0.0f, 0.0f, 0.0f};
    const d3dx::Vector3 up = {0.0f, 1.0f, 0.0f};
    d3dx::Matrix view;
    d3dx::Matrix projection;
    d3dx::Matrix viewProjection;
    d3dx::Matrix world;
    d3dx::MatrixLookAtLH(&view, &eye, &at, &up);
    r.device->SetTransform(D3DTS_VIEW, reinterpret_cast<const D3DMATRIX*>(&view));
    d3dx::MatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 200.0f);
    r.device->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(&projection));
    d3dx::MatrixMultiply(&viewProjection, &view, &projection);
    d3dx::MatrixTranslation(&world, -1.0f, 1.0f, 0.0f);
    d3dx::MatrixMultiply(&r.worldViewProj, &world, &viewProjection);
    r.device->SetRenderState(D3DRS_LIGHTING, FALSE);
}

bool CreateCaptureTexture(Renderer& r) {
    return Made(r.device->CreateTexture(r.renderWidth, r.renderHeight, 1, 0, D3DFMT_A8R8G8B8,
                                        D3DPOOL_SYSTEMMEM, r.captureTexture.Put(), nullptr),
                r.captureTexture, "CreateTexture g_Texture_BackgroundStretch failed") &&
           Made(r.captureTexture->GetSurfaceLevel(0, r.captureSurface.Put()), r.captureSurface,
                "GetSurfaceLevel g_Surface_BackgroundStretch failed");
}

bool CreateReadBackCopy(Renderer& r) {
    return Made(r.device->CreateOffscreenPlainSurface(r.renderWidth, r.renderHeight,
                                                      D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                      r.readBackCopy.Put(), nullptr),
                r.readBackCopy, "CreateOffscreenPlainSurface g_BackBufferCopy failed");
}

// The internal cursor's picture for `cursorType` 1 to 4; other types draw no cursor, and a
// picture that cannot be loaded leaves the texture empty.
void LoadCursorTexture(Renderer& r, HMODULE module, DWORD cursorType) {
    const char* picture = CursorBitmapName(cursorType);
    if (picture == nullptr) {
        return;
    }
    if (FAILED(d3dx::CreateTextureFromResourceEx(r.device.Get(), module, picture, D3DX_DEFAULT,
                                                 D3DX_DEFAULT, 1, 0, D3DFMT_A8R8G8B8,
                                                 D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT,
                                                 kCursorColourKey, r.cursorTexture.Put()))) {
        r.cursorTexture.Reset();
    }
}

void CreateVertexBuffers(Renderer& r) {
    if (FAILED(r.device->CreateVertexBuffer(kQuadBytes, D3DUSAGE_WRITEONLY, kQuadFvf,
                                            D3DPOOL_MANAGED, r.cursorVertices.Put(), nullptr))) {
        r.cursorVertices.Reset();
    }
    if (FAILED(r.device->CreateVertexBuffer(kQuadBytes, 0, kQuadFvf, D3DPOOL_MANAGED,
                                            r.quadVertices.Put(), nullptr))) {
        r.quadVertices.Reset();
    }
    if (r.quadVertices != nullptr) {
        WriteQuad(r.quadVertices, FullSizeQuad(r.renderWidth, r.renderHeight));
    }
}

// Compiles the engine's effect; without it the renderer draws without shaders.
void CreateEffect(Renderer& r, HMODULE module) {
    std::string errors;
    const HRESULT result = d3dx::LoadEffectFromResource(module, d3dx::kEffectResourceName,
                                                        r.device.Get(), &r.effect, &errors);
    if (FAILED(result) && !errors.empty()) {
        ReportError(errors.c_str(), result, "VexlumeShader");
    }
    r.effectHandles = EffectHandles{};
    if (!r.effect) {
        return;
    }
    d3dx::Effect& e = *r.effect;
    EffectHandles& h = r.effectHandles;
    h.worldViewProj = e.GetParameterByName(nullptr, "WorldViewProj");
    h.brightness = e.GetParameterByName(nullptr, "Brightness");
    h.shiftOneXPixel = e.GetParameterByName(nullptr, "ShiftOneXPixel");
    h.tex = e.GetParameterByName(nullptr, "Tex");
    h.noPs = e.GetTechniqueByName("No_ps");
    h.yuy2Ps = e.GetTechniqueByName("YUY2_ps");
    h.uyvyPs = e.GetTechniqueByName("UYVY_ps");
    h.rgbPs = e.GetTechniqueByName("RGB_ps");
    h.rgbDarkPs = e.GetTechniqueByName("RGBDark_ps");
}

} // namespace

int InitDirect3D(Renderer& r, HWND window, const UINT* size, DWORD cursorType) {
    r.cursorType = cursorType;
    r.deviceWindow = window;
    r.presentParameters = PresentParameters(window, size[0], size[1]);

    if (!CreateDirect3DObject(r)) {
        ReportError("Direct3DCreate9 failed", 178, kSource);
        return 0;
    }
    const HRESULT created = CreateDeviceWithRetries(r, window);
    if (r.device == nullptr) {
        ReportError("CreateDevice failed", created, kSource);
        return 0;
    }
    D3DCAPS9 caps = {};
    r.device->GetDeviceCaps(&caps);
    r.pixelShader20 = caps.PixelShaderVersion < D3DPS_VERSION(2, 0) ? 0 : 1;
    const HRESULT declared =
        r.device->CreateVertexDeclaration(kVertexElements, r.vertexDeclaration.Put());
    if (FAILED(declared)) {
        ReportError("CreateVertexDeclaration failed", declared, kSource);
        return 0;
    }
    return CreateD3DResources(r, size, cursorType);
}

int CreateD3DResources(Renderer& r, const UINT* size, DWORD cursorType) {
    const HMODULE module = EngineModule();
    if (size != nullptr) {
        r.renderWidth = size[0];
        r.renderHeight = size[1];
    }
    if (!CreateCaptureTexture(r) || !CreateDefaultPool(r)) {
        return 0;
    }
    LoadCursorTexture(r, module, cursorType);
    if (!CreateReadBackCopy(r)) {
        return 0;
    }
    CreateVertexBuffers(r);
    CreateEffect(r, module);
    return 1;
}

int ResizeD3DResources(Renderer& r, const UINT* size) {
    ReleaseDefaultPool(r);
    r.captureSurface.Reset();
    r.captureTexture.Reset();
    r.readBackCopy.Reset();
    r.renderWidth = size[0];
    r.renderHeight = size[1];
    if (!CreateCaptureTexture(r) || !CreateDefaultPool(r) || !CreateReadBackCopy(r)) {
        return 0;
    }
    if (r.quadVertices != nullptr) {
        WriteQuad(r.quadVertices, FullSizeQuad(r.renderWidth, r.renderHeight));
    }
    return 1;
}

bool CreateDefaultPool(Renderer& r) {
    const UINT w = r.renderWidth;
    const UINT h = r.renderHeight;
    IDirect3DDevice9* d = r.device.Get();
    SetFixedTransforms(r);
    if (!Made(d->CreateTexture(w, h, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                               r.uploadedTexture.Put(), nullptr),
              r.uploadedTexture, "CreateTexture g_Texture_Final failed") ||
        !Made(d->CreateTexture(w, h, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                               r.rgbTarget.Put(), nullptr),
              r.rgbTarget, "CreateTexture g_RGBRenderBuffer failed") ||
        !Made(r.rgbTarget->GetSurfaceLevel(0, r.rgbTargetSurface.Put()), r.rgbTargetSurface,
              "GetSurfaceLevel g_RGBRenderBufferSurface failed")) {
        return false;
    }
    // The swap chain's own back buffer, whichever surface render target 0 holds at the moment.
    d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, r.backBuffer.Put());
    return true;
}

void ReleaseDefaultPool(Renderer& r) {
    if (r.device != nullptr) {
        // The device lets go of what it has bound; render target 0 goes back to the back buffer.
        r.device->SetTexture(0, nullptr);
        if (r.backBuffer != nullptr) {
            r.device->SetRenderTarget(0, r.backBuffer.Get());
        }
    }
    if (r.effect) {
        r.effect->SetTexture(r.effectHandles.tex, nullptr);
    }
    r.uploadedTexture.Reset();
    r.rgbTargetSurface.Reset();
    r.rgbTarget.Reset();
    r.backBuffer.Reset();
}

void ReleaseD3DResources(Renderer& r) {
    r.effect.reset();
    r.effectHandles = EffectHandles{};
    r.quadVertices.Reset();
    r.cursorVertices.Reset();
    r.captureSurface.Reset();
    r.captureTexture.Reset();
    r.uploadedTexture.Reset();
    r.rgbTargetSurface.Reset();
    r.rgbTarget.Reset();
    r.cursorTexture.Reset();
    r.readBackCopy.Reset();
    r.backBuffer.Reset();
    r.vertexDeclaration.Reset();
}

void ReleaseDirect3D(Renderer& r) {
    r.device.Reset();
    r.direct3D.Reset();
}
