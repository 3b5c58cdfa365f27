#include "scripted_direct3d.h"

namespace {

Direct3DScript* g_script = nullptr;
bool (*g_realPause)(uint32_t milliseconds) = nullptr;

HRESULT Next(std::deque<HRESULT>& answers, HRESULT* answer) {
    if (answers.empty()) {
        return S_FALSE;
    }
    *answer = answers.front();
    answers.pop_front();
    return S_OK;
}

class ScriptedDevice : public ForwardingDevice9 {
public:
    using ForwardingDevice9::ForwardingDevice9;
    static bool FailThisResource() {
        return ++g_script->resourceCalls == g_script->failingResource;
    }
    STDMETHOD(GetDeviceCaps)(D3DCAPS9* caps) override {
        const HRESULT result = Inner()->GetDeviceCaps(caps);
        if (g_script->pixelShaderVersion != 0) {
            caps->PixelShaderVersion = g_script->pixelShaderVersion;
        }
        return result;
    }
    STDMETHOD(GetRenderTargetData)(IDirect3DSurface9* a0, IDirect3DSurface9* a1) override {
        HRESULT answer;
        const HRESULT real = Inner()->GetRenderTargetData(a0, a1);
        return Next(g_script->readBackAnswers, &answer) == S_OK ? answer : real;
    }
    STDMETHOD(TestCooperativeLevel)() override {
        HRESULT answer;
        return Next(g_script->cooperativeAnswers, &answer) == S_OK
                   ? answer
                   : Inner()->TestCooperativeLevel();
    }
    STDMETHOD(CreateTexture)
    (UINT a0, UINT a1, UINT a2, DWORD a3, D3DFORMAT a4, D3DPOOL a5, IDirect3DTexture9** a6,
     HANDLE* a7) override {
        if (FailThisResource()) {
            *a6 = nullptr;
            return g_script->resourceFailure;
        }
        return Inner()->CreateTexture(a0, a1, a2, a3, a4, a5, a6, a7);
    }
    STDMETHOD(CreateOffscreenPlainSurface)
    (UINT a0, UINT a1, D3DFORMAT a2, D3DPOOL a3, IDirect3DSurface9** a4, HANDLE* a5) override {
        if (FailThisResource()) {
            *a4 = nullptr;
            return g_script->resourceFailure;
        }
        return Inner()->CreateOffscreenPlainSurface(a0, a1, a2, a3, a4, a5);
    }
    STDMETHOD(CreateVertexDeclaration)
    (const D3DVERTEXELEMENT9* a0, IDirect3DVertexDeclaration9** a1) override {
        if (g_script->declarationFailure != S_OK) {
            *a1 = nullptr;
            return g_script->declarationFailure;
        }
        return Inner()->CreateVertexDeclaration(a0, a1);
    }
    STDMETHOD(Reset)(D3DPRESENT_PARAMETERS* parameters) override {
        ++g_script->resets;
        HRESULT answer;
        return Next(g_script->resetAnswers, &answer) == S_OK ? answer : Inner()->Reset(parameters);
    }
};

class ScriptedObject : public ForwardingDirect3D9 {
public:
    using ForwardingDirect3D9::ForwardingDirect3D9;
    STDMETHOD(CreateDevice)
    (UINT adapter, D3DDEVTYPE type, HWND window, DWORD flags, D3DPRESENT_PARAMETERS* parameters,
     IDirect3DDevice9** device) override {
        ++g_script->deviceCalls;
        HRESULT answer;
        if (Next(g_script->deviceAnswers, &answer) == S_OK) {
            *device = nullptr;
            return answer;
        }
        IDirect3DDevice9* real = nullptr;
        const HRESULT result =
            Inner()->CreateDevice(adapter, type, window, flags, parameters, &real);
        *device = SUCCEEDED(result) ? new ScriptedDevice(real) : nullptr;
        return result;
    }
};

// Making a real Direct3D object is slow under Wine; all scripted objects share one.
IDirect3D9* g_shared = nullptr;

IDirect3D9* WINAPI CreateScriptedDirect3D(UINT sdkVersion) {
    if (g_script->objectFailures > 0) {
        --g_script->objectFailures;
        return nullptr;
    }
    if (g_shared == nullptr) {
        g_shared = Direct3DCreate9(sdkVersion);
        if (g_shared == nullptr) {
            return nullptr;
        }
    }
    ++g_script->objectsCreated;
    g_shared->AddRef();
    return new ScriptedObject(g_shared);
}

bool ScriptedPause(uint32_t milliseconds) {
    g_script->sleptMs += milliseconds;
    return g_script->realPauses ? g_realPause(milliseconds) : true;
}

} // namespace

ScriptedDirect3D::ScriptedDirect3D(Direct3DScript* script)
    : create_(Seams().direct3DCreate, CreateScriptedDirect3D),
      pause_(Seams().pause, ScriptedPause) {
    g_script = script;
    g_realPause = pause_.Previous();
}

ScriptedDirect3D::~ScriptedDirect3D() {
    if (g_shared != nullptr) {
        g_shared->Release();
        g_shared = nullptr;
    }
    g_script = nullptr;
}
