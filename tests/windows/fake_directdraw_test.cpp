// The fake DirectDraw driver behaves as its header promises, so that tests built on it can trust
// what it hands out and what it answers.
#include <gtest/gtest.h>

#include <cstring>

#include "fake_directdraw.h"
#include "overlay.h"
#include "scoped_handles.h"
#include "test_support.h"

namespace {

class FakeDriver : public ::testing::Test {
protected:
    void SetUp() override {
        fake_.AcceptOverlayFormat(FakeRgbFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF));
        ASSERT_EQ(1, InitDirectDraw(display_, 64, 32));
        ClearRecordedCalls();
    }
    void TearDown() override { ReleaseDirectDraw(display_); }

    HRESULT LockAndWrite(IDirectDrawSurface* surface, int x, int y, DWORD value) {
        DDSURFACEDESC description = {};
        description.dwSize = sizeof(description);
        const HRESULT result = surface->Lock(nullptr, &description, 0x821, nullptr);
        if (result == DD_OK) {
            BYTE* row = static_cast<BYTE*>(description.lpSurface) + y * description.lPitch;
            std::memcpy(row + x * 4, &value, sizeof(value));
            surface->Unlock(description.lpSurface);
        }
        return result;
    }

    FakeDirectDraw fake_;
    DisplaySurfaces display_;
};

