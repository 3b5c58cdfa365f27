#include "d3d_device.h"

#include <cpuid.h>

#include <string>

#include "d3dx/effect_resource.h"
#include "d3dx/texture_from_resource.h"
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

// The module that holds the engine's code and resources.
HMODULE EngineModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&EngineModule), &module);
    return module;
}

void FillPresentParameters(HWND window, UINT width, UINT height) {
    g_PresentParameters = D3DPRESENT_PARAMETERS{};
    g_PresentParameters.BackBufferWidth = width;
    g_PresentParameters.BackBufferHeight = height;
    g_PresentParameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    g_PresentParameters.BackBufferCount = 1;
    g_PresentParameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    g_PresentParameters.SwapEffect = D3DSWAPEFFECT_COPY;
    g_PresentParameters.hDeviceWindow = window;
    g_PresentParameters.Windowed = TRUE;
    g_PresentParameters.EnableAutoDepthStencil = FALSE;
    g_PresentParameters.Flags = 0;
    g_PresentParameters.FullScreen_RefreshRateInHz = 0;
    g_PresentParameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
}

HRESULT CreateDevice(HWND window) {
    HRESULT result =
        g_D3D->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                            &g_PresentParameters, &g_D3DDevice);
    if (FAILED(result)) {
        result = g_D3D->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                     &g_PresentParameters, &g_D3DDevice);
    }
    return result;
}

bool CreateDirect3DObject() {
    g_D3D = g_RendererPlatform.createDirect3D(kSdkVersion);
    if (g_D3D == nullptr) {
        g_RendererPlatform.sleep(kRetryPauseMs);
        g_D3D = g_RendererPlatform.createDirect3D(kSdkVersion);
    }
    return g_D3D != nullptr;
}

// While the display is busy (a full-screen program, a locked session), try again once a second.
HRESULT CreateDeviceWithRetries(HWND window) {
    HRESULT result = CreateDevice(window);
    for (int retry = 0;
         retry < kDeviceRetries && (result == D3DERR_DEVICELOST || result == D3DERR_NOTAVAILABLE);
         ++retry) {
        g_RendererPlatform.sleep(kRetryPauseMs);
        ReleaseAndClear(g_D3D);
        g_D3D = g_RendererPlatform.createDirect3D(kSdkVersion);
        if (g_D3D != nullptr) {
            result = CreateDevice(window);
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

void SetFixedTransforms() {
    const d3dx::Vector3 eye = {0.0f, 0.0f, -10.0f};
    const d3dx::Vector3 at = {0.0f, 0.0f, 0.0f};
    const d3dx::Vector3 up = {0.0f, 1.0f, 0.0f};
    d3dx::Matrix view;
    d3dx::Matrix projection;
    d3dx::Matrix viewProjection;
    d3dx::Matrix world;
    d3dx::MatrixLookAtLH(&view, &eye, &at, &up);
    g_D3DDevice->SetTransform(D3DTS_VIEW, reinterpret_cast<const D3DMATRIX*>(&view));
    d3dx::MatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 200.0f);
    g_D3DDevice->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(&projection));
    d3dx::MatrixMultiply(&viewProjection, &view, &projection);
    d3dx::MatrixTranslation(&world, -1.0f, 1.0f, 0.0f);
    d3dx::MatrixMultiply(&g_WorldViewProj, &world, &viewProjection);
    g_D3DDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
}

bool CreateSurfaces() {
    const UINT w = g_RenderWidth;
    const UINT h = g_RenderHeight;
    IDirect3DDevice9* d = g_D3DDevice;
    return Made(d->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                 &g_Texture_BackgroundStretch, nullptr),
                g_Texture_BackgroundStretch, "CreateTexture g_Texture_BackgroundStretch failed") &&
           Made(g_Texture_BackgroundStretch->GetSurfaceLevel(0, &g_Surface_BackgroundStretch),
                g_Surface_BackgroundStretch,
                "GetSurfaceLevel g_Surface_BackgroundStretch failed") &&
           Made(d->CreateOffscreenPlainSurface(w, h, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM,
                                               &g_Surface_BackgroundStretch24bit, nullptr),
                g_Surface_BackgroundStretch24bit,
                "CreateOffscreenPlainSurface g_Surface_BackgroundStretch24bit failed") &&
           Made(d->CreateTexture(w, h, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                 &g_Texture_Final, nullptr),
                g_Texture_Final, "CreateTexture g_Texture_Final failed") &&
           Made(d->CreateTexture(w, h, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                 &g_RGBRenderBuffer, nullptr),
                g_RGBRenderBuffer, "CreateTexture g_RGBRenderBuffer failed") &&
           Made(g_RGBRenderBuffer->GetSurfaceLevel(0, &g_RGBRenderBufferSurface),
                g_RGBRenderBufferSurface, "GetSurfaceLevel g_RGBRenderBufferSurface failed");
}

