// Our ps_2_0 assembler against D3DXAssembleShader of the d3dx9_43 library that Wine ships,
// loaded by this test only: the same text must give the same tokens.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "d3d_test_device.h"
#include "effect_text.h"
#include "scoped_handles.h"
#include "shader_assembler.h"

// ID3DXBuffer: IUnknown, then GetBufferPointer and GetBufferSize. Declared outside the
// anonymous namespace: there, having no implementation in sight, the compiler would take its
// calls for unreachable.
struct AssemblerBuffer : IUnknown {
    virtual void* STDMETHODCALLTYPE GetBufferPointer() = 0;
    virtual DWORD STDMETHODCALLTYPE GetBufferSize() = 0;
};

namespace {

using AssembleShaderFn = HRESULT(WINAPI*)(const char* text, UINT length, const void* defines,
                                          void* include, DWORD flags, AssemblerBuffer** shader,
                                          AssemblerBuffer** errors);

std::string Hex(const std::vector<uint32_t>& tokens) {
    std::string out;
    char word[12];
    for (uint32_t t : tokens) {
        std::snprintf(word, sizeof word, "%08lX ", static_cast<unsigned long>(t));
        out += word;
    }
    return out;
}

class AgainstTheLibraryAssembler : public ::testing::Test {
protected:
    void SetUp() override {
        library_.Reset(LoadLibraryA("d3dx9_43.dll"));
        ASSERT_TRUE(library_) << "d3dx9_43.dll";
        assemble_ = BindProc<AssembleShaderFn>(library_.Get(), "D3DXAssembleShader");
        ASSERT_NE(nullptr, assemble_);
    }

    void ExpectSameTokens(const std::string& text, const std::string& what) {
        std::vector<uint32_t> ours;
        std::string error;
        ASSERT_TRUE(d3dx::AssemblePixelShader(text.data(), text.size(), 1, &ours, &error))
            << what << ": " << error;
        ComPtr<AssemblerBuffer> shader;
        ComPtr<AssemblerBuffer> errors;
        const HRESULT hr = assemble_(text.data(), static_cast<UINT>(text.size()), nullptr, nullptr,
                                     0, shader.Put(), errors.Put());
        ASSERT_EQ(S_OK, hr) << what << ": "
                            << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
        ASSERT_TRUE(shader);
        const auto* words = static_cast<const uint32_t*>(shader->GetBufferPointer());
        const std::vector<uint32_t> theirs(words, words + shader->GetBufferSize() / 4);
        EXPECT_EQ(theirs, ours) << what << "\n theirs: " << Hex(theirs)
                                << "\n ours:   " << Hex(ours);
    }

    UniqueModule library_;
    AssembleShaderFn assemble_ = nullptr;
};

TEST_F(AgainstTheLibraryAssembler, EveryShaderOfTheEnginesEffect) {
    const std::string text = ReadProgramFile("vexlume_shader.fx");
    d3dx::EffectDescription effect;
    std::string error;
    ASSERT_TRUE(d3dx::ParseEffect(text.data(), text.size(), &effect, &error)) << error;
    int shaders = 0;
    for (const auto& technique : effect.techniques) {
        for (const auto& pass : technique.passes) {
            if (pass.pixelShader == d3dx::ShaderSetting::Assembly) {
                ExpectSameTokens(pass.pixelShaderSource, technique.name);
                ++shaders;
            }
        }
    }
    EXPECT_EQ(4, shaders);
}

// All but sincos, whose three-source ps_2_0 form Wine's assembler does not take.
TEST_F(AgainstTheLibraryAssembler, EveryInstructionRegisterAndModifier) {
    ExpectSameTokens("ps_2_0\n"
                     "def c10, 0.5, -1.25, 300.0, 0.0\n"
                     "def c11, 1, 0.001, -0, 65504\n"
                     "dcl v0\n"
                     "dcl v1.xyz\n"
                     "dcl t0.xy\n"
                     "dcl t1\n"
                     "dcl_2d s0\n"
                     "dcl_cube s1\n"
                     "dcl_volume s2\n"
                     "texld r0, t0, s0\n"
                     "texldp r1, t1, s1\n"
                     "texldb r2, t1, s2\n"
                     "add r3, r0, -r1\n"
                     "sub r4, r3, c10.x\n"
                     "mad_sat r5, r4.yzxw, c0, -v0\n"
                     "mul_pp r6.xz, r5.zxyw, c1.wzyx\n"
                     "min r7, r6, r5\n"
                     "max r8, r7, v1\n"
                     "dp3 r9.x, r8, c2\n"
                     "dp4 r9.yw, r8, c3\n"
                     "cmp r10, r9.x, r0, r1\n"
                     "lrp r11, r10, r0, r1\n"
                     "frc r0, r11\n"
                     "abs r1, -r0\n"
                     "rcp r2.x, r1.x\n"
                     "rsq r2.y, r1.y\n"
                     "exp r2.z, r1.z\n"
                     "log r2.w, r1.w\n"
                     "pow r3, r2.x, -r2.y\n"
                     "crs r4.xyz, r3, r2\n"
                     "nrm r5.xyz, r4\n"
                     "dp2add r6, r5, c4, c5.x\n"
                     "m4x4 r7, r6, c20\n"
                     "m3x3 r8.xyz, r7, c24\n"
                     "m3x2 r9.xy, r8, c27\n"
                     "m4x3 r10.xyz, r9, c12\n"
                     "m3x4 r11, r10, c16\n"
                     "nop\n"
                     "texkill r0\n"
                     "texkill t0\n"
                     "mov_sat_pp r1, c31.w\n"
                     "mov oC0, r0\n"
                     "mov oC1, r11\n"
                     "mov oDepth, r1.x\n",
                     "all instructions");
}

TEST_F(AgainstTheLibraryAssembler, SmallShadersWithCommentsAndDeclarationOrder) {
    ExpectSameTokens("ps_2_0\nmov oC0, c0\n", "a constant colour");
    ExpectSameTokens("ps_2_0\n// colour\ndcl v0\nmov r0, v0.wzyx\nmov oC0, r0 // out\n",
                     "vertex colour");
    ExpectSameTokens("ps_2_0\n/* the image */ dcl_2d s3\ndcl t2.xy\ndef c0, 0.25, 0.5, 0.75, 1\n"
                     "texld r0, t2, s3\nmul r0, r0, c0\nmov oC0, r0\n",
                     "declarations out of order");
}

} // namespace
