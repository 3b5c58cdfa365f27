// The engine's effect object: compiles effect text (see effect_text.h) for a Direct3D 9 device
// and applies its techniques' passes, in the manner of the D3DX 9 effect interface the renderer
// was written against (parameters and techniques by name; Begin returns the pass count, Pass(i)
// applies a pass, End closes the technique).
//
// Begin with flags 0 saves every device state the current technique's passes set and End
// restores it; kDoNotSaveState, kDoNotSaveShaderState (shaders and their constants) and
// kDoNotSaveSamplerState (sampler states) leave the named states as the passes left them.
// Handles are addresses of the effect's own records and stay valid for the effect's life; a
// handle the effect did not give out is refused with D3DERR_INVALIDCALL, and so are a second
// Begin, and SetTechnique, before End. Setting values, the technique, Begin, Pass and End
// allocate nothing.
#pragma once

#include <d3d9.h>

#include <memory>
#include <string>
#include <vector>

#include "effect_text.h"
#include "scoped_handles.h"

#ifndef D3DX_DEFAULT
#define D3DX_DEFAULT ((UINT)-1)
#endif

namespace d3dx {

typedef const void* EffectHandle; // null = the empty handle (a name not in the effect)

constexpr DWORD kDoNotSaveState = 1;
constexpr DWORD kDoNotSaveShaderState = 2;
constexpr DWORD kDoNotSaveSamplerState = 4;

class Effect {
public:
    ~Effect(); // releases every device object it made, drops texture references
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    // `parent` must be null: the effect has no structured parameters.
    EffectHandle GetParameterByName(EffectHandle parent, const char* name) const;
    EffectHandle GetTechniqueByName(const char* name) const;
    HRESULT SetTechnique(EffectHandle technique);
    // A float parameter.
    HRESULT SetFloat(EffectHandle parameter, float value);
    // `bytes` must cover the parameter (D3DX_DEFAULT does); the parameter's size is copied. For
    // a texture parameter, `data` points to the IDirect3DBaseTexture9 pointer.
    HRESULT SetValue(EffectHandle parameter, const void* data, UINT bytes);
    HRESULT SetTexture(EffectHandle parameter, IDirect3DBaseTexture9* texture);
    // Starts the current technique (at first the effect's first one) and returns its pass
    // count. A technique whose shader the device refused cannot be started.
    HRESULT Begin(UINT* passes, DWORD flags);
    HRESULT Pass(UINT index); // applies that pass's state to the device
    HRESULT End();

private:
    struct Parameter;
    struct PassState;
    struct Technique;
    struct SavedState;

    explicit Effect(IDirect3DDevice9* device);
    const Parameter* FindParameter(EffectHandle handle) const;
    Technique* FindTechnique(EffectHandle handle);
    void SaveState(Technique* technique, DWORD flags);
    void RestoreState(Technique* technique);

    ComPtr<IDirect3DDevice9> device_;
    std::vector<Parameter> parameters_;
    std::vector<Technique> techniques_;
    Technique* current_ = nullptr;
    bool begun_ = false;

    friend HRESULT CreateEffectFromDescription(IDirect3DDevice9* device,
                                               const EffectDescription& description,
                                               std::unique_ptr<Effect>* effect,
                                               std::string* errors);
};

// Compiles effect text of `length` bytes (not necessarily zero-terminated) for `device`.
// On failure returns a failing HRESULT, leaves *effect empty and puts a readable message
// (with the line number) in *errors. On success *errors names any technique whose pixel
// shader the device refused (such a technique cannot be started), and is otherwise empty.
HRESULT CreateEffect(IDirect3DDevice9* device, const char* text, size_t length,
                     std::unique_ptr<Effect>* effect, std::string* errors);

// The second half of CreateEffect: makes the device objects of an already parsed effect.
HRESULT CreateEffectFromDescription(IDirect3DDevice9* device, const EffectDescription& description,
                                    std::unique_ptr<Effect>* effect, std::string* errors);

} // namespace d3dx
