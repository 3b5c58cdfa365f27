// The effect object and the engine's effect text on a real Direct3D 9 device: each technique
// drawn over a known image and read back, the object's state handling and its contract.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>

#include "d3d_test_device.h"
#include "effect.h"

// Counts every allocation of this program, to show that the per-frame calls make none.
namespace {
std::atomic<long> g_allocations{0};
}
void* operator new(size_t size) {
    ++g_allocations;
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        std::abort();
    }
    return p;
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace {

using d3dx::Effect;
using d3dx::EffectHandle;

TestDevice& Device() {
    static TestDevice device;
    return device;
}

uint8_t Channel(uint32_t pixel, int byte) {
    return static_cast<uint8_t>(pixel >> (8 * byte));
}

Image RandomImage(UINT width, UINT height, uint32_t seed) {
    std::mt19937 random(seed);
    Image image(width * height);
    for (uint32_t& p : image) {
        p = static_cast<uint32_t>(random());
    }
    return image;
}

// The packed-YUV reference: BT.601 studio range in integer fixed point, chroma from the mean
// of the pair. Returns Y0, U, Y1, V.
struct Yuv {
    int y0, u, y1, v;
};
Yuv ReferenceYuv(uint32_t left, uint32_t right) {
    const int b0 = Channel(left, 0), g0 = Channel(left, 1), r0 = Channel(left, 2);
    const int b1 = Channel(right, 0), g1 = Channel(right, 1), r1 = Channel(right, 2);
    const int y0 = (3208 * b0 + 16519 * g0 + 8414 * r0 + 540672) >> 15;
    const int y1 = (3208 * b1 + 16519 * g1 + 8414 * r1 + 540672) >> 15;
    const int s = y0 + y1 - 32;
    const int db = (((b0 + b1) << 14) - 19077 * s) >> 9;
    const int dr = (((r0 + r1) << 14) - 19077 * s) >> 9;
    return {y0, (507 * db + 8421376) >> 16, y1, (642 * dr + 8421376) >> 16};
}

class EffectOnDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Device().Valid()) << "a Direct3D 9 device";
        const std::string text = ReadProgramFile("vexlume_shader.fx");
        ASSERT_FALSE(text.empty());
        std::string errors;
        ASSERT_EQ(S_OK,
                  d3dx::CreateEffect(Device().Get(), text.data(), text.size(), &effect_, &errors))
            << errors;
        EXPECT_EQ("", errors);
    }

    EffectHandle Parameter(const char* name) { return effect_->GetParameterByName(nullptr, name); }

    // Draws the width x height `source` through `technique` into a fresh target of the same
    // size, running the technique over the renderer's full-size quad as the renderer does.
    // `name` = `value` is set first when a name is given.
    Image Draw(const char* technique, const Image& source, UINT width, UINT height,
               const char* name, float value) {
        IDirect3DDevice9* device = Device().Get();
        ComPtr<IDirect3DTexture9> texture;
        ComPtr<IDirect3DTexture9> target;
        if (!Device().MakeTexture(width, height, source, &texture) ||
            !Device().MakeTarget(width, height, 0xFF808080, &target) ||
            !Device().UseTarget(target.Get())) {
            ADD_FAILURE() << "textures for the drawing";
            return Image();
        }
        device->BeginScene();
        EXPECT_EQ(S_OK, effect_->SetTechnique(effect_->GetTechniqueByName(technique)));
        const D3DMATRIX identity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};
        EXPECT_EQ(S_OK, effect_->SetValue(Parameter("WorldViewProj"), &identity, D3DX_DEFAULT));
        if (name != nullptr) {
            EXPECT_EQ(S_OK, effect_->SetFloat(Parameter(name), value));
        }
        EXPECT_EQ(S_OK, effect_->SetTexture(Parameter("Tex"), texture.Get()));
        device->SetTexture(0, texture.Get()); // what the renderer does for No_ps
        UINT passes = 0;
        EXPECT_EQ(S_OK, effect_->Begin(&passes, 0));
        EXPECT_EQ(1u, passes);
        for (UINT i = 0; i < passes; ++i) {
            EXPECT_EQ(S_OK, effect_->Pass(i));
            Device().DrawQuad(FullSizeQuad(width, height));
        }
        EXPECT_EQ(S_OK, effect_->End());
        device->EndScene();
        device->SetTexture(0, nullptr);
        effect_->SetTexture(Parameter("Tex"), nullptr);
        return Device().ReadBack(target.Get());
    }

    std::unique_ptr<Effect> effect_;
};

