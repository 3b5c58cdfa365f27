#include "effect_states.h"

#include <cctype>

namespace d3dx {

bool SameName(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

namespace {

const StateInfo kStates[] = {
    {"ZEnable", StateGroup::Render, 7, ValueKind::ZBuffer},
    {"FillMode", StateGroup::Render, 8, ValueKind::FillMode},
    {"ZWriteEnable", StateGroup::Render, 14, ValueKind::Bool},
    {"AlphaTestEnable", StateGroup::Render, 15, ValueKind::Bool},
    {"SrcBlend", StateGroup::Render, 19, ValueKind::Blend},
    {"DestBlend", StateGroup::Render, 20, ValueKind::Blend},
    {"CullMode", StateGroup::Render, 22, ValueKind::Cull},
    {"ZFunc", StateGroup::Render, 23, ValueKind::Compare},
    {"AlphaRef", StateGroup::Render, 24, ValueKind::Number},
    {"AlphaFunc", StateGroup::Render, 25, ValueKind::Compare},
    {"DitherEnable", StateGroup::Render, 26, ValueKind::Bool},
    {"AlphaBlendEnable", StateGroup::Render, 27, ValueKind::Bool},
    {"FogEnable", StateGroup::Render, 28, ValueKind::Bool},
    {"StencilEnable", StateGroup::Render, 52, ValueKind::Bool},
    {"TextureFactor", StateGroup::Render, 60, ValueKind::Number},
    {"Lighting", StateGroup::Render, 137, ValueKind::Bool},
    {"ColorWriteEnable", StateGroup::Render, 168, ValueKind::Number},
    {"BlendOp", StateGroup::Render, 171, ValueKind::BlendOp},

    {"AddressU", StateGroup::Sampler, 1, ValueKind::Address},
    {"AddressV", StateGroup::Sampler, 2, ValueKind::Address},
    {"AddressW", StateGroup::Sampler, 3, ValueKind::Address},
    {"BorderColor", StateGroup::Sampler, 4, ValueKind::Number},
    {"MagFilter", StateGroup::Sampler, 5, ValueKind::Filter},
    {"MinFilter", StateGroup::Sampler, 6, ValueKind::Filter},
    {"MipFilter", StateGroup::Sampler, 7, ValueKind::Filter},
    {"MaxMipLevel", StateGroup::Sampler, 9, ValueKind::Number},
    {"MaxAnisotropy", StateGroup::Sampler, 10, ValueKind::Number},
    {"SRGBTexture", StateGroup::Sampler, 11, ValueKind::Bool},

    {"ColorOp", StateGroup::Stage, 1, ValueKind::TextureOp},
    {"ColorArg1", StateGroup::Stage, 2, ValueKind::TextureArg},
    {"ColorArg2", StateGroup::Stage, 3, ValueKind::TextureArg},
    {"AlphaOp", StateGroup::Stage, 4, ValueKind::TextureOp},
    {"AlphaArg1", StateGroup::Stage, 5, ValueKind::TextureArg},
    {"AlphaArg2", StateGroup::Stage, 6, ValueKind::TextureArg},
    {"TexCoordIndex", StateGroup::Stage, 11, ValueKind::Number},
    {"TextureTransformFlags", StateGroup::Stage, 24, ValueKind::TransformFlags},
    {"ColorArg0", StateGroup::Stage, 26, ValueKind::TextureArg},
    {"AlphaArg0", StateGroup::Stage, 27, ValueKind::TextureArg},
    {"ResultArg", StateGroup::Stage, 28, ValueKind::TextureArg},
    {"Constant", StateGroup::Stage, 32, ValueKind::Number},
};

struct NamedValue {
    ValueKind kind;
    const char* name;
    uint32_t value;
};

const NamedValue kValues[] = {
    {ValueKind::Bool, "True", 1},
    {ValueKind::Bool, "False", 0},
    {ValueKind::ZBuffer, "True", 1},
    {ValueKind::ZBuffer, "False", 0},
    {ValueKind::ZBuffer, "UseW", 2},
    {ValueKind::FillMode, "Point", 1},
    {ValueKind::FillMode, "Wireframe", 2},
    {ValueKind::FillMode, "Solid", 3},
    {ValueKind::Cull, "None", 1},
    {ValueKind::Cull, "CW", 2},
    {ValueKind::Cull, "CCW", 3},
    {ValueKind::Blend, "Zero", 1},
    {ValueKind::Blend, "One", 2},
    {ValueKind::Blend, "SrcColor", 3},
    {ValueKind::Blend, "InvSrcColor", 4},
    {ValueKind::Blend, "SrcAlpha", 5},
    {ValueKind::Blend, "InvSrcAlpha", 6},
    {ValueKind::Blend, "DestAlpha", 7},
    {ValueKind::Blend, "InvDestAlpha", 8},
    {ValueKind::Blend, "DestColor", 9},
    {ValueKind::Blend, "InvDestColor", 10},
    {ValueKind::Blend, "SrcAlphaSat", 11},
    {ValueKind::BlendOp, "Add", 1},
    {ValueKind::BlendOp, "Subtract", 2},
    {ValueKind::BlendOp, "RevSubtract", 3},
    {ValueKind::BlendOp, "Min", 4},
    {ValueKind::BlendOp, "Max", 5},
    {ValueKind::Compare, "Never", 1},
    {ValueKind::Compare, "Less", 2},
    {ValueKind::Compare, "Equal", 3},
    {ValueKind::Compare, "LessEqual", 4},
    {ValueKind::Compare, "Greater", 5},
    {ValueKind::Compare, "NotEqual", 6},
    {ValueKind::Compare, "GreaterEqual", 7},
    {ValueKind::Compare, "Always", 8},
    {ValueKind::Filter, "None", 0},
    {ValueKind::Filter, "Point", 1},
    {ValueKind::Filter, "Linear", 2},
    {ValueKind::Filter, "Anisotropic", 3},
    {ValueKind::Address, "Wrap", 1},
    {ValueKind::Address, "Mirror", 2},
    {ValueKind::Address, "Clamp", 3},
    {ValueKind::Address, "Border", 4},
    {ValueKind::Address, "MirrorOnce", 5},
    {ValueKind::TextureOp, "Disable", 1},
    {ValueKind::TextureOp, "SelectArg1", 2},
    {ValueKind::TextureOp, "SelectArg2", 3},
    {ValueKind::TextureOp, "Modulate", 4},
    {ValueKind::TextureOp, "Modulate2x", 5},
    {ValueKind::TextureOp, "Modulate4x", 6},
    {ValueKind::TextureOp, "Add", 7},
    {ValueKind::TextureOp, "AddSigned", 8},
    {ValueKind::TextureOp, "AddSigned2x", 9},
    {ValueKind::TextureOp, "Subtract", 10},
    {ValueKind::TextureOp, "AddSmooth", 11},
    {ValueKind::TextureOp, "BlendDiffuseAlpha", 12},
    {ValueKind::TextureOp, "BlendTextureAlpha", 13},
    {ValueKind::TextureOp, "BlendFactorAlpha", 14},
    {ValueKind::TextureOp, "BlendCurrentAlpha", 16},
    {ValueKind::TextureOp, "DotProduct3", 24},
    {ValueKind::TextureOp, "MultiplyAdd", 25},
    {ValueKind::TextureOp, "Lerp", 26},
    {ValueKind::TextureArg, "Diffuse", 0},
    {ValueKind::TextureArg, "Current", 1},
    {ValueKind::TextureArg, "Texture", 2},
    {ValueKind::TextureArg, "TFactor", 3},
    {ValueKind::TextureArg, "Specular", 4},
    {ValueKind::TextureArg, "Temp", 5},
    {ValueKind::TextureArg, "Constant", 6},
    {ValueKind::TextureArg, "Complement", 0x10},
    {ValueKind::TextureArg, "AlphaReplicate", 0x20},
    {ValueKind::TransformFlags, "Disable", 0},
    {ValueKind::TransformFlags, "Count1", 1},
    {ValueKind::TransformFlags, "Count2", 2},
    {ValueKind::TransformFlags, "Count3", 3},
    {ValueKind::TransformFlags, "Count4", 4},
    {ValueKind::TransformFlags, "Projected", 256},
};

} // namespace

const StateInfo* FindState(const std::string& name) {
    for (const StateInfo& info : kStates) {
        if (SameName(name, info.name)) {
            return &info;
        }
    }
    return nullptr;
}

bool FindStateValue(ValueKind kind, const std::string& name, uint32_t* value) {
    for (const NamedValue& named : kValues) {
        if (named.kind == kind && SameName(name, named.name)) {
            *value = named.value;
            return true;
        }
    }
    return false;
}

} // namespace d3dx