// The full-size quad maps texel (i, j) of the W x H capture onto pixel (i, j) of the W x H
// target: pixel centres sit on whole coordinates, so the edges lie half a pixel outside.
void WriteFullSizeQuad() {
    const float right = static_cast<float>(g_RenderWidth) - 0.5f;
    const float bottom = static_cast<float>(g_RenderHeight) - 0.5f;
    g_QuadVertices[kRightTop].x = right;
    g_QuadVertices[kRightBottom].x = right;
    g_QuadVertices[kLeftTop].x = -0.5f;
    g_QuadVertices[kLeftBottom].x = -0.5f;
    g_QuadVertices[kRightTop].y = -0.5f;
    g_QuadVertices[kLeftTop].y = -0.5f;
    g_QuadVertices[kRightBottom].y = bottom;
    g_QuadVertices[kLeftBottom].y = bottom;
    void* vertices = nullptr;
    if (FAILED(g_VertexBuffer_Quad->Lock(0, kQuadBytes, &vertices, 0))) {
        ReleaseAndClear(g_VertexBuffer_Quad);
        return;
    }
    memcpy(vertices, g_QuadVertices, kQuadBytes);
    g_VertexBuffer_Quad->Unlock();
}

// The internal cursor's picture for `cursorType` 1 to 4; other types draw no cursor, and a
// picture that cannot be loaded leaves the texture empty.
void LoadCursorTexture(HMODULE module, DWORD cursorType) {
    static const char* const kCursorBitmaps[] = {"ARROW", "HAND", "CROSSHAIR", "DOT"};
    if (cursorType < 1 || cursorType > 4) {
        return;
    }
    if (FAILED(d3dx::CreateTextureFromResourceEx(
            g_D3DDevice, module, kCursorBitmaps[cursorType - 1], D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
            D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0xFF0000FF,
            &g_Texture_Cursor))) {
        g_Texture_Cursor = nullptr;
    }
}

// Compiles the engine's effect; without it the renderer draws without shaders.
void CreateEffect(HMODULE module) {
    std::string errors;
    const HRESULT result = d3dx::LoadEffectFromResource(module, d3dx::kEffectResourceName,
                                                        g_D3DDevice, &g_Effect, &errors);
    if (FAILED(result) && !errors.empty()) {
        ReportError(errors.c_str(), result, "VexlumeShader");
    }
    g_EffectHandles = EffectHandles{};
    if (!g_Effect) {
        return;
    }
    d3dx::Effect& e = *g_Effect;
    g_EffectHandles.worldViewProj = e.GetParameterByName(nullptr, "WorldViewProj");
    g_EffectHandles.brightness = e.GetParameterByName(nullptr, "Brightness");
    g_EffectHandles.shiftOneXPixel = e.GetParameterByName(nullptr, "ShiftOneXPixel");
    g_EffectHandles.tex = e.GetParameterByName(nullptr, "Tex");
    g_EffectHandles.noPs = e.GetTechniqueByName("No_ps");
    g_EffectHandles.yuy2Ps = e.GetTechniqueByName("YUY2_ps");
    g_EffectHandles.uyvyPs = e.GetTechniqueByName("UYVY_ps");
    g_EffectHandles.rgbPs = e.GetTechniqueByName("RGB_ps");
    g_EffectHandles.rgbDarkPs = e.GetTechniqueByName("RGBDark_ps");
}

} // namespace