TEST_F(EffectOnDevice, NeutralBrightnessCopiesFineDetailBitForBit) {
    const struct { UINT width, height; } sizes[] = {{1, 1}, {7, 5}, {256, 200}};
    for (const auto& size : sizes) {
        const Image source = RandomImage(size.width, size.height, size.width * 31 + size.height);
        EXPECT_EQ(source, Draw("RGB_ps", source, size.width, size.height, "Brightness", 0.0f))
            << "RGB_ps at 0, " << size.width << "x" << size.height;
        EXPECT_EQ(source, Draw("RGBDark_ps", source, size.width, size.height, "Brightness", 0.0f))
            << "RGBDark_ps at 0, " << size.width << "x" << size.height;
    }
}

TEST_F(EffectOnDevice, NoPixelShaderTechniqueCopiesStageZerosTextureExactly) {
    IDirect3DDevice9* device = Device().Get();
    // States a previous drawing might have left: the technique must set what it relies on.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_ADD);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x40404040);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    const Image source = RandomImage(64, 48, 3);
    EXPECT_EQ(source, Draw("No_ps", source, 64, 48, nullptr, 0.0f));
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
}

TEST_F(EffectOnDevice, BrighterScalesColourByBrightnessOverAThousandAndKeepsAlpha) {
    const Image source = RandomImage(64, 32, 11);
    for (int b : {1500, 2000, 10000}) {
        const float value = static_cast<float>(b - 1000) / 12750.0f;
        const Image out = Draw("RGB_ps", source, 64, 32, "Brightness", value);
        ASSERT_EQ(source.size(), out.size());
        double worst = 0;
        for (size_t i = 0; i < source.size(); ++i) {
            for (int c = 0; c < 3; ++c) {
                const double expected = std::min(255.0, Channel(source[i], c) * b / 1000.0);
                worst = std::max(worst, std::abs(expected - Channel(out[i], c)));
            }
            ASSERT_EQ(Channel(source[i], 3), Channel(out[i], 3)) << "alpha at " << i;
        }
        EXPECT_LE(worst, 1.0) << "brightness " << b;
    }
}

TEST_F(EffectOnDevice, DarkerGivesNineTenthsAtOneAndKeepsAlphaEvenZero) {
    Image source = RandomImage(64, 32, 12);
    source[0] &= 0x00FFFFFF;
    const Image out = Draw("RGBDark_ps", source, 64, 32, "Brightness", 1.0f);
    ASSERT_EQ(source.size(), out.size());
    for (size_t i = 0; i < source.size(); ++i) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(Channel(source[i], c) * 0.9, Channel(out[i], c), 1.0) << i;
        }
        ASSERT_EQ(Channel(source[i], 3), Channel(out[i], 3)) << "alpha at " << i;
    }
}

// Source pairs (2i, 2i + 1) of a row, with the reference colours first.
Image PairImage(UINT width, UINT height) {
    Image image = RandomImage(width, height, 99);
    const uint32_t fixed[] = {0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF808080,
                              0xFF808080, 0xFFFF0000, 0xFFFF0000, 0xFF00FF00, 0xFF00FF00,
                              0xFF0000FF, 0xFF0000FF, 0xFF000000, 0xFFFFFFFF};
    std::copy(std::begin(fixed), std::end(fixed), image.begin());
    return image;
}

