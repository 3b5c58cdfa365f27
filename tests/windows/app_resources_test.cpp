// The program's resources as Windows loads them: icons "M", "M2" and "S", the splash bitmap 113
// with its alpha channel, the start sound "LOAD" and the manifest. They are linked into this
// test the way the program links them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "scoped_handles.h"

namespace {

struct ResourceData {
    const BYTE* bytes = nullptr;
    DWORD size = 0;
};

ResourceData FindData(const char* name, const char* type) {
    HRSRC found = FindResourceA(nullptr, name, type);
    if (found == nullptr) {
        return {};
    }
    return {static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))),
            SizeofResource(nullptr, found)};
}

WORD U16(const BYTE* p) {
    return static_cast<WORD>(p[0] | p[1] << 8);
}
DWORD U32(const BYTE* p) {
    return U16(p) | static_cast<DWORD>(U16(p + 2)) << 16;
}

// The 32-bit pixels (blue, green, red, alpha) of a bitmap, top row first.
std::vector<BYTE> PixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    WindowDc screen(nullptr, GetDC(nullptr));
    if (GetDIBits(screen.Get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) !=
        height) {
        pixels.clear();
    }
    return pixels;
}

// Besides the 32 and 16 pixel images in 16 and 256 colours, larger ones in 256 colours for scaled
// displays.
TEST(AppResources,
     EachIconHoldsThirtyTwoAndSixteenPixelImagesInSixteenAndTwoHundredFiftySixColours) {
    for (const char* name : {"M", "M2", "S"}) {
        const ResourceData group = FindData(name, MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
        ASSERT_NE(nullptr, group.bytes) << name;
        ASSERT_GE(group.size, 6u);
        const WORD count = U16(group.bytes + 4);
        ASSERT_EQ(9, count) << name;
        ASSERT_GE(group.size, 6u + 14u * count);
        std::set<std::pair<int, int>> formats;
        for (WORD i = 0; i < count; ++i) {
            const BYTE* entry = group.bytes + 6 + 14 * i;
            const int size = entry[0];
            const int bits = U16(entry + 6);
            formats.insert({size, bits});
            const ResourceData image =
                FindData(MAKEINTRESOURCEA(U16(entry + 12)), MAKEINTRESOURCEA(3)); // RT_ICON
            ASSERT_NE(nullptr, image.bytes) << name;
            ASSERT_GE(image.size, 40u);
            EXPECT_EQ(static_cast<DWORD>(size), U32(image.bytes + 4)) << name;
            EXPECT_EQ(static_cast<DWORD>(size * 2), U32(image.bytes + 8)) << name;
            EXPECT_EQ(bits, U16(image.bytes + 14)) << name;
        }
        EXPECT_EQ(
            (std::set<std::pair<int, int>>{
                {16, 4}, {16, 8}, {32, 4}, {32, 8}, {20, 8}, {24, 8}, {40, 8}, {48, 8}, {64, 8}}),
            formats)
            << name;
    }
}

TEST(AppResources, IconsLoadAtBothSizesAndTheStoppingIconLooksDifferent) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    std::vector<BYTE> drawn[2];
    const char* names[] = {"M", "M2"};
    for (int size : {32, 16}) {
        for (int i = 0; i < 2; ++i) {
            HICON icon =
                static_cast<HICON>(LoadImageA(instance, names[i], IMAGE_ICON, size, size, 0));
            ASSERT_NE(nullptr, icon) << names[i];
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            UniqueGdiObject colour(info.hbmColor);
            UniqueGdiObject mask(info.hbmMask);
            BITMAP bitmap = {};
            ASSERT_TRUE(GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap));
            EXPECT_EQ(size, bitmap.bmWidth) << names[i];
            EXPECT_EQ(size, bitmap.bmHeight) << names[i];
            drawn[i] = PixelsOf(info.hbmColor, size, size);
            DestroyIcon(icon);
        }
        ASSERT_EQ(drawn[0].size(), drawn[1].size());
        int different = 0;
        for (size_t p = 0; p < drawn[0].size(); p += 4) {
            different += std::equal(&drawn[0][p], &drawn[0][p] + 3, &drawn[1][p]) ? 0 : 1;
        }
        EXPECT_GT(different, size * size / 8) << size;
    }
    // The settings dialog loads "S" shared at the display's sizes, 32 and 16 unscaled.
    EXPECT_NE(nullptr, LoadImageA(instance, "S", IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
    EXPECT_NE(nullptr, LoadImageA(instance, "S", IMAGE_ICON, 16, 16, LR_SHARED));
}

// The splash is drawn with per-pixel alpha: transparent corners, an opaque panel, soft edges,
// and colours premultiplied by their alpha.
void ExpectSplashAlpha(const std::vector<BYTE>& pixels, const char* how) {
    ASSERT_EQ(320u * 240u * 4u, pixels.size()) << how;
    auto alpha = [&](int x, int y) { return pixels[(y * 320 + x) * 4 + 3]; };
    EXPECT_EQ(0, alpha(0, 0)) << how;
    EXPECT_EQ(0, alpha(319, 239)) << how;
    EXPECT_GE(alpha(30, 120), 230) << how;
    std::set<BYTE> alphas;
    for (size_t p = 0; p < pixels.size(); p += 4) {
        ASSERT_LE(pixels[p], pixels[p + 3]) << how;
        ASSERT_LE(pixels[p + 1], pixels[p + 3]) << how;
        ASSERT_LE(pixels[p + 2], pixels[p + 3]) << how;
        alphas.insert(pixels[p + 3]);
    }
    EXPECT_GT(alphas.size(), 20u) << how;
}

TEST(AppResources, SplashBitmapIs320By240With32BitsAndPremultipliedAlpha) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    UniqueGdiObject loaded(LoadBitmapA(instance, MAKEINTRESOURCEA(113)));
    ASSERT_TRUE(loaded);
    BITMAP bitmap = {};
    ASSERT_TRUE(GetObjectA(loaded.Get(), sizeof(bitmap), &bitmap));
    EXPECT_EQ(320, bitmap.bmWidth);
    EXPECT_EQ(240, bitmap.bmHeight);
    ExpectSplashAlpha(PixelsOf(static_cast<HBITMAP>(loaded.Get()), 320, 240), "LoadBitmapA");

    UniqueGdiObject section(
        LoadImageA(instance, MAKEINTRESOURCEA(113), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_TRUE(section);
    DIBSECTION dib = {};
    ASSERT_EQ(static_cast<int>(sizeof(dib)), GetObjectA(section.Get(), sizeof(dib), &dib));
    EXPECT_EQ(32, dib.dsBm.bmBitsPixel);
    ExpectSplashAlpha(PixelsOf(static_cast<HBITMAP>(section.Get()), 320, 240), "DIB section");

    UniqueGdiObject large(
        LoadImageA(instance, MAKEINTRESOURCEA(213), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_TRUE(large) << "the picture for scaled displays";
    ASSERT_EQ(static_cast<int>(sizeof(dib)), GetObjectA(large.Get(), sizeof(dib), &dib));
    EXPECT_EQ(640, dib.dsBm.bmWidth);
    EXPECT_EQ(480, dib.dsBm.bmHeight);
    EXPECT_EQ(32, dib.dsBm.bmBitsPixel);
}

TEST(AppResources, StartSoundIsAShortPcmWave) {
    // The program asks for "load"; resource names are found whatever their case.
    const ResourceData sound = FindData("load", "WAVE");
    ASSERT_NE(nullptr, sound.bytes);
    ASSERT_GE(sound.size, 44u);
    EXPECT_EQ(0, memcmp(sound.bytes, "RIFF", 4));
    EXPECT_EQ(0, memcmp(sound.bytes + 8, "WAVEfmt ", 8));
    EXPECT_EQ(1, U16(sound.bytes + 20)) << "PCM";
    EXPECT_EQ(1, U16(sound.bytes + 22)) << "mono";
    const DWORD rate = U32(sound.bytes + 24);
    EXPECT_TRUE(rate == 22050 || rate == 44100) << rate;
    EXPECT_EQ(16, U16(sound.bytes + 34));
    EXPECT_EQ(0, memcmp(sound.bytes + 36, "data", 4));
    const DWORD data = U32(sound.bytes + 40);
    EXPECT_EQ(sound.size, 44 + data);
    const double seconds = data / 2.0 / rate;
    EXPECT_GT(seconds, 0.2);
    EXPECT_LT(seconds, 1.0);
}

TEST(AppResources, ManifestAsksForCommonControls6AndTheInvokersLevel) {
    const ResourceData manifest = FindData(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, manifest.bytes);
    const std::string text(reinterpret_cast<const char*>(manifest.bytes), manifest.size);
    EXPECT_NE(std::string::npos, text.find("name=\"Microsoft.Windows.Common-Controls\""));
    EXPECT_NE(std::string::npos, text.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, text.find("level=\"asInvoker\""));
    EXPECT_NE(std::string::npos, text.find("uiAccess=\"false\""));
}

// The loader reads the awareness from the manifest's settings by their namespaces: a misspelt
// namespace leaves the program unaware and scaled without a word.
TEST(AppResources, ManifestDeclaresPerMonitorAwarenessAsTheLoaderReadsIt) {
    wchar_t self[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameW(nullptr, self, MAX_PATH));
    ACTCTXW request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = self;
    request.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(INVALID_HANDLE_VALUE, context);
    const struct {
        const wchar_t* space;
        const wchar_t* name;
        std::wstring value;
    } settings[] = {
        // Windows 10 version 1607 on, the first that it knows preferred.
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
         L"PerMonitorV2, PerMonitor"},
        // Windows 8.1 per monitor; Vista to 8 system-aware.
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true/pm"},
    };
    for (const auto& setting : settings) {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        EXPECT_TRUE(
            QueryActCtxSettingsW(0, context, setting.space, setting.name, value, 64, &written))
            << setting.name;
        EXPECT_EQ(setting.value, std::wstring(value));
    }
    ReleaseActCtx(context);
}

} // namespace
