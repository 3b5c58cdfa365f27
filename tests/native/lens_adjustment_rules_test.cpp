// Zoom, size, transparency, lock, the clamp of an oversized lens and the capture wait, on the
// settings record as the program holds it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "capture_wait.h"
#include "lens_clamp.h"
#include "lens_steps.h"

namespace {

using Size = std::pair<uint32_t, uint32_t>;

struct Lens {
    SettingsRecord record;
    LensSizes sizes;
    Lens(uint32_t width, uint32_t height, float zoom = 2.0f) {
        SetDefaultSettings(&record);
        record.engine.lensWidth = width;
        record.engine.lensHeight = height;
        record.engine.zoom = zoom;
        DeriveSourceSize(&record, &sizes);
        sizes.baseLensWidth = width;
        sizes.baseLensHeight = height;
    }
    Size LensSize() const { return {record.engine.lensWidth, record.engine.lensHeight}; }
    Size Source() const { return {record.engine.sourceWidth, record.engine.sourceHeight}; }
};

TEST(ZoomIn, FromView128x64GivesSource116x58InSinglePrecision) {
    Lens lens(256, 128);
    ASSERT_EQ(Size(128, 64), lens.Source());
    EXPECT_EQ(1, StepZoomIn(&lens.record, &lens.sizes));
    EXPECT_EQ(0.89999998f, lens.sizes.zoomScale);
    EXPECT_EQ(Size(116, 58), lens.Source());
}

TEST(ZoomIn, StopsBeforeTheSourceWouldFallBelowTwoPixels) {
    Lens lens(256, 128);
    std::vector<Size> sources;
    while (StepZoomIn(&lens.record, &lens.sizes)) {
        sources.push_back(lens.Source());
        ASSERT_LT(sources.size(), 20u);
    }
    ASSERT_FALSE(sources.empty());
    EXPECT_GT(lens.sizes.zoomScale, 0.0f);
    EXPECT_GE(sources.back().second, 2u);
    EXPECT_EQ(sources.back(), lens.Source()) << "a refused step leaves the source as it was";
    const float last = lens.sizes.zoomScale;
    EXPECT_EQ(0, StepZoomIn(&lens.record, &lens.sizes));
    EXPECT_NEAR(last, lens.sizes.zoomScale, 1e-6);
}

TEST(ZoomIn, ARefusedStepOnATinyViewIsUndone) {
    Lens lens(256, 4, 2.0f); // view 128 x 2: any zoom-in would go below 2 pixels
    EXPECT_EQ(0, StepZoomIn(&lens.record, &lens.sizes));
    EXPECT_NEAR(1.0f, lens.sizes.zoomScale, 1e-6);
    EXPECT_EQ(Size(128, 2), lens.Source());
}

TEST(ZoomOut, NeverMakesTheSourceLargerThanTheLens) {
    Lens unmagnified(256, 128, 1.0f);
    EXPECT_EQ(0, StepZoomOut(&unmagnified.record, &unmagnified.sizes));
    EXPECT_EQ(Size(256, 128), unmagnified.Source());
    EXPECT_NEAR(1.0f, unmagnified.sizes.zoomScale, 1e-6);

    Lens lens(256, 128);
    Size previous = lens.Source();
    int steps = 0;
    while (StepZoomOut(&lens.record, &lens.sizes)) {
        ASSERT_GT(lens.Source().first, previous.first);
        ASSERT_LE(lens.Source().first, 256u);
        ASSERT_LE(lens.Source().second, 128u);
        previous = lens.Source();
        ASSERT_LT(++steps, 20);
    }
    EXPECT_EQ(10, steps);
    EXPECT_EQ(Size(256, 128), lens.Source()) << "zoom 2 undone down to magnification 1";
}

TEST(ZoomInAndOut, ReturnToTheStartingSource) {
    Lens lens(256, 128);
    for (int i = 0; i < 5; ++i) {
        StepZoomIn(&lens.record, &lens.sizes);
    }
    for (int i = 0; i < 5; ++i) {
        StepZoomOut(&lens.record, &lens.sizes);
    }
    EXPECT_EQ(Size(128, 64), lens.Source());
}

std::vector<Size> SizeUpWalk(Lens& lens, int presses, uint32_t screenWidth, uint32_t screenHeight) {
    std::vector<Size> walk;
    for (int i = 0; i < presses; ++i) {
        StepSizeUp(&lens.record, &lens.sizes, screenWidth, screenHeight);
        walk.push_back(lens.LensSize());
    }
    return walk;
}

TEST(SizeUp, WalksToFourTimesTheBaseAndStopsThere) {
    Lens lens(256, 128);
    const std::vector<Size> walk = SizeUpWalk(lens, 13, 1024, 768);
    EXPECT_EQ((std::vector<Size>{{332, 166},
                                 {410, 204},
                                 {486, 244},
                                 {564, 282},
                                 {640, 320},
                                 {716, 358},
                                 {794, 396},
                                 {870, 436},
                                 {948, 474},
                                 {1024, 512},
                                 {1024, 512},
                                 {1024, 512},
                                 {1024, 512}}),
              walk);
    EXPECT_EQ(Size(512, 256), lens.Source()) << "the source follows the lens at zoom 2";
    EXPECT_LT(lens.sizes.sizeScale, 4.0f);
}

TEST(SizeUp, WrapsToTheBaseWhenTheLensWouldLeaveTheScreen) {
    Lens lens(512, 256);
    const std::vector<Size> walk = SizeUpWalk(lens, 5, 1024, 768);
    EXPECT_EQ((std::vector<Size>{{666, 332}, {820, 410}, {972, 486}, {512, 256}, {666, 332}}),
              walk);
    Lens wrapped(512, 256);
    SizeUpWalk(wrapped, 4, 1024, 768);
    EXPECT_EQ(1.0f, wrapped.sizes.sizeScale);
    EXPECT_EQ(Size(256, 128), wrapped.Source());
}

TEST(SizeDown, ShrinksUntilASideWouldFallBelowFourPixels) {
    Lens lens(256, 128);
    StepSizeDown(&lens.record, &lens.sizes);
    EXPECT_EQ(Size(180, 90), lens.LensSize()) << "0.7 x 256 = 179.2, rounded up to even";
    EXPECT_EQ(Size(90, 46), lens.Source());
    StepSizeDown(&lens.record, &lens.sizes);
    EXPECT_EQ(Size(102, 52), lens.LensSize());
    StepSizeDown(&lens.record, &lens.sizes);
    EXPECT_EQ(Size(26, 12), lens.LensSize()) << "scale 0.1 still gives four pixels or more";
    StepSizeDown(&lens.record, &lens.sizes);
    EXPECT_EQ(Size(26, 12), lens.LensSize()) << "no step below a scale of 0.3";

    Lens narrow(8, 64); // 0.7 x 8 = 5.6 is allowed; 0.4 x 8 = 3.2 is refused
    StepSizeDown(&narrow.record, &narrow.sizes);
    EXPECT_EQ(Size(6, 44), narrow.LensSize());
    StepSizeDown(&narrow.record, &narrow.sizes);
    EXPECT_EQ(Size(6, 44), narrow.LensSize());
    EXPECT_NEAR(0.7f, narrow.sizes.sizeScale, 1e-6);
}

TEST(SizeUpAndDown, ReturnToTheBaseSize) {
    Lens lens(256, 128);
    SizeUpWalk(lens, 3, 1280, 1024);
    for (int i = 0; i < 3; ++i) {
        StepSizeDown(&lens.record, &lens.sizes);
    }
    EXPECT_EQ(Size(256, 128), lens.LensSize());
    EXPECT_EQ(Size(128, 64), lens.Source());
}

TEST(Transparency, StepsByOneWithin0To255) {
    Lens lens(256, 128);
    StepTransparency(&lens.record, -1);
    EXPECT_EQ(0u, lens.record.engine.transparency);
    StepTransparency(&lens.record, 1);
    StepTransparency(&lens.record, 1);
    EXPECT_EQ(2u, lens.record.engine.transparency);
    lens.record.engine.transparency = 255;
    StepTransparency(&lens.record, 1);
    EXPECT_EQ(255u, lens.record.engine.transparency);
    StepTransparency(&lens.record, -1);
    EXPECT_EQ(254u, lens.record.engine.transparency);
}

TEST(Lock, TogglesBetweenZeroAndOne) {
    Lens lens(256, 128);
    ToggleLock(&lens.record);
    EXPECT_EQ(1u, lens.record.engine.lockPosition);
    ToggleLock(&lens.record);
    EXPECT_EQ(0u, lens.record.engine.lockPosition);
    lens.record.engine.lockPosition = 7;
    ToggleLock(&lens.record);
    EXPECT_EQ(0u, lens.record.engine.lockPosition);
}

TEST(LensClamp, LowersAnOversizedLensForTheRunAndRestoresItAfter) {
    Lens lens(4000, 128);
    LensClamp clamp;
    ClampLensToScreen(&lens.record, &lens.sizes, &clamp, 1280, 1024);
    EXPECT_EQ(1u, clamp.lensClamped);
    EXPECT_EQ(Size(1280, 128), lens.LensSize());
    EXPECT_EQ(Size(640, 64), lens.Source());
    UndoLensClamp(&lens.record, &lens.sizes, clamp);
    EXPECT_EQ(Size(4000, 128), lens.LensSize());
    EXPECT_EQ(Size(2000, 64), lens.Source());
    EXPECT_EQ(1u, clamp.lensClamped) << "the state stays until the next start";

    Lens tall(256, 2000);
    ClampLensToScreen(&tall.record, &tall.sizes, &clamp, 1280, 1024);
    EXPECT_EQ(Size(256, 1024), tall.LensSize());
}

TEST(LensClamp, ALensThatFitsIsLeftAloneAndAnOldClampIsForgotten) {
    Lens lens(1280, 1024);
    LensClamp clamp;
    clamp.lensClamped = 1;
    clamp.savedLensWidth = 4000;
    clamp.savedLensHeight = 4000;
    ClampLensToScreen(&lens.record, &lens.sizes, &clamp, 1280, 1024);
    EXPECT_EQ(0u, clamp.lensClamped);
    UndoLensClamp(&lens.record, &lens.sizes, clamp);
    EXPECT_EQ(Size(1280, 1024), lens.LensSize());
}

// A clock that the engine answers at a given time (or never).
struct FakeEngineClock {
    uint32_t now = 0;
    uint32_t answerAt = 0; // 0 = never
    uint32_t* request = nullptr;
    int waits = 0;
    static void Wait(uint32_t milliseconds, void* context) {
        auto* self = static_cast<FakeEngineClock*>(context);
        self->now += milliseconds;
        ++self->waits;
        if (self->answerAt != 0 && self->now >= self->answerAt) {
            *self->request = 0;
        }
    }
};

TEST(CaptureWait, GivesUpAfter4905MillisecondsWithoutSoundAndLeavesTheRequest) {
    uint32_t request = 1;
    FakeEngineClock clock;
    clock.request = &request;
    const CaptureOutcome outcome = AwaitCaptureAnswer(request, 1, &FakeEngineClock::Wait, &clock);
    EXPECT_FALSE(outcome.answered);
    EXPECT_FALSE(outcome.playSound);
    EXPECT_EQ(4905u, clock.now);
    EXPECT_EQ(90, clock.waits);
    EXPECT_EQ(1u, request);
}

TEST(CaptureWait, StopsAtTheFirstLookAfterTheAnswerAndSoundsOnlyWhenSoundIsOn) {
    for (uint32_t sound : {0u, 1u}) {
        uint32_t request = 1;
        FakeEngineClock clock;
        clock.request = &request;
        clock.answerAt = 15;
        const CaptureOutcome outcome =
            AwaitCaptureAnswer(request, sound, &FakeEngineClock::Wait, &clock);
        EXPECT_TRUE(outcome.answered);
        EXPECT_EQ(sound != 0, outcome.playSound);
        EXPECT_EQ(2, clock.waits) << "10 ms, then 11 ms";
        EXPECT_EQ(21u, clock.now);
    }
}

} // namespace