TEST_F(EffectOnDevice, PackedTechniquesGiveTheStudioRangeValuesOfEachPair) {
    const UINT width = 32;
    const UINT height = 6;
    const Image source = PairImage(width, height);
    const Image yuy2 = Draw("YUY2_ps", source, width, height, "ShiftOneXPixel", 1.0f / width);
    const Image uyvy = Draw("UYVY_ps", source, width, height, "ShiftOneXPixel", 1.0f / width);
    ASSERT_EQ(source.size(), yuy2.size());
    ASSERT_EQ(source.size(), uyvy.size());

    // The reference colours (pairs of equal pixels) and a black-white pair, YUY2 order.
    const int expected[7][4] = {{16, 128, 16, 128}, {235, 128, 235, 128}, {126, 128, 126, 128},
                                {81, 91, 81, 240},  {145, 54, 145, 34},   {41, 240, 41, 110},
                                {16, 128, 235, 128}};
    for (int k = 0; k < 7; ++k) {
        for (int b = 0; b < 4; ++b) {
            EXPECT_NEAR(expected[k][b], Channel(yuy2[k], b), 1) << "pair " << k << " byte " << b;
        }
    }
    for (UINT y = 0; y < height; ++y) {
        for (UINT i = 0; i < width / 2; ++i) {
            const Yuv r = ReferenceYuv(source[y * width + 2 * i], source[y * width + 2 * i + 1]);
            const uint32_t a = yuy2[y * width + i];
            const uint32_t b = uyvy[y * width + i];
            const std::string at = "row " + std::to_string(y) + " texel " + std::to_string(i);
            EXPECT_NEAR(r.y0, Channel(a, 0), 1) << at;
            EXPECT_NEAR(r.u, Channel(a, 1), 1) << at;
            EXPECT_NEAR(r.y1, Channel(a, 2), 1) << at;
            EXPECT_NEAR(r.v, Channel(a, 3), 1) << at;
            EXPECT_EQ(Channel(a, 1), Channel(b, 0)) << "UYVY U " << at;
            EXPECT_EQ(Channel(a, 0), Channel(b, 1)) << "UYVY Y0 " << at;
            EXPECT_EQ(Channel(a, 3), Channel(b, 2)) << "UYVY V " << at;
            EXPECT_EQ(Channel(a, 2), Channel(b, 3)) << "UYVY Y1 " << at;
        }
    }
}

TEST_F(EffectOnDevice, BeginSavesAndEndRestoresWhatThePassesSet) {
    IDirect3DDevice9* device = Device().Get();
    ComPtr<IDirect3DTexture9> before;
    ComPtr<IDirect3DTexture9> bound;
    ASSERT_TRUE(Device().MakeTexture(1, 1, Image(1, 0xFF102030), &before));
    ASSERT_TRUE(Device().MakeTexture(1, 1, Image(1, 0xFF405060), &bound));
    device->SetTexture(0, before.Get());
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    const float constant[4] = {7, 8, 9, 10};
    device->SetPixelShaderConstantF(0, constant, 1);
    ASSERT_EQ(S_OK, effect_->SetTechnique(effect_->GetTechniqueByName("RGB_ps")));
    ASSERT_EQ(S_OK, effect_->SetTexture(Parameter("Tex"), bound.Get()));
    ASSERT_EQ(S_OK, effect_->SetFloat(Parameter("Brightness"), 0.25f));

    for (DWORD flags : {DWORD{0}, d3dx::kDoNotSaveState}) {
        UINT passes = 0;
        ASSERT_EQ(S_OK, effect_->Begin(&passes, flags));
        ASSERT_EQ(S_OK, effect_->Pass(0));
        ComPtr<IDirect3DPixelShader9> shader;
        ComPtr<IDirect3DBaseTexture9> texture;
        DWORD filter = 0;
        DWORD cull = 0;
        float value[4] = {};
        device->GetPixelShader(shader.Put());
        device->GetTexture(0, texture.Put());
        device->GetSamplerState(0, D3DSAMP_MINFILTER, &filter);
        device->GetRenderState(D3DRS_CULLMODE, &cull);
        device->GetPixelShaderConstantF(0, value, 1);
        EXPECT_TRUE(shader) << "the pass sets its shader";
        EXPECT_EQ(bound.Get(), texture.Get());
        EXPECT_EQ(static_cast<DWORD>(D3DTEXF_POINT), filter);
        EXPECT_EQ(static_cast<DWORD>(D3DCULL_NONE), cull);
        EXPECT_FLOAT_EQ(0.25f, value[0]);
        EXPECT_FLOAT_EQ(0.0f, value[1]) << "a float fills its register with zeros";
        ASSERT_EQ(S_OK, effect_->End());

        device->GetPixelShader(shader.Put());
        device->GetTexture(0, texture.Put());
        device->GetSamplerState(0, D3DSAMP_MINFILTER, &filter);
        device->GetRenderState(D3DRS_CULLMODE, &cull);
        device->GetPixelShaderConstantF(0, value, 1);
        if (flags == 0) {
            EXPECT_FALSE(shader) << "End restores the shader";
            EXPECT_EQ(before.Get(), texture.Get());
            EXPECT_EQ(static_cast<DWORD>(D3DTEXF_LINEAR), filter);
            EXPECT_EQ(static_cast<DWORD>(D3DCULL_CW), cull);
            EXPECT_FLOAT_EQ(7.0f, value[0]);
        } else {
            EXPECT_TRUE(shader) << "kDoNotSaveState leaves the pass's states";
            EXPECT_EQ(bound.Get(), texture.Get());
            EXPECT_EQ(static_cast<DWORD>(D3DTEXF_POINT), filter);
        }
    }
    device->SetPixelShader(nullptr);
    device->SetTexture(0, nullptr);
    effect_->SetTexture(Parameter("Tex"), nullptr);
}

