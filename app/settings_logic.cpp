#include "settings_logic.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t kDefaultLensWidth = 256;
constexpr uint32_t kDefaultLensHeight = 128;
constexpr float kDefaultZoom = 2.0f;
constexpr uint32_t kDefaultFrameWait = 20;
constexpr uint32_t kLastInternalCursor = 5;

uint32_t MendLensSide(uint32_t side, uint32_t fallback) {
    if (side < kMinLensSide || side > kMaxLensSide) {
        return fallback;
    }
    return side + (side & 1);
}

// A stored file may hold anything; keep what the program can live with and replace only what
// would break it (a texture it cannot make, a zoom that is no number, a selection beyond a list).
void MendSettings(SettingsRecord* record) {
    EngineParameters& e = record->engine;
    e.lensWidth = MendLensSide(e.lensWidth, kDefaultLensWidth);
    e.lensHeight = MendLensSide(e.lensHeight, kDefaultLensHeight);
    if (!std::isfinite(e.zoom) || e.zoom < 1.0f || e.zoom > 10.0f) {
        e.zoom = kDefaultZoom;
    }
    if (e.displayMode > kDisplayModeOneWindow) {
        e.displayMode = kDisplayModeShowAll;
    }
    if (e.internalCursor > kLastInternalCursor) {
        e.internalCursor = 0;
    }
    for (uint32_t& slot : record->hotKeys) {
        if (slot & 0xFFFF0000u) {
            slot = 0;
        }
    }
}

} // namespace

void SetDefaultSettings(SettingsRecord* record) {
    std::memset(record, 0, sizeof(*record));
    std::memcpy(record->magic, kSettingsMagic, sizeof(record->magic));
    record->version = kSettingsVersion;
    record->engine.zoom = kDefaultZoom;
    record->sound = 1;
    record->engine.frameWait = kDefaultFrameWait;
    record->engine.displayMode = kDisplayModeShowAll;
    record->engine.lensWidth = kDefaultLensWidth;
    record->engine.lensHeight = kDefaultLensHeight;
}

int AcceptSettingsBytes(const void* bytes, size_t size, SettingsRecord* record) {
    if (bytes != nullptr && size == sizeof(SettingsRecord)) {
        SettingsRecord stored;
        std::memcpy(&stored, bytes, sizeof(stored));
        if (std::memcmp(stored.magic, kSettingsMagic, sizeof(stored.magic)) == 0 &&
            stored.version == kSettingsVersion) {
            MendSettings(&stored);
            *record = stored;
            return 1;
        }
    }
    SetDefaultSettings(record);
    return 0;
}

int EvenRound(int value) {
    if (value % 2 == 0) {
        return value;
    }
    if (value > 0) {
        return value == INT_MAX ? INT_MAX - 1 : value + 1;
    }
    return value - 1;
}

int TruncToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return INT_MAX;
    }
    if (value <= -2147483648.0) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

void DeriveSourceSize(SettingsRecord* record, LensSizes* sizes) {
    EngineParameters& e = record->engine;
    const double zoom = e.zoom;
    const double zoomScale = sizes->zoomScale;
    sizes->viewWidth = static_cast<uint32_t>(EvenRound(TruncToInt(e.lensWidth / zoom)));
    sizes->viewHeight = static_cast<uint32_t>(EvenRound(TruncToInt(e.lensHeight / zoom)));
    StoreShared(e.sourceWidth,
                static_cast<uint32_t>(EvenRound(TruncToInt(sizes->viewWidth * zoomScale))));
    StoreShared(e.sourceHeight,
                static_cast<uint32_t>(EvenRound(TruncToInt(sizes->viewHeight * zoomScale))));
}