TEST_F(FakeDriver, LockedMemoryIsWhatTheDeviceContextShows) {
    ReleaseDirectDraw(display_);
    fake_.SetRowPadding(8);
    ASSERT_EQ(1, InitDirectDraw(display_, 64, 32));

    DDSURFACEDESC description = {};
    description.dwSize = sizeof(description);
    ASSERT_EQ(DD_OK, display_.offscreen->Lock(nullptr, &description, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(64u, description.dwWidth);
    EXPECT_EQ(32u, description.dwHeight);
    EXPECT_EQ((64 + 8) * 4, description.lPitch) << "rows padded as asked";
    EXPECT_EQ(32u, description.ddpfPixelFormat.dwRGBBitCount);
    BYTE* row = static_cast<BYTE*>(description.lpSurface) + 31 * description.lPitch;
    const DWORD pixel = 0x00ABCDEF;
    std::memcpy(row + 63 * 4, &pixel, sizeof(pixel));
    EXPECT_EQ(DDERR_SURFACEBUSY, display_.offscreen->Lock(nullptr, &description, 0, nullptr));
    HDC busy = nullptr;
    EXPECT_EQ(DDERR_SURFACEBUSY, display_.offscreen->GetDC(&busy));
    ASSERT_EQ(DD_OK, display_.offscreen->Unlock(nullptr));
    EXPECT_EQ(DDERR_NOTLOCKED, display_.offscreen->Unlock(nullptr));

    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, display_.offscreen->GetDC(&dc));
    HDC second = nullptr;
    EXPECT_EQ(DDERR_DCALREADYCREATED, display_.offscreen->GetDC(&second));
    UniqueMemoryDc copy(CreateCompatibleDC(dc));
    UniqueGdiObject bitmap(CreateCompatibleBitmap(dc, 64, 32));
    {
        SelectedObject selected(copy.Get(), bitmap.Get());
        ASSERT_TRUE(BitBlt(copy.Get(), 0, 0, 64, 32, dc, 0, 0, SRCCOPY));
        EXPECT_EQ(RGB(0xAB, 0xCD, 0xEF), GetPixel(copy.Get(), 63, 31));
    }
    EXPECT_EQ(DDERR_INVALIDPARAMS, display_.offscreen->ReleaseDC(copy.Get()));
    EXPECT_EQ(DD_OK, display_.offscreen->ReleaseDC(dc));
    EXPECT_EQ(DDERR_NODC, display_.offscreen->ReleaseDC(dc));
    EXPECT_EQ(0x00ABCDEFu, fake_.Surface(FakeRole::Offscreen)->Pixel(63, 31));
}

TEST_F(FakeDriver, ScriptedResultsComeQueuedFirstThenFixedUntilCleared) {
    fake_.QueueResult(FakeRole::Overlay, FakeMethod::Flip, DDERR_SURFACELOST);
    fake_.QueueResult(FakeRole::Overlay, FakeMethod::Flip, DDERR_SURFACEBUSY);
    fake_.SetResult(FakeRole::Overlay, FakeMethod::Flip, DDERR_GENERIC);
    EXPECT_EQ(DDERR_SURFACELOST, display_.overlay->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(DDERR_SURFACEBUSY, display_.overlay->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(DDERR_GENERIC, display_.overlay->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(DDERR_GENERIC, display_.overlay->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(0, fake_.Surface(FakeRole::Overlay)->Flips()) << "a failed flip shows nothing";
    fake_.ClearResults(FakeRole::Overlay, FakeMethod::Flip);
    EXPECT_EQ(DD_OK, display_.overlay->Flip(nullptr, DDFLIP_WAIT));

    fake_.QueueResult(FakeRole::Primary, FakeMethod::Restore, DDERR_WRONGMODE);
    EXPECT_EQ(DDERR_WRONGMODE, display_.primary->Restore());
    EXPECT_EQ(DD_OK, display_.primary->Restore());
    EXPECT_EQ(DD_OK, display_.overlay->Restore()) << "scripts are per role";

    fake_.QueueResult(FakeRole::BackBuffer, FakeMethod::Lock, DDERR_SURFACELOST);
    EXPECT_EQ(DDERR_SURFACELOST, LockAndWrite(display_.rgbBackBuffer.Get(), 0, 0, 1));
    EXPECT_FALSE(fake_.Surface(FakeRole::BackBuffer)->Locked());

    const std::vector<std::string> calls = RecordedCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ("overlay.Flip target=null flags=0x1 -> 0x887601C2", calls[0]);
    EXPECT_EQ("overlay.Flip target=null flags=0x1 -> 0x887601AE", calls[1]);
}

TEST_F(FakeDriver, OverlayMovesOnlyWhileShownAndFlipShowsTheBackBuffer) {
    EXPECT_EQ(DDERR_OVERLAYNOTVISIBLE, display_.overlay->SetOverlayPosition(10, 20));
    RECT rect = {0, 0, 64, 32};
    DDOVERLAYFX effects = {};
    effects.dwSize = sizeof(effects);
    ASSERT_EQ(DD_OK, display_.overlay->UpdateOverlay(nullptr, display_.primary.Get(), &rect,
                                                     DDOVER_SHOW, &effects));
    FakeSurface* overlay = fake_.Surface(FakeRole::Overlay);
    EXPECT_TRUE(overlay->OverlayShown());
    EXPECT_EQ(DD_OK, display_.overlay->SetOverlayPosition(10, 20));
    const RECT moved = overlay->OverlayRect();
    EXPECT_EQ(10, moved.left);
    EXPECT_EQ(20, moved.top);
    EXPECT_EQ(74, moved.right);
    EXPECT_EQ(52, moved.bottom);
    EXPECT_EQ(DDERR_NOTAOVERLAYSURFACE, display_.primary->SetOverlayPosition(0, 0));
    EXPECT_EQ(DDERR_NOTFLIPPABLE, display_.offscreen->Flip(nullptr, DDFLIP_WAIT));

    ASSERT_EQ(DD_OK, LockAndWrite(display_.rgbBackBuffer.Get(), 3, 4, 0x00112233));
    ASSERT_EQ(DD_OK, display_.overlay->Flip(nullptr, DDFLIP_WAIT));
    EXPECT_EQ(1, overlay->Flips());
    EXPECT_EQ(0x00112233u, overlay->Pixel(3, 4));

    ASSERT_EQ(DD_OK, display_.overlay->UpdateOverlay(nullptr, display_.primary.Get(), nullptr,
                                                     DDOVER_HIDE, nullptr));
    EXPECT_FALSE(overlay->OverlayShown());
    EXPECT_EQ(DDERR_OVERLAYNOTVISIBLE, display_.overlay->SetOverlayPosition(10, 20));
    EXPECT_EQ("overlay.UpdateOverlay src=null dest=primary rect=(0,0,64,32) flags=0x4000 fx=56 "
              "-> 0x0",
              RecordedCallsStartingWith("overlay.UpdateOverlay").front());
}

TEST(FakeDriverAlone, PackedYuvSurfacesHoldTwoBytesAPixelAndGiveNoDeviceContext) {
    FakeDirectDraw fake;
    DisplaySurfaces display_;
    fake.AcceptOverlayFormat(FakeFourCCFormat("UYVY"));
    ASSERT_EQ(1, InitDirectDraw(display_, 64, 32));
    ASSERT_EQ(DisplayPath::kOverlayUyvy, display_.path);

    DDSURFACEDESC description = {};
    description.dwSize = sizeof(description);
    ASSERT_EQ(DD_OK, display_.yuvBackBuffer->Lock(nullptr, &description, 0x821, nullptr));
    EXPECT_EQ(static_cast<DWORD>(MAKEFOURCC('U', 'Y', 'V', 'Y')),
              description.ddpfPixelFormat.dwFourCC);
    EXPECT_EQ(64 * 2, description.lPitch);
    EXPECT_NE(nullptr, description.lpSurface);
    EXPECT_EQ(DD_OK, display_.yuvBackBuffer->Unlock(nullptr));
    HDC dc = nullptr;
    EXPECT_EQ(DDERR_CANTCREATEDC, display_.yuvBackBuffer->GetDC(&dc));

    ReleaseDirectDraw(display_);
    EXPECT_EQ(0, fake.OutstandingReferences());
    EXPECT_TRUE(fake.Problems().empty());
}

TEST(FakeDriverAlone, RecordsMisuseInsteadOfCrashing) {
    FakeDirectDraw fake;
    DisplaySurfaces display_;
    ASSERT_EQ(0, InitDirectDraw(display_, 64, 32));

    IDirectDrawSurface* transparent = display_.offscreen.Get();
    transparent->AddRef();
    ReleaseDirectDraw(display_);
    ASSERT_EQ(1u, fake.Problems().size());
    EXPECT_EQ("the DirectDraw object was released while offscreen was still held",
              fake.Problems()[0]);
    EXPECT_EQ(1, fake.OutstandingReferences());

    transparent->Release();
    transparent->Release();
    transparent->IsLost();
    ASSERT_EQ(3u, fake.Problems().size());
    EXPECT_EQ("offscreen.Release without a reference", fake.Problems()[1]);
    EXPECT_EQ("offscreen.IsLost called after the last Release", fake.Problems()[2]);
    EXPECT_EQ(0, fake.OutstandingReferences());
}

} // namespace