TEST_F(EffectOnDevice, HandlesAreFoundByNameAndForeignOnesAreRefused) {
    for (const char* name : {"WorldViewProj", "Brightness", "ShiftOneXPixel", "Tex"}) {
        EXPECT_NE(nullptr, Parameter(name)) << name;
    }
    for (const char* name : {"No_ps", "YUY2_ps", "UYVY_ps", "RGB_ps", "RGBDark_ps"}) {
        EXPECT_NE(nullptr, effect_->GetTechniqueByName(name)) << name;
    }
    EXPECT_EQ(nullptr, Parameter("brightness")) << "names are case-sensitive";
    EXPECT_EQ(nullptr, Parameter(nullptr));
    EXPECT_EQ(nullptr, effect_->GetTechniqueByName("RGB_PS"));
    EXPECT_EQ(nullptr, effect_->GetParameterByName(Parameter("Tex"), "Tex")) << "no parents";
    EXPECT_EQ(Parameter("Tex"), Parameter("Tex")) << "handles stay the same";

    const EffectHandle brightness = Parameter("Brightness");
    const EffectHandle technique = effect_->GetTechniqueByName("RGB_ps");
    const float f = 1.0f;
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetFloat(technique, 1.0f)) << "a technique handle";
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetFloat(&f, 1.0f)) << "a foreign handle";
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetFloat(nullptr, 1.0f));
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetTechnique(brightness));
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetFloat(Parameter("Tex"), 1.0f));
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetFloat(Parameter("WorldViewProj"), 1.0f));
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetTexture(brightness, nullptr));
    EXPECT_EQ(S_OK, effect_->SetValue(brightness, &f, 4));
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetValue(brightness, &f, 3)) << "too few bytes";
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetValue(brightness, nullptr, 4));
    const float matrix[16] = {};
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetValue(Parameter("WorldViewProj"), matrix, 60));
    EXPECT_EQ(S_OK, effect_->SetValue(Parameter("WorldViewProj"), matrix, 64));

    UINT passes = 7;
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->Pass(0)) << "Pass before Begin";
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->End()) << "End before Begin";
    EXPECT_EQ(S_OK, effect_->Begin(&passes, d3dx::kDoNotSaveState));
    EXPECT_EQ(1u, passes) << "the first technique is current at first";
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->Begin(&passes, 0)) << "Begin twice";
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->SetTechnique(technique)) << "inside Begin/End";
    EXPECT_EQ(D3DERR_INVALIDCALL, effect_->Pass(1)) << "past the last pass";
    EXPECT_EQ(S_OK, effect_->End());
}

TEST_F(EffectOnDevice, FrameCallsAllocateNothing) {
    ComPtr<IDirect3DTexture9> texture;
    ASSERT_TRUE(Device().MakeTexture(4, 4, Image(16, 0xFF000000), &texture));
    const EffectHandle brightness = Parameter("Brightness");
    const EffectHandle shift = Parameter("ShiftOneXPixel");
    const EffectHandle tex = Parameter("Tex");
    const EffectHandle matrix = Parameter("WorldViewProj");
    const EffectHandle techniques[] = {
        effect_->GetTechniqueByName("RGB_ps"), effect_->GetTechniqueByName("RGBDark_ps"),
        effect_->GetTechniqueByName("YUY2_ps"), effect_->GetTechniqueByName("No_ps")};
    const D3DMATRIX identity = {};
    const long before = g_allocations.load();
    for (int frame = 0; frame < 3; ++frame) {
        for (EffectHandle technique : techniques) {
            effect_->SetTechnique(technique);
            effect_->SetFloat(brightness, 0.5f);
            effect_->SetValue(shift, &identity, 4);
            effect_->SetValue(matrix, &identity, D3DX_DEFAULT);
            effect_->SetTexture(tex, texture.Get());
            UINT passes = 0;
            effect_->Begin(&passes, 0);
            for (UINT i = 0; i < passes; ++i) {
                effect_->Pass(i);
            }
            effect_->End();
        }
    }
    EXPECT_EQ(before, g_allocations.load());
    effect_->SetTexture(tex, nullptr);
}

ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

