#include "effect.h"

#include <cstdio>
#include <cstring>

#include "effect_states.h"
#include "shader_tokens.h"

namespace d3dx {

// The Windows-free tables carry Direct3D's own numbers.
static_assert(token::kPixelShader20 == D3DPS_VERSION(2, 0), "version token");
static_assert(token::kEnd == D3DSIO_END && token::kTex == D3DSIO_TEX && token::kDef == D3DSIO_DEF &&
                  token::kDcl == D3DSIO_DCL && token::kCmp == D3DSIO_CMP &&
                  token::kDp2Add == D3DSIO_DP2ADD && token::kTexKill == D3DSIO_TEXKILL &&
                  token::kSinCos == D3DSIO_SINCOS && token::kNrm == D3DSIO_NRM &&
                  token::kPow == D3DSIO_POW,
              "opcodes");
static_assert(token::kTexLdProject == D3DSI_TEXLD_PROJECT &&
                  token::kTexLdBias == D3DSI_TEXLD_BIAS &&
                  token::kLengthShift == D3DSI_INSTLENGTH_SHIFT,
              "instruction fields");
static_assert(token::kRegTemp == D3DSPR_TEMP && token::kRegInput == D3DSPR_INPUT &&
                  token::kRegConst == D3DSPR_CONST && token::kRegTexture == D3DSPR_TEXTURE &&
                  token::kRegColorOut == D3DSPR_COLOROUT &&
                  token::kRegDepthOut == D3DSPR_DEPTHOUT && token::kRegSampler == D3DSPR_SAMPLER,
              "register types");
static_assert(token::kSaturate == D3DSPDM_SATURATE &&
                  token::kPartialPrecision == D3DSPDM_PARTIALPRECISION &&
                  token::kSourceNegate == D3DSPSM_NEG &&
                  token::kWriteMaskAll == D3DSP_WRITEMASK_ALL &&
                  token::kSamplerType2d == static_cast<uint32_t>(D3DSTT_2D) &&
                  token::kSamplerTypeCube == static_cast<uint32_t>(D3DSTT_CUBE) &&
                  token::kSamplerTypeVolume == static_cast<uint32_t>(D3DSTT_VOLUME) &&
                  (token::kNoSwizzle << token::kSwizzleShift) == D3DSP_NOSWIZZLE,
              "parameter fields");
static_assert(D3DSAMP_ADDRESSU == 1 && D3DSAMP_MAGFILTER == 5 && D3DSAMP_MINFILTER == 6 &&
                  D3DSAMP_MIPFILTER == 7 && D3DTEXF_POINT == 1 && D3DTEXF_NONE == 0 &&
                  D3DTADDRESS_CLAMP == 3 && D3DTSS_COLOROP == 1 && D3DTSS_ALPHAARG1 == 5 &&
                  D3DTOP_SELECTARG1 == 2 && D3DTOP_DISABLE == 1 && D3DTA_TEXTURE == 2 &&
                  D3DRS_ALPHABLENDENABLE == 27 && D3DRS_CULLMODE == 22 && D3DCULL_NONE == 1 &&
                  D3DRS_ZENABLE == 7 && D3DRS_COLORWRITEENABLE == 168 && D3DBLEND_SRCALPHA == 5,
              "state numbers");

struct Effect::Parameter {
    std::string name;
    ParameterType type;
    float values[16]; // constant-register layout: padded rows of four
    ComPtr<IDirect3DBaseTexture9> texture;
};

struct Effect::PassState {
    ShaderSetting pixelShaderSetting = ShaderSetting::Untouched;
    ComPtr<IDirect3DPixelShader9> pixelShader;
    bool vertexShaderNull = false;
    std::vector<ConstantBinding> constants;
    std::vector<TextureBinding> textures;
    std::vector<StateSetting> samplerStates;
    std::vector<StateSetting> stageStates;
    std::vector<StateSetting> renderStates;
};

// What Begin read from the device for End to put back: the union of what the technique's
// passes set, with room for the values made at creation.
struct Effect::SavedState {
    bool pixelShader = false;
    bool vertexShader = false;
    std::vector<UINT> constantRegisters;
    std::vector<DWORD> textureStages;
    std::vector<StateSetting> samplerStates; // value = the saved value
    std::vector<StateSetting> stageStates;
    std::vector<StateSetting> renderStates;

