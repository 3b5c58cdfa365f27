// Direct3D 9 objects that pass every call on to a real object. A test derives from them and
// overrides only the calls whose answers it wants to choose (device creation, capabilities,
// presentation, cooperative level, reset); everything else reaches the real device.
#pragma once

#include <d3d9.h>

class ForwardingDirect3D9 : public IDirect3D9 {
public:
    explicit ForwardingDirect3D9(IDirect3D9* inner) : inner_(inner) {}
    virtual ~ForwardingDirect3D9() { inner_->Release(); }
    IDirect3D9* Inner() const { return inner_; }
    STDMETHOD(QueryInterface)(REFIID a0, void** a1) override {
        if (a0 == IID_IUnknown || a0 == IID_IDirect3D9) {
            AddRef();
            *a1 = this;
            return S_OK;
        }
        return inner_->QueryInterface(a0, a1);
    }
    STDMETHOD_(ULONG, AddRef)() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    STDMETHOD_(ULONG, Release)() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }
    STDMETHOD_(HRESULT, RegisterSoftwareDevice)(void* a0) override {
        return inner_->RegisterSoftwareDevice(a0);
    }
    STDMETHOD_(UINT, GetAdapterCount)() override { return inner_->GetAdapterCount(); }
    STDMETHOD_(HRESULT, GetAdapterIdentifier)
    (UINT a0, DWORD a1, D3DADAPTER_IDENTIFIER9* a2) override {
        return inner_->GetAdapterIdentifier(a0, a1, a2);
    }
    STDMETHOD_(UINT, GetAdapterModeCount)(UINT a0, D3DFORMAT a1) override {
        return inner_->GetAdapterModeCount(a0, a1);
    }
    STDMETHOD_(HRESULT, EnumAdapterModes)
    (UINT a0, D3DFORMAT a1, UINT a2, D3DDISPLAYMODE* a3) override {
        return inner_->EnumAdapterModes(a0, a1, a2, a3);
    }
    STDMETHOD_(HRESULT, GetAdapterDisplayMode)(UINT a0, D3DDISPLAYMODE* a1) override {
        return inner_->GetAdapterDisplayMode(a0, a1);
    }
    STDMETHOD_(HRESULT, CheckDeviceType)
    (UINT a0, D3DDEVTYPE a1, D3DFORMAT a2, D3DFORMAT a3, WINBOOL a4) override {
        return inner_->CheckDeviceType(a0, a1, a2, a3, a4);
    }
    STDMETHOD_(HRESULT, CheckDeviceFormat)
    (UINT a0, D3DDEVTYPE a1, D3DFORMAT a2, DWORD a3, D3DRESOURCETYPE a4, D3DFORMAT a5) override {
        return inner_->CheckDeviceFormat(a0, a1, a2, a3, a4, a5);
    }
    STDMETHOD_(HRESULT, CheckDeviceMultiSampleType)
    (UINT a0, D3DDEVTYPE a1, D3DFORMAT a2, WINBOOL a3, D3DMULTISAMPLE_TYPE a4, DWORD* a5) override {
        return inner_->CheckDeviceMultiSampleType(a0, a1, a2, a3, a4, a5);
    }
    STDMETHOD_(HRESULT, CheckDepthStencilMatch)
    (UINT a0, D3DDEVTYPE a1, D3DFORMAT a2, D3DFORMAT a3, D3DFORMAT a4) override {
        return inner_->CheckDepthStencilMatch(a0, a1, a2, a3, a4);
    }
    STDMETHOD_(HRESULT, CheckDeviceFormatConversion)
    (UINT a0, D3DDEVTYPE a1, D3DFORMAT a2, D3DFORMAT a3) override {
        return inner_->CheckDeviceFormatConversion(a0, a1, a2, a3);
    }
    STDMETHOD_(HRESULT, GetDeviceCaps)(UINT a0, D3DDEVTYPE a1, D3DCAPS9* a2) override {
        return inner_->GetDeviceCaps(a0, a1, a2);
    }
    STDMETHOD_(HMONITOR, GetAdapterMonitor)(UINT a0) override {
        return inner_->GetAdapterMonitor(a0);
    }
    STDMETHOD_(HRESULT, CreateDevice)
    (UINT a0, D3DDEVTYPE a1, HWND a2, DWORD a3, D3DPRESENT_PARAMETERS* a4,
     struct IDirect3DDevice9** a5) override {
        return inner_->CreateDevice(a0, a1, a2, a3, a4, a5);
    }