TEST(EffectObject, HoldsTheDeviceAndTexturesUntilItEnds) {
    ASSERT_TRUE(Device().Valid());
    IDirect3DDevice9* device = Device().Get();
    ComPtr<IDirect3DTexture9> texture;
    ASSERT_TRUE(Device().MakeTexture(2, 2, Image(4, 0), &texture));
    const ULONG deviceBefore = References(device);
    const ULONG textureBefore = References(texture.Get());
    {
        const std::string text = ReadProgramFile("vexlume_shader.fx");
        std::unique_ptr<Effect> effect;
        std::string errors;
        ASSERT_EQ(S_OK, d3dx::CreateEffect(device, text.data(), text.size(), &effect, &errors));
        EXPECT_GT(References(device), deviceBefore);
        const EffectHandle tex = effect->GetParameterByName(nullptr, "Tex");
        IDirect3DBaseTexture9* pointer = texture.Get();
        ASSERT_EQ(S_OK, effect->SetValue(tex, &pointer, sizeof pointer));
        EXPECT_EQ(textureBefore + 1, References(texture.Get()));
        ASSERT_EQ(S_OK, effect->SetTexture(tex, texture.Get()));
        EXPECT_EQ(textureBefore + 1, References(texture.Get())) << "one reference per parameter";
        // Begun and never ended: ending the effect still gives back what Begin took.
        UINT passes = 0;
        effect->SetTechnique(effect->GetTechniqueByName("RGB_ps"));
        ASSERT_EQ(S_OK, effect->Begin(&passes, 0));
        effect->Pass(0);
    }
    EXPECT_EQ(deviceBefore, References(device)) << "shaders and device reference released";
    EXPECT_EQ(textureBefore, References(texture.Get()));
    ComPtr<IDirect3DPixelShader9> shader;
    device->GetPixelShader(shader.Put());
    EXPECT_FALSE(shader) << "the device's shader was restored";
}

TEST(EffectObject, TextThatDoesNotCompileGivesNoEffectAndAMessageWithItsLine) {
    ASSERT_TRUE(Device().Valid());
    const std::string text = "float a;\ntechnique T\n{\n  pass { PixelShader = asm {\n"
                             "    ps_2_0\n    mov oC0, c40\n  }; }\n}\n";
    std::unique_ptr<Effect> effect;
    std::string errors;
    EXPECT_EQ(E_FAIL,
              d3dx::CreateEffect(Device().Get(), text.data(), text.size(), &effect, &errors));
    EXPECT_FALSE(effect);
    EXPECT_EQ("line 6: c40 is out of range; ps_2_0 has c0 to c31", errors);

    EXPECT_EQ(D3DERR_INVALIDCALL,
              d3dx::CreateEffect(nullptr, text.data(), text.size(), &effect, &errors));
    EXPECT_FALSE(effect);
    EXPECT_FALSE(errors.empty());
}

TEST(EffectObject, ATechniqueWhoseShaderTheDeviceRefusesCannotBeStarted) {
    ASSERT_TRUE(Device().Valid());
    const std::string text = ReadProgramFile("vexlume_shader.fx");
    d3dx::EffectDescription description;
    std::string errors;
    ASSERT_TRUE(d3dx::ParseEffect(text.data(), text.size(), &description, &errors));
    for (auto& technique : description.techniques) {
        if (technique.name == "YUY2_ps") {
            technique.passes[0].pixelShaderTokens[0] = 0x12340000; // no such shader version
        }
    }
    std::unique_ptr<Effect> effect;
    ASSERT_EQ(S_OK,
              d3dx::CreateEffectFromDescription(Device().Get(), description, &effect, &errors));
    ASSERT_TRUE(effect);
    EXPECT_NE(std::string::npos, errors.find("technique 'YUY2_ps'")) << errors;
    UINT passes = 9;
    ASSERT_EQ(S_OK, effect->SetTechnique(effect->GetTechniqueByName("YUY2_ps")));
    EXPECT_EQ(D3DERR_INVALIDCALL, effect->Begin(&passes, 0));
    EXPECT_EQ(0u, passes);
    ASSERT_EQ(S_OK, effect->SetTechnique(effect->GetTechniqueByName("No_ps")));
    EXPECT_EQ(S_OK, effect->Begin(&passes, 0)) << "the other techniques still work";
    EXPECT_EQ(S_OK, effect->End());
}

} // namespace
