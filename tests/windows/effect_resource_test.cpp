// The effect text inside qxmagnifier.dll: stored scrambled, restored exactly, compiled.
#include <gtest/gtest.h>

#include "d3d_test_device.h"
#include "effect_resource.h"
#include "test_support.h"
#include "text_scramble.h"

namespace {

UniqueModule LoadEngineAsData() {
    return UniqueModule(LoadLibraryExA((ProgramFolder() + "\\qxmagnifier.dll").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE));
}

TEST(EffectResource, EngineStoresTheEffectTextScrambledAndItUnscramblesExactly) {
    const UniqueModule engine = LoadEngineAsData();
    ASSERT_TRUE(engine);
    HRSRC found = FindResourceA(engine.Get(), "VEXLUMESHADER", MAKEINTRESOURCEA(10));
    ASSERT_NE(nullptr, found) << "RCDATA VEXLUMESHADER";
    const DWORD size = SizeofResource(engine.Get(), found);
    const auto* data =
        static_cast<const unsigned char*>(LockResource(LoadResource(engine.Get(), found)));
    ASSERT_NE(nullptr, data);
    std::string stored(data, data + size);
    const std::string text = ReadProgramFile("vexlume_shader.fx");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(std::string::npos, stored.find("technique")) << "stored scrambled";
    d3dx::UnscrambleEffectText(reinterpret_cast<unsigned char*>(&stored[0]), stored.size());
    EXPECT_EQ(text, stored);
}

TEST(EffectResource, CompilesFromTheEngineModuleWithEveryNameTheRendererLooksUp) {
    TestDevice device;
    ASSERT_TRUE(device.Valid());
    const UniqueModule engine = LoadEngineAsData();
    ASSERT_TRUE(engine);
    std::unique_ptr<d3dx::Effect> effect;
    std::string errors;
    ASSERT_EQ(S_OK, d3dx::LoadEffectFromResource(engine.Get(), d3dx::kEffectResourceName,
                                                 device.Get(), &effect, &errors))
        << errors;
    ASSERT_TRUE(effect);
    EXPECT_EQ("", errors);
    for (const char* name : {"WorldViewProj", "Brightness", "ShiftOneXPixel", "Tex"}) {
        EXPECT_NE(nullptr, effect->GetParameterByName(nullptr, name)) << name;
    }
    for (const char* name : {"No_ps", "YUY2_ps", "UYVY_ps", "RGB_ps", "RGBDark_ps"}) {
        EXPECT_NE(nullptr, effect->GetTechniqueByName(name)) << name;
    }
}

TEST(EffectResource, AMissingResourceGivesAFailureCodeAndNoCompilerText) {
    TestDevice device;
    ASSERT_TRUE(device.Valid());
    const UniqueModule engine = LoadEngineAsData();
    ASSERT_TRUE(engine);
    std::unique_ptr<d3dx::Effect> effect;
    std::string errors = "stale";
    const HRESULT hr =
        d3dx::LoadEffectFromResource(engine.Get(), "NOSUCHSHADER", device.Get(), &effect, &errors);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND), hr);
    EXPECT_FALSE(effect);
    EXPECT_EQ("", errors);
}

} // namespace