private:
    IDirect3D9* inner_;
    volatile LONG references_ = 1;
};

class ForwardingDevice9 : public IDirect3DDevice9 {
public:
    explicit ForwardingDevice9(IDirect3DDevice9* inner) : inner_(inner) {}
    virtual ~ForwardingDevice9() { inner_->Release(); }
    IDirect3DDevice9* Inner() const { return inner_; }
    STDMETHOD(QueryInterface)(REFIID a0, void** a1) override {
        if (a0 == IID_IUnknown || a0 == IID_IDirect3DDevice9) {
            AddRef();
            *a1 = this;
            return S_OK;
        }
        return inner_->QueryInterface(a0, a1);
    }
    STDMETHOD_(ULONG, AddRef)() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    STDMETHOD_(ULONG, Release)() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }
    STDMETHOD_(HRESULT, TestCooperativeLevel)() override { return inner_->TestCooperativeLevel(); }
    STDMETHOD_(UINT, GetAvailableTextureMem)() override { return inner_->GetAvailableTextureMem(); }
    STDMETHOD_(HRESULT, EvictManagedResources)() override {
        return inner_->EvictManagedResources();
    }
    STDMETHOD_(HRESULT, GetDirect3D)(IDirect3D9** a0) override { return inner_->GetDirect3D(a0); }
    STDMETHOD_(HRESULT, GetDeviceCaps)(D3DCAPS9* a0) override { return inner_->GetDeviceCaps(a0); }
    STDMETHOD_(HRESULT, GetDisplayMode)(UINT a0, D3DDISPLAYMODE* a1) override {
        return inner_->GetDisplayMode(a0, a1);
    }
    STDMETHOD_(HRESULT, GetCreationParameters)(D3DDEVICE_CREATION_PARAMETERS* a0) override {
        return inner_->GetCreationParameters(a0);
    }
    STDMETHOD_(HRESULT, SetCursorProperties)(UINT a0, UINT a1, IDirect3DSurface9* a2) override {
        return inner_->SetCursorProperties(a0, a1, a2);
    }
    STDMETHOD_(void, SetCursorPosition)(int a0, int a1, DWORD a2) override {
        inner_->SetCursorPosition(a0, a1, a2);
    }
    STDMETHOD_(WINBOOL, ShowCursor)(WINBOOL a0) override { return inner_->ShowCursor(a0); }
    STDMETHOD_(HRESULT, CreateAdditionalSwapChain)
    (D3DPRESENT_PARAMETERS* a0, IDirect3DSwapChain9** a1) override {
        return inner_->CreateAdditionalSwapChain(a0, a1);
    }
    STDMETHOD_(HRESULT, GetSwapChain)(UINT a0, IDirect3DSwapChain9** a1) override {
        return inner_->GetSwapChain(a0, a1);
    }
    STDMETHOD_(UINT, GetNumberOfSwapChains)() override { return inner_->GetNumberOfSwapChains(); }
    STDMETHOD_(HRESULT, Reset)(D3DPRESENT_PARAMETERS* a0) override { return inner_->Reset(a0); }
    STDMETHOD_(HRESULT, Present)
    (const RECT* a0, const RECT* a1, HWND a2, const RGNDATA* a3) override {
        return inner_->Present(a0, a1, a2, a3);
    }
    STDMETHOD_(HRESULT, GetBackBuffer)
    (UINT a0, UINT a1, D3DBACKBUFFER_TYPE a2, IDirect3DSurface9** a3) override {
        return inner_->GetBackBuffer(a0, a1, a2, a3);
    }
    STDMETHOD_(HRESULT, GetRasterStatus)(UINT a0, D3DRASTER_STATUS* a1) override {
        return inner_->GetRasterStatus(a0, a1);
    }
    STDMETHOD_(HRESULT, SetDialogBoxMode)(WINBOOL a0) override {
        return inner_->SetDialogBoxMode(a0);
    }
    STDMETHOD_(void, SetGammaRamp)(UINT a0, DWORD a1, const D3DGAMMARAMP* a2) override {
        inner_->SetGammaRamp(a0, a1, a2);
    }
    STDMETHOD_(void, GetGammaRamp)(UINT a0, D3DGAMMARAMP* a1) override {
        inner_->GetGammaRamp(a0, a1);
    }
    STDMETHOD_(HRESULT, CreateTexture)
    (UINT a0, UINT a1, UINT a2, DWORD a3, D3DFORMAT a4, D3DPOOL a5, IDirect3DTexture9** a6,
     HANDLE* a7) override {
        return inner_->CreateTexture(a0, a1, a2, a3, a4, a5, a6, a7);
    }
    STDMETHOD_(HRESULT, CreateVolumeTexture)
    (UINT a0, UINT a1, UINT a2, UINT a3, DWORD a4, D3DFORMAT a5, D3DPOOL a6,
     IDirect3DVolumeTexture9** a7, HANDLE* a8) override {
        return inner_->CreateVolumeTexture(a0, a1, a2, a3, a4, a5, a6, a7, a8);
    }
    STDMETHOD_(HRESULT, CreateCubeTexture)
    (UINT a0, UINT a1, DWORD a2, D3DFORMAT a3, D3DPOOL a4, IDirect3DCubeTexture9** a5,
     HANDLE* a6) override {
        return inner_->CreateCubeTexture(a0, a1, a2, a3, a4, a5, a6);
    }
    STDMETHOD_(HRESULT, CreateVertexBuffer)
    (UINT a0, DWORD a1, DWORD a2, D3DPOOL a3, IDirect3DVertexBuffer9** a4, HANDLE* a5) override {
        return inner_->CreateVertexBuffer(a0, a1, a2, a3, a4, a5);
    }
    STDMETHOD_(HRESULT, CreateIndexBuffer)
    (UINT a0, DWORD a1, D3DFORMAT a2, D3DPOOL a3, IDirect3DIndexBuffer9** a4, HANDLE* a5) override {
        return inner_->CreateIndexBuffer(a0, a1, a2, a3, a4, a5);
    }
    STDMETHOD_(HRESULT, CreateRenderTarget)
    (UINT a0, UINT a1, D3DFORMAT a2, D3DMULTISAMPLE_TYPE a3, DWORD a4, WINBOOL a5,
     IDirect3DSurface9** a6, HANDLE* a7) override {
        return inner_->CreateRenderTarget(a0, a1, a2, a3, a4, a5, a6, a7);
    }
    STDMETHOD_(HRESULT, CreateDepthStencilSurface)
    (UINT a0, UINT a1, D3DFORMAT a2, D3DMULTISAMPLE_TYPE a3, DWORD a4, WINBOOL a5,
     IDirect3DSurface9** a6, HANDLE* a7) override {
        return inner_->CreateDepthStencilSurface(a0, a1, a2, a3, a4, a5, a6, a7);
    }
    STDMETHOD_(HRESULT, UpdateSurface)
    (IDirect3DSurface9* a0, const RECT* a1, IDirect3DSurface9* a2, const POINT* a3) override {
        return inner_->UpdateSurface(a0, a1, a2, a3);
    }
    STDMETHOD_(HRESULT, UpdateTexture)
    (IDirect3DBaseTexture9* a0, IDirect3DBaseTexture9* a1) override {
        return inner_->UpdateTexture(a0, a1);
    }
    STDMETHOD_(HRESULT, GetRenderTargetData)
    (IDirect3DSurface9* a0, IDirect3DSurface9* a1) override {
        return inner_->GetRenderTargetData(a0, a1);
    }
    STDMETHOD_(HRESULT, GetFrontBufferData)(UINT a0, IDirect3DSurface9* a1) override {
        return inner_->GetFrontBufferData(a0, a1);
    }
    STDMETHOD_(HRESULT, StretchRect)
    (IDirect3DSurface9* a0, const RECT* a1, IDirect3DSurface9* a2, const RECT* a3,
     D3DTEXTUREFILTERTYPE a4) override {
        return inner_->StretchRect(a0, a1, a2, a3, a4);
    }
    STDMETHOD_(HRESULT, ColorFill)(IDirect3DSurface9* a0, const RECT* a1, D3DCOLOR a2) override {
        return inner_->ColorFill(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, CreateOffscreenPlainSurface)
    (UINT a0, UINT a1, D3DFORMAT a2, D3DPOOL a3, IDirect3DSurface9** a4, HANDLE* a5) override {
        return inner_->CreateOffscreenPlainSurface(a0, a1, a2, a3, a4, a5);
    }
    STDMETHOD_(HRESULT, SetRenderTarget)(DWORD a0, IDirect3DSurface9* a1) override {
        return inner_->SetRenderTarget(a0, a1);
    }
    STDMETHOD_(HRESULT, GetRenderTarget)(DWORD a0, IDirect3DSurface9** a1) override {
        return inner_->GetRenderTarget(a0, a1);
    }
    STDMETHOD_(HRESULT, SetDepthStencilSurface)(IDirect3DSurface9* a0) override {
        return inner_->SetDepthStencilSurface(a0);
    }
    STDMETHOD_(HRESULT, GetDepthStencilSurface)(IDirect3DSurface9** a0) override {
        return inner_->GetDepthStencilSurface(a0);
    }
    STDMETHOD_(HRESULT, BeginScene)() override { return inner_->BeginScene(); }
    STDMETHOD_(HRESULT, EndScene)() override { return inner_->EndScene(); }
    STDMETHOD_(HRESULT, Clear)
    (DWORD a0, const D3DRECT* a1, DWORD a2, D3DCOLOR a3, float a4, DWORD a5) override {
        return inner_->Clear(a0, a1, a2, a3, a4, a5);
    }
    STDMETHOD_(HRESULT, SetTransform)(D3DTRANSFORMSTATETYPE a0, const D3DMATRIX* a1) override {
        return inner_->SetTransform(a0, a1);
    }
    STDMETHOD_(HRESULT, GetTransform)(D3DTRANSFORMSTATETYPE a0, D3DMATRIX* a1) override {
        return inner_->GetTransform(a0, a1);
    }
    STDMETHOD_(HRESULT, MultiplyTransform)(D3DTRANSFORMSTATETYPE a0, const D3DMATRIX* a1) override {
        return inner_->MultiplyTransform(a0, a1);
    }
    STDMETHOD_(HRESULT, SetViewport)(const D3DVIEWPORT9* a0) override {
        return inner_->SetViewport(a0);
    }
    STDMETHOD_(HRESULT, GetViewport)(D3DVIEWPORT9* a0) override { return inner_->GetViewport(a0); }
    STDMETHOD_(HRESULT, SetMaterial)(const D3DMATERIAL9* a0) override {
        return inner_->SetMaterial(a0);
    }
    STDMETHOD_(HRESULT, GetMaterial)(D3DMATERIAL9* a0) override { return inner_->GetMaterial(a0); }
    STDMETHOD_(HRESULT, SetLight)(DWORD a0, const D3DLIGHT9* a1) override {
        return inner_->SetLight(a0, a1);
    }
    STDMETHOD_(HRESULT, GetLight)(DWORD a0, D3DLIGHT9* a1) override {
        return inner_->GetLight(a0, a1);
    }
    STDMETHOD_(HRESULT, LightEnable)(DWORD a0, WINBOOL a1) override {
        return inner_->LightEnable(a0, a1);
    }
    STDMETHOD_(HRESULT, GetLightEnable)(DWORD a0, WINBOOL* a1) override {
        return inner_->GetLightEnable(a0, a1);
    }
    STDMETHOD_(HRESULT, SetClipPlane)(DWORD a0, const float* a1) override {
        return inner_->SetClipPlane(a0, a1);
    }
    STDMETHOD_(HRESULT, GetClipPlane)(DWORD a0, float* a1) override {
        return inner_->GetClipPlane(a0, a1);
    }
    STDMETHOD_(HRESULT, SetRenderState)(D3DRENDERSTATETYPE a0, DWORD a1) override {
        return inner_->SetRenderState(a0, a1);
    }
    STDMETHOD_(HRESULT, GetRenderState)(D3DRENDERSTATETYPE a0, DWORD* a1) override {
        return inner_->GetRenderState(a0, a1);
    }
    STDMETHOD_(HRESULT, CreateStateBlock)
    (D3DSTATEBLOCKTYPE a0, IDirect3DStateBlock9** a1) override {
        return inner_->CreateStateBlock(a0, a1);
    }
    STDMETHOD_(HRESULT, BeginStateBlock)() override { return inner_->BeginStateBlock(); }
    STDMETHOD_(HRESULT, EndStateBlock)(IDirect3DStateBlock9** a0) override {
        return inner_->EndStateBlock(a0);
    }
    STDMETHOD_(HRESULT, SetClipStatus)(const D3DCLIPSTATUS9* a0) override {
        return inner_->SetClipStatus(a0);
    }
    STDMETHOD_(HRESULT, GetClipStatus)(D3DCLIPSTATUS9* a0) override {
        return inner_->GetClipStatus(a0);
    }
    STDMETHOD_(HRESULT, GetTexture)(DWORD a0, IDirect3DBaseTexture9** a1) override {
        return inner_->GetTexture(a0, a1);
    }
    STDMETHOD_(HRESULT, SetTexture)(DWORD a0, IDirect3DBaseTexture9* a1) override {
        return inner_->SetTexture(a0, a1);
    }
    STDMETHOD_(HRESULT, GetTextureStageState)
    (DWORD a0, D3DTEXTURESTAGESTATETYPE a1, DWORD* a2) override {
        return inner_->GetTextureStageState(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, SetTextureStageState)
    (DWORD a0, D3DTEXTURESTAGESTATETYPE a1, DWORD a2) override {
        return inner_->SetTextureStageState(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, GetSamplerState)(DWORD a0, D3DSAMPLERSTATETYPE a1, DWORD* a2) override {
        return inner_->GetSamplerState(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, SetSamplerState)(DWORD a0, D3DSAMPLERSTATETYPE a1, DWORD a2) override {
        return inner_->SetSamplerState(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, ValidateDevice)(DWORD* a0) override { return inner_->ValidateDevice(a0); }
    STDMETHOD_(HRESULT, SetPaletteEntries)(UINT a0, const PALETTEENTRY* a1) override {
        return inner_->SetPaletteEntries(a0, a1);
    }
    STDMETHOD_(HRESULT, GetPaletteEntries)(UINT a0, PALETTEENTRY* a1) override {
        return inner_->GetPaletteEntries(a0, a1);
    }
    STDMETHOD_(HRESULT, SetCurrentTexturePalette)(UINT a0) override {
        return inner_->SetCurrentTexturePalette(a0);
    }
    STDMETHOD_(HRESULT, GetCurrentTexturePalette)(UINT* a0) override {
        return inner_->GetCurrentTexturePalette(a0);
    }
    STDMETHOD_(HRESULT, SetScissorRect)(const RECT* a0) override {
        return inner_->SetScissorRect(a0);
    }
    STDMETHOD_(HRESULT, GetScissorRect)(RECT* a0) override { return inner_->GetScissorRect(a0); }
    STDMETHOD_(HRESULT, SetSoftwareVertexProcessing)(WINBOOL a0) override {
        return inner_->SetSoftwareVertexProcessing(a0);
    }
    STDMETHOD_(WINBOOL, GetSoftwareVertexProcessing)() override {
        return inner_->GetSoftwareVertexProcessing();
    }
    STDMETHOD_(HRESULT, SetNPatchMode)(float a0) override { return inner_->SetNPatchMode(a0); }
    STDMETHOD_(float, GetNPatchMode)() override { return inner_->GetNPatchMode(); }
    STDMETHOD_(HRESULT, DrawPrimitive)(D3DPRIMITIVETYPE a0, UINT a1, UINT a2) override {
        return inner_->DrawPrimitive(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, DrawIndexedPrimitive)
    (D3DPRIMITIVETYPE a0, INT a1, UINT a2, UINT a3, UINT a4, UINT a5) override {
        return inner_->DrawIndexedPrimitive(a0, a1, a2, a3, a4, a5);
    }
    STDMETHOD_(HRESULT, DrawPrimitiveUP)
    (D3DPRIMITIVETYPE a0, UINT a1, const void* a2, UINT a3) override {
        return inner_->DrawPrimitiveUP(a0, a1, a2, a3);
    }
    STDMETHOD_(HRESULT, DrawIndexedPrimitiveUP)
    (D3DPRIMITIVETYPE a0, UINT a1, UINT a2, UINT a3, const void* a4, D3DFORMAT a5, const void* a6,
     UINT a7) override {
        return inner_->DrawIndexedPrimitiveUP(a0, a1, a2, a3, a4, a5, a6, a7);
    }
    STDMETHOD_(HRESULT, ProcessVertices)
    (UINT a0, UINT a1, UINT a2, IDirect3DVertexBuffer9* a3, IDirect3DVertexDeclaration9* a4,
     DWORD a5) override {
        return inner_->ProcessVertices(a0, a1, a2, a3, a4, a5);
    }
    STDMETHOD_(HRESULT, CreateVertexDeclaration)
    (const D3DVERTEXELEMENT9* a0, IDirect3DVertexDeclaration9** a1) override {
        return inner_->CreateVertexDeclaration(a0, a1);
    }
    STDMETHOD_(HRESULT, SetVertexDeclaration)(IDirect3DVertexDeclaration9* a0) override {
        return inner_->SetVertexDeclaration(a0);
    }
    STDMETHOD_(HRESULT, GetVertexDeclaration)(IDirect3DVertexDeclaration9** a0) override {
        return inner_->GetVertexDeclaration(a0);
    }
    STDMETHOD_(HRESULT, SetFVF)(DWORD a0) override { return inner_->SetFVF(a0); }
    STDMETHOD_(HRESULT, GetFVF)(DWORD* a0) override { return inner_->GetFVF(a0); }
    STDMETHOD_(HRESULT, CreateVertexShader)(const DWORD* a0, IDirect3DVertexShader9** a1) override {
        return inner_->CreateVertexShader(a0, a1);
    }
    STDMETHOD_(HRESULT, SetVertexShader)(IDirect3DVertexShader9* a0) override {
        return inner_->SetVertexShader(a0);
    }
    STDMETHOD_(HRESULT, GetVertexShader)(IDirect3DVertexShader9** a0) override {
        return inner_->GetVertexShader(a0);
    }
    STDMETHOD_(HRESULT, SetVertexShaderConstantF)(UINT a0, const float* a1, UINT a2) override {
        return inner_->SetVertexShaderConstantF(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, GetVertexShaderConstantF)(UINT a0, float* a1, UINT a2) override {
        return inner_->GetVertexShaderConstantF(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, SetVertexShaderConstantI)(UINT a0, const int* a1, UINT a2) override {
        return inner_->SetVertexShaderConstantI(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, GetVertexShaderConstantI)(UINT a0, int* a1, UINT a2) override {
        return inner_->GetVertexShaderConstantI(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, SetVertexShaderConstantB)(UINT a0, const WINBOOL* a1, UINT a2) override {
        return inner_->SetVertexShaderConstantB(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, GetVertexShaderConstantB)(UINT a0, WINBOOL* a1, UINT a2) override {
        return inner_->GetVertexShaderConstantB(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, SetStreamSource)
    (UINT a0, IDirect3DVertexBuffer9* a1, UINT a2, UINT a3) override {
        return inner_->SetStreamSource(a0, a1, a2, a3);
    }
    STDMETHOD_(HRESULT, GetStreamSource)
    (UINT a0, IDirect3DVertexBuffer9** a1, UINT* a2, UINT* a3) override {
        return inner_->GetStreamSource(a0, a1, a2, a3);
    }
    STDMETHOD_(HRESULT, SetStreamSourceFreq)(UINT a0, UINT a1) override {
        return inner_->SetStreamSourceFreq(a0, a1);
    }
    STDMETHOD_(HRESULT, GetStreamSourceFreq)(UINT a0, UINT* a1) override {
        return inner_->GetStreamSourceFreq(a0, a1);
    }
    STDMETHOD_(HRESULT, SetIndices)(IDirect3DIndexBuffer9* a0) override {
        return inner_->SetIndices(a0);
    }
    STDMETHOD_(HRESULT, GetIndices)(IDirect3DIndexBuffer9** a0) override {
        return inner_->GetIndices(a0);
    }
    STDMETHOD_(HRESULT, CreatePixelShader)(const DWORD* a0, IDirect3DPixelShader9** a1) override {
        return inner_->CreatePixelShader(a0, a1);
    }
    STDMETHOD_(HRESULT, SetPixelShader)(IDirect3DPixelShader9* a0) override {
        return inner_->SetPixelShader(a0);
    }
    STDMETHOD_(HRESULT, GetPixelShader)(IDirect3DPixelShader9** a0) override {
        return inner_->GetPixelShader(a0);
    }
    STDMETHOD_(HRESULT, SetPixelShaderConstantF)(UINT a0, const float* a1, UINT a2) override {
        return inner_->SetPixelShaderConstantF(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, GetPixelShaderConstantF)(UINT a0, float* a1, UINT a2) override {
        return inner_->GetPixelShaderConstantF(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, SetPixelShaderConstantI)(UINT a0, const int* a1, UINT a2) override {
        return inner_->SetPixelShaderConstantI(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, GetPixelShaderConstantI)(UINT a0, int* a1, UINT a2) override {
        return inner_->GetPixelShaderConstantI(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, SetPixelShaderConstantB)(UINT a0, const WINBOOL* a1, UINT a2) override {
        return inner_->SetPixelShaderConstantB(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, GetPixelShaderConstantB)(UINT a0, WINBOOL* a1, UINT a2) override {
        return inner_->GetPixelShaderConstantB(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, DrawRectPatch)
    (UINT a0, const float* a1, const D3DRECTPATCH_INFO* a2) override {
        return inner_->DrawRectPatch(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, DrawTriPatch)
    (UINT a0, const float* a1, const D3DTRIPATCH_INFO* a2) override {
        return inner_->DrawTriPatch(a0, a1, a2);
    }
    STDMETHOD_(HRESULT, DeletePatch)(UINT a0) override { return inner_->DeletePatch(a0); }
    STDMETHOD_(HRESULT, CreateQuery)(D3DQUERYTYPE a0, IDirect3DQuery9** a1) override {
        return inner_->CreateQuery(a0, a1);
    }

private:
    IDirect3DDevice9* inner_;
    volatile LONG references_ = 1;
};
