// Direct3D objects whose answers a test chooses: the creation of the Direct3D object and of the
// device, the device's pixel-shader version, and what GetRenderTargetData, TestCooperativeLevel
// and Reset report. Everything else reaches Wine's real Direct3D 9. A
// ScriptedDirect3D puts them in place of the system's Direct3DCreate9 for the renderer, and its
// pauses only add to a virtual clock (unless the script asks for real ones).
#pragma once

#include <deque>

#include "d3d9_forwarding.h"
#include "engine_seams.h"

struct Direct3DScript {
    int objectFailures = 0;                  // Direct3DCreate9 answers null this many times
    std::deque<HRESULT> deviceAnswers;       // answers of the next CreateDevice calls
    DWORD pixelShaderVersion = 0;            // nonzero: reported instead of the device's own
    std::deque<HRESULT> readBackAnswers;     // answers of the next GetRenderTargetData calls
    std::deque<HRESULT> resetAnswers;        // answers of the next Reset calls (not passed on)
    std::deque<HRESULT> cooperativeAnswers;  // answers of the next TestCooperativeLevel calls
    int failingResource = 0;                 // the n-th CreateTexture/CreateOffscreenPlainSurface
    HRESULT resourceFailure = E_OUTOFMEMORY; // fails with this
    HRESULT declarationFailure = S_OK;       // CreateVertexDeclaration fails with this when set
    bool realPauses = false; // the renderer's pauses take real time and end when it is closed

    // What happened.
    int objectsCreated = 0;
    int deviceCalls = 0;
    int resets = 0;
    int resourceCalls = 0;
    DWORD sleptMs = 0;
};

// Puts the scripted Direct3D and pauses in place of the system's for the life of the object.
class ScriptedDirect3D {
public:
    explicit ScriptedDirect3D(Direct3DScript* script);
    ~ScriptedDirect3D();
    ScriptedDirect3D(const ScriptedDirect3D&) = delete;
    ScriptedDirect3D& operator=(const ScriptedDirect3D&) = delete;

private:
    SeamSwap<decltype(EngineSeams::direct3DCreate)> create_;
    SeamSwap<decltype(EngineSeams::pause)> pause_;
};
