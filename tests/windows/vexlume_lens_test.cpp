// The lens adjustment commands 9001 to 9010 through the running program, with the fake engine
// reporting each start and the live settings record read from the program's memory.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "test_support.h"
#include "vexlume_process.h"

namespace {

enum : unsigned {
    kToggle = 8002,
    kZoomIn = 9001,
    kZoomOut,
    kSizeUp,
    kSizeDown,
    kCapture,
    kBrightnessUp,
    kBrightnessDown,
    kTransparentUp,
    kTransparentDown,
    kLockToggle,
};

using Size = std::pair<uint32_t, uint32_t>;

// The program's pauses for a capture answer add up to 4.9 s.
constexpr double kCaptureGiveUpMs = 4600;

class LensAdjustments : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        program.reset(new VexlumeProcess(copy.Program()));
        ASSERT_NE(nullptr, program->WaitForMainWindow());
    }
    void Run(unsigned command) { ASSERT_TRUE(program->RunCommand(command)) << command; }
    SettingsRecord Record() {
        SettingsRecord record = {};
        EXPECT_TRUE(engine.ReadRecord(*program, &record));
        return record;
    }
    Size Source() {
        const SettingsRecord r = Record();
        return {r.engine.sourceWidth, r.engine.sourceHeight};
    }
    FakeEngine engine;
    ProgramCopy copy{EngineBeside::Fake};
    std::unique_ptr<VexlumeProcess> program;
};

TEST_F(LensAdjustments, DoNothingWhileTheLensIsOff) {
    for (unsigned command = kZoomIn; command <= kLockToggle; ++command) {
        Run(command);
    }
    EXPECT_EQ(0, engine->creates) << "Size+ and Size- do not even start the lens";
    EXPECT_EQ(0, engine->brightnessCalls);
    Run(kToggle);
    ASSERT_EQ(1, engine->creates);
    EXPECT_EQ(256u, engine->starts[0].lensWidth);
    EXPECT_EQ(128u, engine->starts[0].lensHeight);
    EXPECT_EQ(128u, engine->starts[0].sourceWidth);
    EXPECT_EQ(0u, Record().engine.transparency);
}

TEST_F(LensAdjustments, ZoomChangesTheSourceOfTheRunningLensWithoutARestart) {
    Run(kToggle);
    Run(kZoomIn);
    EXPECT_EQ(Size(116, 58), Source()) << "view 128 x 64 at zoomScale 0.9 in single precision";
    Run(kZoomOut);
    EXPECT_EQ(Size(128, 64), Source());
    Run(kZoomOut);
    Run(kZoomOut);
    EXPECT_EQ(Size(154, 76), Source());
    EXPECT_EQ(1, engine->creates);
}

TEST_F(LensAdjustments, SizeUpRestartsTheLensUpToFourTimesItsBaseAndStops) {
    Run(kToggle);
    for (int press = 0; press < 11; ++press) {
        Run(kSizeUp);
    }
    ASSERT_EQ(12, engine->creates);
    EXPECT_EQ(11, engine->closes);
    EXPECT_EQ(1, engine->open);
    std::vector<Size> lenses;
    for (int i = 1; i < 12; ++i) {
        lenses.push_back({engine->starts[i].lensWidth, engine->starts[i].lensHeight});
    }
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
                                 {1024, 512}}),
              lenses);
    EXPECT_EQ(512u, engine->starts[11].sourceWidth);
    Run(kSizeDown);
    EXPECT_EQ(948u, engine->starts[12].lensWidth);
}

TEST_F(LensAdjustments, TransparencyLockAndBrightnessStepTheRunningLens) {
    Run(kToggle);
    Run(kTransparentDown);
    EXPECT_EQ(0u, Record().engine.transparency);
    Run(kTransparentUp);
    Run(kTransparentUp);
    Run(kTransparentDown);
    EXPECT_EQ(1u, Record().engine.transparency);
    Run(kLockToggle);
    EXPECT_EQ(1u, Record().engine.lockPosition);
    Run(kLockToggle);
    EXPECT_EQ(0u, Record().engine.lockPosition);

    ASSERT_TRUE(engine.WaitFor([](const FakeEngineState& s) { return s.brightness == 1000; }));
    const LONG calls = engine->brightnessCalls;
    Run(kBrightnessUp);
    Run(kBrightnessDown);
    Run(kBrightnessDown);
    ASSERT_EQ(calls + 3, engine->brightnessCalls);
    EXPECT_EQ(1, engine->brightnessLog[calls][0]);
    EXPECT_EQ(50, engine->brightnessLog[calls][1]);
    EXPECT_EQ(-1, engine->brightnessLog[calls + 1][0]);
    EXPECT_EQ(50, engine->brightnessLog[calls + 1][1]);
    EXPECT_EQ(950, engine->brightness);
}

TEST_F(LensAdjustments, CaptureWaitsAboutFiveSecondsForAnEngineThatNeverAnswers) {
    Run(kToggle);
    const double start = NowMs();
    program->PostCommand(kCapture);
    EXPECT_TRUE(WaitUntil([&] { return Record().engine.captureRequest == 1; }))
        << "the request is raised";
    ASSERT_TRUE(program->Answers());
    const double blocked = NowMs() - start;
    EXPECT_GT(blocked, kCaptureGiveUpMs);
    EXPECT_LT(blocked, 8000.0) << "90 pauses of 10 to 99 ms, and no more";
    EXPECT_EQ(1u, Record().engine.captureRequest) << "an unanswered request is left as it is";
}

TEST_F(LensAdjustments, CaptureReturnsAsSoonAsTheEngineAnswers) {
    engine->answerCapture = 1;
    Run(kToggle);
    const double start = NowMs();
    Run(kCapture);
    EXPECT_LT(NowMs() - start, kCaptureGiveUpMs);
    EXPECT_EQ(0u, Record().engine.captureRequest);
}

// The clipboard's picture as another program sees it: its size, or 0 x 0.
Size ClipboardPictureSize() {
    Size size(0, 0);
    if (!OpenClipboard(nullptr)) {
        return size;
    }
    if (HANDLE dib = GetClipboardData(CF_DIB)) {
        if (const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib))) {
            size = {
                static_cast<uint32_t>(header->biWidth),
                static_cast<uint32_t>(header->biHeight < 0 ? -header->biHeight : header->biHeight)};
            GlobalUnlock(dib);
        }
    }
    CloseClipboard();
    return size;
}

TEST(LensCapture, TheRealEngineAnswersWithTheLensImageOnTheClipboard) {
    ResetProgramState();
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    ProgramCopy copy(EngineBeside::Real);
    VexlumeProcess program(copy.Program());
    ASSERT_NE(nullptr, program.WaitForMainWindow());
    ASSERT_TRUE(program.RunCommand(kToggle));
    ASSERT_TRUE(WaitUntil([&] { return LensWindowShown(program.Id()); }));
    const double start = NowMs();
    ASSERT_TRUE(program.RunCommand(kCapture));
    EXPECT_LT(NowMs() - start, kCaptureGiveUpMs) << "answered before the program gives up";
    EXPECT_EQ(Size(256, 128), ClipboardPictureSize());
    ASSERT_TRUE(program.RunCommand(kToggle));
}

} // namespace