void DetectCpuFeatures() {
    unsigned int eax = 0;
    unsigned int ebx = 0;
    unsigned int ecx = 0;
    unsigned int edx = 0;
    // __get_cpuid first checks that the processor has the query at all, so it cannot fault.
    g_CpuHasMMX = __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & (1u << 23)) ? 1 : 0;
}

HRESULT CreateVertexDeclaration() {
    return g_D3DDevice->CreateVertexDeclaration(kVertexElements, &g_VertexDeclaration);
}

int InitDirect3D(HWND window, const UINT* size, DWORD cursorType) {
    g_CursorType = cursorType;
    g_DeviceWindow = window;
    DetectCpuFeatures();
    FillPresentParameters(window, size[0], size[1]);

    if (!CreateDirect3DObject()) {
        ReportError("Direct3DCreate9 failed", 178, kSource);
        return 0;
    }
    const HRESULT created = CreateDeviceWithRetries(window);
    if (g_D3DDevice == nullptr) {
        ReportError("CreateDevice failed", created, kSource);
        return 0;
    }
    D3DCAPS9 caps = {};
    g_D3DDevice->GetDeviceCaps(&caps);
    if (caps.PixelShaderVersion < D3DPS_VERSION(2, 0)) {
        g_PixelShader20 = 0;
    }
    const HRESULT declared = CreateVertexDeclaration();
    if (FAILED(declared)) {
        ReportError("CreateVertexDeclaration failed", declared, kSource);
        return 0;
    }
    return CreateD3DResources(size, cursorType);
}

int CreateD3DResources(const UINT* size, DWORD cursorType) {
    const HMODULE module = EngineModule();
    if (size != nullptr) {
        g_RenderWidth = size[0];
        g_RenderHeight = size[1];
    }
    if (FAILED(g_D3DDevice->CreateQuery(D3DQUERYTYPE_EVENT, &g_EventQuery))) {
        g_EventQuery = nullptr;
    }
    SetFixedTransforms();
    if (!CreateSurfaces()) {
        return 0;
    }
    g_D3DDevice->GetRenderTarget(0, &g_BackBuffer);
    LoadCursorTexture(module, cursorType);
    if (!Made(g_D3DDevice->CreateOffscreenPlainSurface(g_RenderWidth, g_RenderHeight,
                                                       D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                       &g_BackBufferCopy, nullptr),
              g_BackBufferCopy, "CreateOffscreenPlainSurface g_BackBufferCopy failed")) {
        return 0;
    }
    if (FAILED(g_D3DDevice->CreateVertexBuffer(kQuadBytes, D3DUSAGE_WRITEONLY, kQuadFvf,
                                               D3DPOOL_MANAGED, &g_VertexBuffer_Cursor, nullptr))) {
        g_VertexBuffer_Cursor = nullptr;
    }
    if (FAILED(g_D3DDevice->CreateVertexBuffer(kQuadBytes, 0, kQuadFvf, D3DPOOL_MANAGED,
                                               &g_VertexBuffer_Quad, nullptr))) {
        g_VertexBuffer_Quad = nullptr;
    }
    if (g_VertexBuffer_Quad != nullptr) {
        WriteFullSizeQuad();
    }
    CreateEffect(module);
    return 1;
}

void ReleaseD3DResources() {
    g_Effect.reset();
    g_EffectHandles = EffectHandles{};
    ReleaseAndClear(g_VertexBuffer_Quad);
    ReleaseAndClear(g_VertexBuffer_Cursor);
    ReleaseAndClear(g_Surface_BackgroundStretch24bit);
    ReleaseAndClear(g_Surface_BackgroundStretch);
    ReleaseAndClear(g_Texture_BackgroundStretch);
    ReleaseAndClear(g_Texture_Final);
    ReleaseAndClear(g_RGBRenderBufferSurface);
    ReleaseAndClear(g_RGBRenderBuffer);
    ReleaseAndClear(g_Texture_Cursor);
    ReleaseAndClear(g_BackBufferCopy);
    ReleaseAndClear(g_BackBuffer);
    ReleaseAndClear(g_EventQuery);
    ReleaseAndClear(g_VertexDeclaration);
}

void ReleaseDirect3D() {
    ReleaseAndClear(g_D3DDevice);
    ReleaseAndClear(g_D3D);
}