    // Filled by Begin according to its flags.
    bool shadersSaved = false;
    bool samplersSaved = false;
    bool othersSaved = false;
    ComPtr<IDirect3DPixelShader9> savedPixelShader;
    ComPtr<IDirect3DVertexShader9> savedVertexShader;
    std::vector<float> savedConstants;                        // four per register
    std::vector<ComPtr<IDirect3DBaseTexture9>> savedTextures; // one per stage
};

struct Effect::Technique {
    std::string name;
    std::vector<PassState> passes;
    bool usable = true;
    SavedState saved;
};

namespace {

bool Contains(const std::vector<StateSetting>& list, const StateSetting& s) {
    for (const StateSetting& other : list) {
        if (other.index == s.index && other.state == s.state) {
            return true;
        }
    }
    return false;
}

template <class T> bool ContainsValue(const std::vector<T>& list, T value) {
    for (const T& other : list) {
        if (other == value) {
            return true;
        }
    }
    return false;
}

std::string HexCode(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

} // namespace

Effect::Effect(IDirect3DDevice9* device) {
    device_.Share(device);
}

// The shaders and textures go before the device, which is declared first.
Effect::~Effect() {
    if (begun_) {
        RestoreState(current_);
    }
}

const Effect::Parameter* Effect::FindParameter(EffectHandle handle) const {
    for (const Parameter& parameter : parameters_) {
        if (handle == &parameter) {
            return &parameter;
        }
    }
    return nullptr;
}

Effect::Technique* Effect::FindTechnique(EffectHandle handle) {
    for (Technique& technique : techniques_) {
        if (handle == &technique) {
            return &technique;
        }
    }
    return nullptr;
}

EffectHandle Effect::GetParameterByName(EffectHandle parent, const char* name) const {
    if (parent != nullptr || name == nullptr) {
        return nullptr;
    }
    for (const Parameter& parameter : parameters_) {
        if (parameter.name == name) {
            return &parameter;
        }
    }
    return nullptr;
}

EffectHandle Effect::GetTechniqueByName(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    for (const Technique& technique : techniques_) {
        if (technique.name == name) {
            return &technique;
        }
    }
    return nullptr;
}

HRESULT Effect::SetTechnique(EffectHandle handle) {
    Technique* technique = FindTechnique(handle);
    if (technique == nullptr || begun_) {
        return D3DERR_INVALIDCALL;
    }
    current_ = technique;
    return D3D_OK;
}

HRESULT Effect::SetFloat(EffectHandle handle, float value) {
    Parameter* parameter = const_cast<Parameter*>(FindParameter(handle));
    if (parameter == nullptr || parameter->type != ParameterType::Float) {
        return D3DERR_INVALIDCALL;
    }
    parameter->values[0] = value;
    return D3D_OK;
}

HRESULT Effect::SetValue(EffectHandle handle, const void* data, UINT bytes) {
    Parameter* parameter = const_cast<Parameter*>(FindParameter(handle));
    if (parameter == nullptr || data == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (parameter->type == ParameterType::Texture) {
        if (bytes < sizeof(IDirect3DBaseTexture9*)) {
            return D3DERR_INVALIDCALL;
        }
        IDirect3DBaseTexture9* texture = nullptr;
        std::memcpy(&texture, data, sizeof texture);
        return SetTexture(handle, texture);
    }
    const UINT size = ParameterFloats(parameter->type) * sizeof(float);
    if (bytes < size) {
        return D3DERR_INVALIDCALL;
    }
    std::memcpy(parameter->values, data, size);
    return D3D_OK;
}

HRESULT Effect::SetTexture(EffectHandle handle, IDirect3DBaseTexture9* texture) {
    Parameter* parameter = const_cast<Parameter*>(FindParameter(handle));
    if (parameter == nullptr || parameter->type != ParameterType::Texture) {
        return D3DERR_INVALIDCALL;
    }
    parameter->texture.Share(texture);
    return D3D_OK;
}

HRESULT Effect::Begin(UINT* passes, DWORD flags) {
    if (passes != nullptr) {
        *passes = 0;
    }
    if (begun_ || current_ == nullptr || !current_->usable) {
        return D3DERR_INVALIDCALL;
    }
    SaveState(current_, flags);
    begun_ = true;
    if (passes != nullptr) {
        *passes = static_cast<UINT>(current_->passes.size());
    }
    return D3D_OK;
}

HRESULT Effect::Pass(UINT index) {
    if (!begun_ || index >= current_->passes.size()) {
        return D3DERR_INVALIDCALL;
    }
    const PassState& pass = current_->passes[index];
    HRESULT result = D3D_OK;
    auto note = [&result](HRESULT hr) {
        if (FAILED(hr) && SUCCEEDED(result)) {
            result = hr;
        }
    };
    if (pass.pixelShaderSetting != ShaderSetting::Untouched) {
        note(device_->SetPixelShader(pass.pixelShader.Get()));
    }
    if (pass.vertexShaderNull) {
        note(device_->SetVertexShader(nullptr));
    }
    for (const ConstantBinding& binding : pass.constants) {
        const Parameter& parameter = parameters_[binding.parameter];
        note(device_->SetPixelShaderConstantF(binding.firstRegister, parameter.values,
                                              ParameterRegisters(parameter.type)));
    }
    for (const TextureBinding& binding : pass.textures) {
        note(device_->SetTexture(binding.stage, parameters_[binding.parameter].texture.Get()));
    }
    for (const StateSetting& s : pass.samplerStates) {
        note(device_->SetSamplerState(s.index, static_cast<D3DSAMPLERSTATETYPE>(s.state), s.value));
    }
    for (const StateSetting& s : pass.stageStates) {
        note(device_->SetTextureStageState(s.index, static_cast<D3DTEXTURESTAGESTATETYPE>(s.state),
                                           s.value));
    }
    for (const StateSetting& s : pass.renderStates) {
        note(device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(s.state), s.value));
    }
    return result;
}

HRESULT Effect::End() {
    if (!begun_) {
        return D3DERR_INVALIDCALL;
    }
    RestoreState(current_);
    begun_ = false;
    return D3D_OK;
}

void Effect::SaveState(Technique* technique, DWORD flags) {
    SavedState& saved = technique->saved;
    saved.othersSaved = !(flags & kDoNotSaveState);
    saved.shadersSaved = saved.othersSaved && !(flags & kDoNotSaveShaderState);
    saved.samplersSaved = saved.othersSaved && !(flags & kDoNotSaveSamplerState);
    if (saved.shadersSaved) {
        if (saved.pixelShader) {
            device_->GetPixelShader(saved.savedPixelShader.Put());
        }
        if (saved.vertexShader) {
            device_->GetVertexShader(saved.savedVertexShader.Put());
        }
        for (size_t i = 0; i < saved.constantRegisters.size(); ++i) {
            device_->GetPixelShaderConstantF(saved.constantRegisters[i],
                                             &saved.savedConstants[4 * i], 1);
        }
    }
    if (saved.samplersSaved) {
        for (StateSetting& s : saved.samplerStates) {
            DWORD value = 0;
            device_->GetSamplerState(s.index, static_cast<D3DSAMPLERSTATETYPE>(s.state), &value);
            s.value = value;
        }
    }
    if (saved.othersSaved) {
        for (size_t i = 0; i < saved.textureStages.size(); ++i) {
            device_->GetTexture(saved.textureStages[i], saved.savedTextures[i].Put());
        }
        for (StateSetting& s : saved.stageStates) {
            DWORD value = 0;
            device_->GetTextureStageState(s.index, static_cast<D3DTEXTURESTAGESTATETYPE>(s.state),
                                          &value);
            s.value = value;
        }
        for (StateSetting& s : saved.renderStates) {
            DWORD value = 0;
            device_->GetRenderState(static_cast<D3DRENDERSTATETYPE>(s.state), &value);
            s.value = value;
        }
    }
}

void Effect::RestoreState(Technique* technique) {
    SavedState& saved = technique->saved;
    if (saved.shadersSaved) {
        if (saved.pixelShader) {
            device_->SetPixelShader(saved.savedPixelShader.Get());
            saved.savedPixelShader.Reset();
        }
        if (saved.vertexShader) {
            device_->SetVertexShader(saved.savedVertexShader.Get());
            saved.savedVertexShader.Reset();
        }
        for (size_t i = 0; i < saved.constantRegisters.size(); ++i) {
            device_->SetPixelShaderConstantF(saved.constantRegisters[i],
                                             &saved.savedConstants[4 * i], 1);
        }
    }
    if (saved.samplersSaved) {
        for (const StateSetting& s : saved.samplerStates) {
            device_->SetSamplerState(s.index, static_cast<D3DSAMPLERSTATETYPE>(s.state), s.value);
        }
    }
    if (saved.othersSaved) {
        for (size_t i = 0; i < saved.textureStages.size(); ++i) {
            device_->SetTexture(saved.textureStages[i], saved.savedTextures[i].Get());
            saved.savedTextures[i].Reset();
        }
        for (const StateSetting& s : saved.stageStates) {
            device_->SetTextureStageState(s.index, static_cast<D3DTEXTURESTAGESTATETYPE>(s.state),
                                          s.value);
        }
        for (const StateSetting& s : saved.renderStates) {
            device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(s.state), s.value);
        }
    }
    saved.shadersSaved = saved.samplersSaved = saved.othersSaved = false;
}

HRESULT CreateEffectFromDescription(IDirect3DDevice9* device, const EffectDescription& description,
                                    std::unique_ptr<Effect>* effect, std::string* errors) {
    effect->reset();
    errors->clear();
    if (device == nullptr) {
        *errors = "no device to create the effect for";
        return D3DERR_INVALIDCALL;
    }
    std::unique_ptr<Effect> made(new Effect(device));
    made->parameters_.resize(description.parameters.size());
    for (size_t i = 0; i < description.parameters.size(); ++i) {
        const ParameterDescription& from = description.parameters[i];
        Effect::Parameter& to = made->parameters_[i];
        to.name = from.name;
        to.type = from.type;
        std::memcpy(to.values, from.initial, sizeof to.values);
    }
    made->techniques_.resize(description.techniques.size());
    for (size_t t = 0; t < description.techniques.size(); ++t) {
        const TechniqueDescription& from = description.techniques[t];
        Effect::Technique& to = made->techniques_[t];
        Effect::SavedState& saved = to.saved;
        to.name = from.name;
        to.passes.resize(from.passes.size());
        for (size_t p = 0; p < from.passes.size(); ++p) {
            const PassDescription& pass = from.passes[p];
            Effect::PassState& state = to.passes[p];
            state.pixelShaderSetting = pass.pixelShader;
            state.vertexShaderNull = pass.vertexShaderNull;
            state.constants = pass.constants;
            state.textures = pass.textures;
            state.samplerStates = pass.samplerStates;
            state.stageStates = pass.stageStates;
            state.renderStates = pass.renderStates;
            if (pass.pixelShader == ShaderSetting::Assembly) {
                const HRESULT hr = device->CreatePixelShader(
                    reinterpret_cast<const DWORD*>(pass.pixelShaderTokens.data()),
                    state.pixelShader.Put());
                if (FAILED(hr) || state.pixelShader == nullptr) {
                    to.usable = false;
                    *errors += "line " + std::to_string(pass.pixelShaderLine) +
                               ": the device refused the pixel shader of technique '" + to.name +
                               "' (" + HexCode(hr) + "); the technique cannot be used\n";
                }
            }
            saved.pixelShader = saved.pixelShader || pass.pixelShader != ShaderSetting::Untouched;
            saved.vertexShader = saved.vertexShader || pass.vertexShaderNull;
            for (const ConstantBinding& binding : pass.constants) {
                const uint32_t count =
                    ParameterRegisters(description.parameters[binding.parameter].type);
                for (UINT r = binding.firstRegister; r < binding.firstRegister + count; ++r) {
                    if (!ContainsValue(saved.constantRegisters, r)) {
                        saved.constantRegisters.push_back(r);
                    }
                }
            }
            for (const TextureBinding& binding : pass.textures) {
                if (!ContainsValue(saved.textureStages, static_cast<DWORD>(binding.stage))) {
                    saved.textureStages.push_back(binding.stage);
                }
            }
            for (const StateSetting& s : pass.samplerStates) {
                if (!Contains(saved.samplerStates, s)) {
                    saved.samplerStates.push_back(s);
                }
            }
            for (const StateSetting& s : pass.stageStates) {
                if (!Contains(saved.stageStates, s)) {
                    saved.stageStates.push_back(s);
                }
            }
            for (const StateSetting& s : pass.renderStates) {
                if (!Contains(saved.renderStates, s)) {
                    saved.renderStates.push_back(s);
                }
            }
        }
        saved.savedConstants.assign(4 * saved.constantRegisters.size(), 0.0f);
        saved.savedTextures.resize(saved.textureStages.size());
    }
    made->current_ = made->techniques_.empty() ? nullptr : &made->techniques_.front();
    *effect = std::move(made);
    return D3D_OK;
}

HRESULT CreateEffect(IDirect3DDevice9* device, const char* text, size_t length,
                     std::unique_ptr<Effect>* effect, std::string* errors) {
    effect->reset();
    errors->clear();
    if (device == nullptr || (text == nullptr && length != 0)) {
        *errors = "no device or no effect text";
        return D3DERR_INVALIDCALL;
    }
    EffectDescription description;
    if (!ParseEffect(text, length, &description, errors)) {
        return E_FAIL;
    }
    return CreateEffectFromDescription(device, description, effect, errors);
}

} // namespace d3dx
