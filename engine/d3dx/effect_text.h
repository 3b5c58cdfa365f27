// The engine's effect-text language and its parser. No Windows headers.
//
// A small subset of effect-file syntax: parameters, and techniques made of passes whose states
// are set on the device when the pass is applied. Example:
//
//   float4x4 WorldViewProj;              // parameters: float, float2, float3, float4,
//   float Brightness = 0.0;              //   float4x4 (optionally with initial values,
//   float4 Tint = {1, 1, 1, 1};          //   a float4x4 row by row) and texture
//   texture Tex;
//
//   technique Bright                     // a technique has one or more passes
//   {
//       pass P0                          // the pass name is optional
//       {
//           VertexShader = NULL;         // the vertices are pre-transformed
//           PixelShader = asm            // ps_2_0 assembly (see shader_assembler.h),
//           {                            //   or NULL for the fixed-function stages
//               ps_2_0
//               dcl t0.xy
//               dcl_2d s0
//               texld r0, t0, s0
//               mul r0.xyz, r0, c0.x
//               mov oC0, r0
//           };
//           PixelShaderConstantF[0] = <Brightness>;  // a parameter into c0 (a float4x4
//                                                    //   fills four registers, row by row;
//                                                    //   smaller types pad with zeros)
//           Texture[0] = <Tex>;          // a texture parameter on sampler / stage 0
//           MinFilter[0] = Point;        // sampler states, indexed by sampler
//           AddressU[0] = Clamp;
//           ColorOp[0] = SelectArg1;     // texture-stage states, indexed by stage
//           ColorArg1[0] = Texture | Complement;
//           AlphaBlendEnable = False;    // render states, not indexed
//       }
//   }
//
// Comments are "//" to the end of the line and "/* ... */"; inside an asm block also ";" to
// the end of the line. Keywords (float..., texture, technique, pass, asm) and parameter and
// technique names are case-sensitive; state names, their values and NULL are not. A state
// value is a number (decimal or 0x hexadecimal), a named value of that state (see
// effect_states.h) or several of them joined with "|". Each state may be set once per pass;
// constant registers bound to parameters may not overlap each other, nor the constants the
// pass's shader defines with def.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace d3dx {

enum class ParameterType { Float, Float2, Float3, Float4, Float4x4, Texture };

// Floats a numeric parameter holds (0 for a texture) and the constant registers it fills.
uint32_t ParameterFloats(ParameterType type);
uint32_t ParameterRegisters(ParameterType type);

struct ParameterDescription {
    std::string name;
    ParameterType type = ParameterType::Float;
    float initial[16] = {}; // the numeric value, row by row; zero unless given
};

// One state assignment: `index` is the sampler or stage (0 for render states).
struct StateSetting {
    uint32_t index;
    uint32_t state;
    uint32_t value;
};

struct ConstantBinding {
    uint32_t firstRegister;
    size_t parameter; // index into EffectDescription::parameters
};

struct TextureBinding {
    uint32_t stage;
    size_t parameter;
};

enum class ShaderSetting { Untouched, Null, Assembly };

struct PassDescription {
    std::string name;
    int line = 0;
    ShaderSetting pixelShader = ShaderSetting::Untouched;
    std::vector<uint32_t> pixelShaderTokens; // when Assembly
    std::string pixelShaderSource;           // the asm block's text
    int pixelShaderLine = 0;                 // the line of the asm block's first text
    bool vertexShaderNull = false;           // VertexShader = NULL
    std::vector<ConstantBinding> constants;
    std::vector<TextureBinding> textures;
    std::vector<StateSetting> samplerStates;
    std::vector<StateSetting> stageStates;
    std::vector<StateSetting> renderStates;
};

struct TechniqueDescription {
    std::string name;
    std::vector<PassDescription> passes;
};

struct EffectDescription {
    std::vector<ParameterDescription> parameters;
    std::vector<TechniqueDescription> techniques;
};

// Parses `length` bytes of `text` (not necessarily zero-terminated) and assembles its shaders.
// On failure returns false and sets *error to "line N: what is wrong".
bool ParseEffect(const char* text, size_t length, EffectDescription* effect, std::string* error);

} // namespace d3dx
