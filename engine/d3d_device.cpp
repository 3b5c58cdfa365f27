#include "d3d_device.h"

#include <string>

#include "d3dx/effect_resource.h"
#include "d3dx/texture_from_resource.h"
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
    HRESULT result = r.g_D3D->CreateDevice(
        0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE,
        &r.g_PresentParameters, &r.g_D3DDevice);
    if (FAILED(result)) {
        result = r.g_D3D->CreateDevice(0, D3DDEVTYPE_HAL, window,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE,
                                       &r.g_PresentParameters, &r.g_D3DDevice);
    }
    return result;
}

bool CreateDirect3DObject(Renderer& r) {
    r.g_D3D = g_RendererPlatform.createDirect3D(kSdkVersion);
    if (r.g_D3D == nullptr && g_RendererPlatform.pause(kRetryPauseMs)) {
        r.g_D3D = g_RendererPlatform.createDirect3D(kSdkVersion);
    }
    return r.g_D3D != nullptr;
}

// While the display is busy (a full-screen program, a locked session), try again once a second.
HRESULT CreateDeviceWithRetries(Renderer& r, HWND window) {
    HRESULT result = CreateDevice(r, window);
    for (int retry = 0;
         retry < kDeviceRetries && (result == D3DERR_DEVICELOST || result == D3DERR_NOTAVAILABLE);
         ++retry) {
        if (!g_RendererPlatform.pause(kRetryPauseMs)) {
            break; // the engine was closed
        }
        ReleaseAndClear(r.g_D3D);
        r.g_D3D = g_RendererPlatform.createDirect3D(kSdkVersion);
        if (r.g_D3D != nullptr) {
            result = CreateDevice(r, window);
        }
    }
    return result;
}

// A creation call has failed when it does not succeed or delivers no object. The object is
// taken by reference so that it is read after the call has written it.
template <class T> bool Made(HRESULT result, T* const& object, const char* message) {
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
    r.g_D3DDevice->SetTransform(D3DTS_VIEW, reinterpret_cast<const D3DMATRIX*>(&view));
    d3dx::MatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 200.0f);
    r.g_D3DDevice->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(&projection));
    d3dx::MatrixMultiply(&viewProjection, &view, &projection);
    d3dx::MatrixTranslation(&world, -1.0f, 1.0f, 0.0f);
    d3dx::MatrixMultiply(&r.g_WorldViewProj, &world, &viewProjection);
    r.g_D3DDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
}

bool CreateCaptureTexture(Renderer& r) {
    return Made(r.g_D3DDevice->CreateTexture(r.g_RenderWidth, r.g_RenderHeight, 1, 0,
                                             D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                             &r.g_Texture_BackgroundStretch, nullptr),
                r.g_Texture_BackgroundStretch,
                "CreateTexture g_Texture_BackgroundStretch failed") &&
           Made(r.g_Texture_BackgroundStretch->GetSurfaceLevel(0, &r.g_Surface_BackgroundStretch),
                r.g_Surface_BackgroundStretch,
                "GetSurfaceLevel g_Surface_BackgroundStretch failed");
}

// The internal cursor's picture for `cursorType` 1 to 4; other types draw no cursor, and a
// picture that cannot be loaded leaves the texture empty.
void LoadCursorTexture(Renderer& r, HMODULE module, DWORD cursorType) {
    static const char* const kCursorBitmaps[] = {"ARROW", "HAND", "CROSSHAIR", "DOT"};
    if (cursorType < 1 || cursorType > 4) {
        return;
    }
    if (FAILED(d3dx::CreateTextureFromResourceEx(
            r.g_D3DDevice, module, kCursorBitmaps[cursorType - 1], D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
            D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0xFF0000FF,
            &r.g_Texture_Cursor))) {
        r.g_Texture_Cursor = nullptr;
    }
}

void CreateVertexBuffers(Renderer& r) {
    if (FAILED(r.g_D3DDevice->CreateVertexBuffer(kQuadBytes, D3DUSAGE_WRITEONLY, kQuadFvf,
                                                 D3DPOOL_MANAGED, &r.g_VertexBuffer_Cursor,
                                                 nullptr))) {
        r.g_VertexBuffer_Cursor = nullptr;
    }
    if (FAILED(r.g_D3DDevice->CreateVertexBuffer(kQuadBytes, 0, kQuadFvf, D3DPOOL_MANAGED,
                                                 &r.g_VertexBuffer_Quad, nullptr))) {
        r.g_VertexBuffer_Quad = nullptr;
    }
    if (r.g_VertexBuffer_Quad != nullptr) {
        WriteQuad(r.g_VertexBuffer_Quad, FullSizeQuad(r.g_RenderWidth, r.g_RenderHeight));
    }
}

