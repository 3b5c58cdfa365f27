#include "lens_steps.h"

#include "engine_options.h"

namespace {

// The steps are single-precision constants, widened to double for each addition and stored back
// as single precision, so the scales walk exactly the same values every time.
constexpr float kZoomStep = 0.1f;
constexpr float kSizeStep = 0.3f;
constexpr double kSizeLimit = 4.0;
constexpr int kMinSourceSide = 2;
constexpr int kSmallestLensSide = 4;
constexpr uint32_t kMaxTransparency = 255;

float Stepped(float scale, float step) {
    return static_cast<float>(static_cast<double>(scale) + static_cast<double>(step));
}

// trunc(size × scale), with the exact product of the two.
int Scaled(uint32_t size, float scale) {
    return TruncToInt(static_cast<double>(size) * static_cast<double>(scale));
}

void StoreSource(SettingsRecord* record, int width, int height) {
    StoreShared(record->engine.sourceWidth, static_cast<uint32_t>(EvenRound(width)));
    StoreShared(record->engine.sourceHeight, static_cast<uint32_t>(EvenRound(height)));
}

// The next multiple of `step` above (direction > 0) or below `value`, within low..high.
uint32_t StepToMultiple(uint32_t value, uint32_t step, int direction, uint32_t low, uint32_t high) {
    const uint32_t below = value > 0 ? (value - 1) / step * step : 0;
    const uint32_t next = direction > 0 ? (value / step + 1) * step : below;
    if (next < low) {
        return low;
    }
    return next > high ? high : next;
}

} // namespace

int StepZoomIn(SettingsRecord* record, LensSizes* sizes) {
    if (!(static_cast<double>(sizes->zoomScale) > static_cast<double>(kZoomStep))) {
        return 0;
    }
    sizes->zoomScale = Stepped(sizes->zoomScale, -kZoomStep);
    const int width = Scaled(sizes->viewWidth, sizes->zoomScale);
    const int height = Scaled(sizes->viewHeight, sizes->zoomScale);
    if (height < kMinSourceSide || width < kMinSourceSide) {
        sizes->zoomScale = Stepped(sizes->zoomScale, kZoomStep);
        return 0;
    }
    StoreSource(record, width, height);
    return 1;
}

int StepZoomOut(SettingsRecord* record, LensSizes* sizes) {
    sizes->zoomScale = Stepped(sizes->zoomScale, kZoomStep);
    const int width = Scaled(sizes->viewWidth, sizes->zoomScale);
    const int height = Scaled(sizes->viewHeight, sizes->zoomScale);
    if (static_cast<uint32_t>(width) > record->engine.lensWidth ||
        static_cast<uint32_t>(height) > record->engine.lensHeight) {
        sizes->zoomScale = Stepped(sizes->zoomScale, -kZoomStep);
        return 0;
    }
    StoreSource(record, width, height);
    return 1;
}

void StepSizeUp(SettingsRecord* record, LensSizes* sizes, uint32_t screenWidth,
                uint32_t screenHeight) {
    if (!(static_cast<double>(sizes->sizeScale) < kSizeLimit)) {
        return;
    }
    sizes->sizeScale = Stepped(sizes->sizeScale, kSizeStep);
    const int width = Scaled(sizes->baseLensWidth, sizes->sizeScale);
    const int height = Scaled(sizes->baseLensHeight, sizes->sizeScale);
    if (static_cast<uint64_t>(static_cast<uint32_t>(width)) > 4ull * sizes->baseLensWidth ||
        static_cast<uint64_t>(static_cast<uint32_t>(height)) > 4ull * sizes->baseLensHeight) {
        sizes->sizeScale = Stepped(sizes->sizeScale, -kSizeStep);
        return;
    }
    EngineParameters& e = record->engine;
    e.lensWidth = static_cast<uint32_t>(EvenRound(width));
    e.lensHeight = static_cast<uint32_t>(EvenRound(height));
    if (e.lensWidth > screenWidth || e.lensHeight > screenHeight) {
        e.lensWidth = sizes->baseLensWidth;
        e.lensHeight = sizes->baseLensHeight;
        sizes->sizeScale = 1.0f;
    }
    DeriveSourceSize(record, sizes);
}

void StepSizeDown(SettingsRecord* record, LensSizes* sizes) {
    if (!(sizes->sizeScale > kSizeStep)) {
        return;
    }
    sizes->sizeScale = Stepped(sizes->sizeScale, -kSizeStep);
    const int height = Scaled(sizes->baseLensHeight, sizes->sizeScale);
    const int width = Scaled(sizes->baseLensWidth, sizes->sizeScale);
    if (height < kSmallestLensSide || width < kSmallestLensSide) {
        sizes->sizeScale = Stepped(sizes->sizeScale, kSizeStep);
    } else {
        record->engine.lensWidth = static_cast<uint32_t>(EvenRound(width));
        record->engine.lensHeight = static_cast<uint32_t>(EvenRound(height));
    }
    DeriveSourceSize(record, sizes);
}

void StepTransparency(SettingsRecord* record, int direction) {
    const uint32_t current = LoadShared(record->engine.transparency);
    if (direction > 0 && current < kMaxTransparency) {
        StoreShared(record->engine.transparency, current + 1);
    } else if (direction < 0 && current > 0) {
        StoreShared(record->engine.transparency, current - 1);
    }
}

void ToggleLock(SettingsRecord* record) {
    StoreShared(record->engine.lockPosition, LoadShared(record->engine.lockPosition) == 0 ? 1 : 0);
}

uint32_t StepViewZoom(uint32_t zoom, int direction) {
    return StepToMultiple(zoom, 50, direction, kMinViewZoom, kMaxViewZoom);
}

uint32_t StepDockPercent(uint32_t percent, int direction) {
    return StepToMultiple(percent, 5, direction, kMinDockPercent, kMaxDockPercent);
}
