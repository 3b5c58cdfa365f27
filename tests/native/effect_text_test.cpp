#include "effect_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

namespace {

using d3dx::EffectDescription;
using d3dx::ParameterType;
using d3dx::PassDescription;
using d3dx::ShaderSetting;
using d3dx::StateSetting;

std::string ReadEffectFile() {
    std::ifstream in(VX_EFFECT_FILE, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Parse(const std::string& text, EffectDescription* effect, std::string* error) {
    return d3dx::ParseEffect(text.data(), text.size(), effect, error);
}

std::string ErrorOf(const std::string& text) {
    EffectDescription effect;
    std::string error;
    EXPECT_FALSE(Parse(text, &effect, &error)) << text;
    EXPECT_TRUE(effect.techniques.empty() && effect.parameters.empty());
    return error;
}

const PassDescription* OnlyPass(const EffectDescription& effect, const std::string& technique) {
    for (const auto& t : effect.techniques) {
        if (t.name == technique && t.passes.size() == 1) {
            return &t.passes[0];
        }
    }
    return nullptr;
}

bool Has(const std::vector<StateSetting>& list, uint32_t index, uint32_t state, uint32_t value) {
    for (const StateSetting& s : list) {
        if (s.index == index && s.state == state && s.value == value) {
            return true;
        }
    }
    return false;
}

// Sampler 0 samples point-wise without mips and clamps: the lens stays sharp.
void ExpectSharpSampling(const PassDescription& pass) {
    EXPECT_TRUE(Has(pass.samplerStates, 0, 5, 1)) << "MagFilter Point";
    EXPECT_TRUE(Has(pass.samplerStates, 0, 6, 1)) << "MinFilter Point";
    EXPECT_TRUE(Has(pass.samplerStates, 0, 7, 0)) << "MipFilter None";
    EXPECT_TRUE(Has(pass.samplerStates, 0, 1, 3)) << "AddressU Clamp";
    EXPECT_TRUE(Has(pass.samplerStates, 0, 2, 3)) << "AddressV Clamp";
}

TEST(EffectText, TheEnginesEffectHasItsParametersAndFiveSharpTechniques) {
    const std::string text = ReadEffectFile();
    ASSERT_FALSE(text.empty());
    EffectDescription effect;
    std::string error;
    ASSERT_TRUE(Parse(text, &effect, &error)) << error;

    ASSERT_EQ(4u, effect.parameters.size());
    EXPECT_EQ("WorldViewProj", effect.parameters[0].name);
    EXPECT_EQ(ParameterType::Float4x4, effect.parameters[0].type);
    EXPECT_EQ("Brightness", effect.parameters[1].name);
    EXPECT_EQ(ParameterType::Float, effect.parameters[1].type);
    EXPECT_EQ("ShiftOneXPixel", effect.parameters[2].name);
    EXPECT_EQ(ParameterType::Float, effect.parameters[2].type);
    EXPECT_EQ("Tex", effect.parameters[3].name);
    EXPECT_EQ(ParameterType::Texture, effect.parameters[3].type);

    const PassDescription* none = OnlyPass(effect, "No_ps");
    ASSERT_NE(nullptr, none);
    EXPECT_EQ(ShaderSetting::Null, none->pixelShader);
    EXPECT_TRUE(none->textures.empty()) << "No_ps leaves stage 0's texture to the renderer";
    EXPECT_TRUE(Has(none->stageStates, 0, 1, 2)) << "ColorOp SelectArg1";
    EXPECT_TRUE(Has(none->stageStates, 0, 2, 2)) << "ColorArg1 Texture";
    EXPECT_TRUE(Has(none->stageStates, 0, 4, 2)) << "AlphaOp SelectArg1";
    EXPECT_TRUE(Has(none->stageStates, 0, 5, 2)) << "AlphaArg1 Texture";
    ExpectSharpSampling(*none);

    const struct {
        const char* technique;
        const char* constant;
    } shaded[] = {{"RGB_ps", "Brightness"},
                  {"RGBDark_ps", "Brightness"},
                  {"YUY2_ps", "ShiftOneXPixel"},
                  {"UYVY_ps", "ShiftOneXPixel"}};
    for (const auto& s : shaded) {
        const PassDescription* pass = OnlyPass(effect, s.technique);
        ASSERT_NE(nullptr, pass) << s.technique;
        EXPECT_EQ(ShaderSetting::Assembly, pass->pixelShader) << s.technique;
        EXPECT_FALSE(pass->pixelShaderTokens.empty()) << s.technique;
        ASSERT_EQ(1u, pass->textures.size()) << s.technique;
        EXPECT_EQ(0u, pass->textures[0].stage);
        EXPECT_EQ("Tex", effect.parameters[pass->textures[0].parameter].name);
        ASSERT_EQ(1u, pass->constants.size()) << s.technique;
        EXPECT_EQ(0u, pass->constants[0].firstRegister);
        EXPECT_EQ(s.constant, effect.parameters[pass->constants[0].parameter].name);
        EXPECT_TRUE(Has(pass->renderStates, 0, 27, 0)) << "AlphaBlendEnable False";
        ExpectSharpSampling(*pass);
    }
}

TEST(EffectText, ParametersTakeInitialValuesOfTheirSize) {
    EffectDescription effect;
    std::string error;
    ASSERT_TRUE(Parse("float a = -2.5; float2 b = {1, 2.0f}; float3 c; float4 d = {1,2,3,4};\n"
                      "float4x4 m = {1,0,0,0, 0,1,0,0, 0,0,1,0, 7,8,9,1};\ntexture t;\n"
                      "technique T { pass { PixelShader = NULL; } }",
                      &effect, &error))
        << error;
    ASSERT_EQ(6u, effect.parameters.size());
    EXPECT_FLOAT_EQ(-2.5f, effect.parameters[0].initial[0]);
    EXPECT_FLOAT_EQ(2.0f, effect.parameters[1].initial[1]);
    EXPECT_FLOAT_EQ(0.0f, effect.parameters[2].initial[2]);
    EXPECT_FLOAT_EQ(4.0f, effect.parameters[3].initial[3]);
    EXPECT_FLOAT_EQ(9.0f, effect.parameters[4].initial[14]);
    EXPECT_EQ(ParameterType::Texture, effect.parameters[5].type);
    EXPECT_EQ(1u, d3dx::ParameterRegisters(ParameterType::Float));
    EXPECT_EQ(4u, d3dx::ParameterRegisters(ParameterType::Float4x4));
    EXPECT_EQ(16u, d3dx::ParameterFloats(ParameterType::Float4x4));
}

TEST(EffectText, StatesAcceptAnyCaseNumbersAndCombinedValues) {
    EffectDescription effect;
    std::string error;
    ASSERT_TRUE(Parse("technique T {\n pass P {\n"
                      "  colorarg1[3] = TEXTURE | complement | AlphaReplicate;\n"
                      "  MINFILTER[15] = linear;\n"
                      "  ColorWriteEnable = 0x0000000F;\n"
                      "  TexCoordIndex[7] = 4294967295;\n"
                      "  VertexShader = null;\n"
                      " }\n pass { }\n}\n",
                      &effect, &error))
        << error;
    const auto& passes = effect.techniques[0].passes;
    ASSERT_EQ(2u, passes.size());
    EXPECT_EQ("P", passes[0].name);
    EXPECT_TRUE(Has(passes[0].stageStates, 3, 2, 0x32));
    EXPECT_TRUE(Has(passes[0].samplerStates, 15, 6, 2));
    EXPECT_TRUE(Has(passes[0].renderStates, 0, 168, 15));
    EXPECT_TRUE(Has(passes[0].stageStates, 7, 11, 0xFFFFFFFFu));
    EXPECT_TRUE(passes[0].vertexShaderNull);
    EXPECT_EQ(ShaderSetting::Untouched, passes[0].pixelShader);
}

TEST(EffectText, AsmBlocksKeepTheirSourceAndReportErrorsAtTheEffectsLine) {
    const std::string text = "float k;\n"
                             "technique T\n"
                             "{\n"
                             "  pass\n"
                             "  {\n"
                             "    PixelShaderConstantF[2] = <k>;\n"
                             "    PixelShader = asm { ps_2_0 // a } in a comment\n"
                             "      ; and another }\n"
                             "      /* and } */ def c0, 1, 1, 1, 1\n"
                             "      mov oC0, c0\n"
                             "    };\n"
                             "  }\n"
                             "}\n";
    EffectDescription effect;
    std::string error;
    ASSERT_TRUE(Parse(text, &effect, &error)) << error;
    const PassDescription& pass = effect.techniques[0].passes[0];
    EXPECT_EQ(7, pass.pixelShaderLine);
    EXPECT_NE(std::string::npos, pass.pixelShaderSource.find("mov oC0, c0"));
    EXPECT_EQ(2u, pass.constants[0].firstRegister);

    std::string broken = text;
    broken.replace(broken.find("mov oC0, c0"), 11, "mov oC0, c9.q");
    EXPECT_EQ("line 10: 'c9.q' has a bad suffix", ErrorOf(broken));
}

TEST(EffectText, MistakesAreReportedWithTheirLine) {
    const std::string t = "technique T { pass { ";
    const std::string end = " } }";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"", "line 1: the effect has no technique"},
        {"float a;\n", "line 2: the effect has no technique"},
        {"\n\nint a;", "line 3: expected a parameter type (float, float2, float3, float4, "
                       "float4x4, texture) or technique, found 'int'"},
        {"float a; float a;", "line 1: the parameter 'a' is declared twice"},
        {"float a", "line 1: expected ';', found 'end of text'"},
        {"float2 a = {1};", "line 1: expected ',', found '}'"},
        {"float2 a = {1, 2, 3};", "line 1: 'a' takes 2 values"},
        {"float a = x;", "line 1: expected a number, found 'x'"},
        {"float a = 1.2.3;", "line 1: '1.2.3' is not a number"},
        {"texture t = 1;", "line 1: a texture parameter takes no initial value"},
        {"technique T { }", "line 1: the technique 'T' has no pass"},
        {"technique T { pass { } } technique T { pass { } }",
         "line 1: the technique 'T' is defined twice"},
        {"technique T { pas { } }", "line 1: expected a pass or '}', found 'pas'"},
        {"technique T { pass { ", "line 1: expected a state name, found 'end of text'"},
        {t + "Shininess = 1;" + end, "line 1: unknown state 'Shininess'"},
        {t + "MinFilter = Point;" + end, "line 1: MinFilter needs an index from 0 to 15"},
        {t + "ColorOp[8] = Disable;" + end, "line 1: ColorOp needs an index from 0 to 7"},
        {t + "CullMode[0] = None;" + end, "line 1: CullMode is a render state and takes no index"},
        {t + "MinFilter[0] = Clamp;" + end, "line 1: 'Clamp' is not a value of MinFilter"},
        {t + "MinFilter[0] = Point;\n MinFilter[0] = Linear;" + end,
         "line 2: MinFilter is set twice in this pass"},
        {t + "CullMode = 99999999999;" + end, "line 1: '99999999999' is too large"},
        {t + "CullMode = 1.5;" + end, "line 1: '1.5' is not a whole number"},
        {t + "PixelShader = NULL; PixelShader = NULL;" + end,
         "line 1: PixelShader is set twice in this pass"},
        {t + "PixelShader[0] = NULL;" + end, "line 1: PixelShader takes no index"},
        {t + "VertexShader = asm { };" + end,
         "line 1: VertexShader can only be NULL; the vertices are pre-transformed"},
        {t + "PixelShader = compile ps_2_0 main();" + end,
         "line 1: expected NULL or an asm block, found 'compile'"},
        {t + "PixelShader = asm ps_2_0" + end, "line 1: expected '{' after asm"},
        {t + "PixelShader = asm {\n ps_2_0\n mov oC0, c0\n",
         "line 1: the asm block is never closed"},
        {t + "PixelShader = asm { ps_2_0 mov oC0, c0 };" + end,
         "line 1: unexpected text after ps_2_0"},
        {t + "Texture = <x>;" + end, "line 1: Texture needs a sampler index from 0 to 15"},
        {t + "Texture[0] = <x>;" + end, "line 1: no parameter is called 'x'"},
        {"float f; " + t + "Texture[0] = <f>;" + end,
         "line 1: Texture takes a texture parameter; 'f' is not one"},
        {"texture x; " + t + "Texture[1] = <x>; Texture[1] = <x>;" + end,
         "line 1: Texture[1] is set twice in this pass"},
        {"texture x; " + t + "PixelShaderConstantF[0] = <x>;" + end,
         "line 1: PixelShaderConstantF takes a numeric parameter; 'x' is not one"},
        {"float4x4 m; " + t + "PixelShaderConstantF[29] = <m>;" + end,
         "line 1: 'm' needs 4 registers from c29, past c31"},
        {"float a; " + t + "PixelShaderConstantF[32] = <a>;" + end,
         "line 1: PixelShaderConstantF needs a register index from 0 to 31"},
        {"float4x4 m; float a; " + t +
             "PixelShaderConstantF[0] = <m>;\n"
             "PixelShaderConstantF[3] = <a>;" +
             end,
         "line 2: the constant registers of 'a' overlap those of 'm'"},
        {"float a;\n" + t +
             "PixelShaderConstantF[1] = <a>;\n"
             "PixelShader = asm { ps_2_0\n def c1, 0, 0, 0, 0\n mov oC0, c1 };" +
             end,
         "line 2: c1 is both defined by the shader and bound to 'a'"},
        {t + "AlphaBlendEnable = True" + end, "line 1: expected ';', found '}'"},
        {"/* never closed\n", "line 1: the comment is never closed"},
        {"float a; @", "line 1: unexpected character '@'"},
        {std::string("float a;\n\x01"), "line 2: unexpected byte 1"},
        {std::string("float a;\0", 9), "line 1: a zero byte in the effect text"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.message, ErrorOf(c.text)) << c.text;
    }
}

TEST(EffectText, RandomlyDamagedEffectsEitherParseOrFailWithALine) {
    const std::string original = ReadEffectFile();
    ASSERT_FALSE(original.empty());
    const char* const pieces[] = {"{",       "}",   ";",    "=",    "<",         ">",
                                  "[0]",     "asm", "NULL", "pass", "technique", "float",
                                  "texture", "//",  "/*",   "*/",   "\n",        "Tex",
                                  "|",       "-",   "1e",   "0x",   "\xff"};
    std::mt19937 random(77);
    int parsed = 0;
    for (int round = 0; round < 1500; ++round) {
        std::string text = original;
        const int edits = 1 + static_cast<int>(random() % 3);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % (text.size() + 1);
            switch (random() % 4) {
            case 0:
                text.insert(at, pieces[random() % (sizeof pieces / sizeof pieces[0])]);
                break;
            case 1:
                text.erase(at, random() % 12);
                break;
            case 2:
                if (at < text.size()) {
                    text[at] = static_cast<char>(random() % 256);
                }
                break;
            default:
                text.resize(at);
                break;
            }
        }
        std::vector<char> exact(text.begin(), text.end());
        EffectDescription effect;
        std::string error;
        if (d3dx::ParseEffect(exact.data(), exact.size(), &effect, &error)) {
            ++parsed;
            EXPECT_FALSE(effect.techniques.empty());
        } else {
            EXPECT_EQ(0u, error.find("line ")) << error;
        }
    }
    EXPECT_GT(parsed, 10) << "edits inside comments leave a valid effect";
}

} // namespace