// Compiles the engine's effect; without it the renderer draws without shaders.
void CreateEffect(Renderer& r, HMODULE module) {
    std::string errors;
    const HRESULT result = d3dx::LoadEffectFromResource(module, d3dx::kEffectResourceName,
                                                        r.g_D3DDevice, &r.g_Effect, &errors);
    if (FAILED(result) && !errors.empty()) {
        ReportError(errors.c_str(), result, "VexlumeShader");
    }
    r.g_EffectHandles = EffectHandles{};
    if (!r.g_Effect) {
        return;
    }
    d3dx::Effect& e = *r.g_Effect;
    EffectHandles& h = r.g_EffectHandles;
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
    r.g_CursorType = cursorType;
    r.g_DeviceWindow = window;
    r.g_PresentParameters = PresentParameters(window, size[0], size[1]);

    if (!CreateDirect3DObject(r)) {
        ReportError("Direct3DCreate9 failed", 178, kSource);
        return 0;
    }
    const HRESULT created = CreateDeviceWithRetries(r, window);
    if (r.g_D3DDevice == nullptr) {
        ReportError("CreateDevice failed", created, kSource);
        return 0;
    }
    D3DCAPS9 caps = {};
    r.g_D3DDevice->GetDeviceCaps(&caps);
    r.g_PixelShader20 = caps.PixelShaderVersion < D3DPS_VERSION(2, 0) ? 0 : 1;
    const HRESULT declared =
        r.g_D3DDevice->CreateVertexDeclaration(kVertexElements, &r.g_VertexDeclaration);
    if (FAILED(declared)) {
        ReportError("CreateVertexDeclaration failed", declared, kSource);
        return 0;
    }
    return CreateD3DResources(r, size, cursorType);
}

int CreateD3DResources(Renderer& r, const UINT* size, DWORD cursorType) {
    const HMODULE module = EngineModule();
    if (size != nullptr) {
        r.g_RenderWidth = size[0];
        r.g_RenderHeight = size[1];
    }
    if (!CreateCaptureTexture(r) || !CreateDefaultPool(r)) {
        return 0;
    }
    LoadCursorTexture(r, module, cursorType);
    if (!Made(r.g_D3DDevice->CreateOffscreenPlainSurface(r.g_RenderWidth, r.g_RenderHeight,
                                                         D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                         &r.g_BackBufferCopy, nullptr),
              r.g_BackBufferCopy, "CreateOffscreenPlainSurface g_BackBufferCopy failed")) {
        return 0;
    }
    CreateVertexBuffers(r);
    CreateEffect(r, module);
    return 1;
}

bool CreateDefaultPool(Renderer& r) {
    const UINT w = r.g_RenderWidth;
    const UINT h = r.g_RenderHeight;
    IDirect3DDevice9* d = r.g_D3DDevice;
    SetFixedTransforms(r);
    if (!Made(d->CreateTexture(w, h, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                               &r.g_Texture_Final, nullptr),
              r.g_Texture_Final, "CreateTexture g_Texture_Final failed") ||
        !Made(d->CreateTexture(w, h, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                               &r.g_RGBRenderBuffer, nullptr),
              r.g_RGBRenderBuffer, "CreateTexture g_RGBRenderBuffer failed") ||
        !Made(r.g_RGBRenderBuffer->GetSurfaceLevel(0, &r.g_RGBRenderBufferSurface),
              r.g_RGBRenderBufferSurface, "GetSurfaceLevel g_RGBRenderBufferSurface failed")) {
        return false;
    }
    // The swap chain's own back buffer, whichever surface render target 0 holds at the moment.
    d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &r.g_BackBuffer);
    return true;
}

void ReleaseDefaultPool(Renderer& r) {
    if (r.g_D3DDevice != nullptr) {
        // The device lets go of what it has bound; render target 0 goes back to the back buffer.
        r.g_D3DDevice->SetTexture(0, nullptr);
        if (r.g_BackBuffer != nullptr) {
            r.g_D3DDevice->SetRenderTarget(0, r.g_BackBuffer);
        }
    }
    if (r.g_Effect) {
        r.g_Effect->SetTexture(r.g_EffectHandles.tex, nullptr);
    }
    ReleaseAndClear(r.g_Texture_Final);
    ReleaseAndClear(r.g_RGBRenderBufferSurface);
    ReleaseAndClear(r.g_RGBRenderBuffer);
    ReleaseAndClear(r.g_BackBuffer);
}

void ReleaseD3DResources(Renderer& r) {
    r.g_Effect.reset();
    r.g_EffectHandles = EffectHandles{};
    ReleaseAndClear(r.g_VertexBuffer_Quad);
    ReleaseAndClear(r.g_VertexBuffer_Cursor);
    ReleaseAndClear(r.g_Surface_BackgroundStretch);
    ReleaseAndClear(r.g_Texture_BackgroundStretch);
    ReleaseAndClear(r.g_Texture_Final);
    ReleaseAndClear(r.g_RGBRenderBufferSurface);
    ReleaseAndClear(r.g_RGBRenderBuffer);
    ReleaseAndClear(r.g_Texture_Cursor);
    ReleaseAndClear(r.g_BackBufferCopy);
    ReleaseAndClear(r.g_BackBuffer);
    ReleaseAndClear(r.g_VertexDeclaration);
}

void ReleaseDirect3D(Renderer& r) {
    ReleaseAndClear(r.g_D3DDevice);
    ReleaseAndClear(r.g_D3D);
}
