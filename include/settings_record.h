// The settings record: 124 bytes, the whole content of settings.dat, and from byte 8 on the
// start parameters the engine reads live while the lens runs.
//
// Every field is a naturally aligned 32-bit little-endian word, so each side reads and writes it
// whole without a lock. This header needs no Windows headers: the Windows-free logic of both
// binaries and the native tests include it.
#pragma once

#include <cstddef>
#include <cstdint>

// The engine's view of the record: settings offset = engine offset + 8.
struct EngineParameters {
    uint32_t reserved1;      // not used by the engine
    uint32_t reserved2;      // not used by the engine
    uint32_t captureRequest; // 1 = copy the lens image to the clipboard; the engine clears it
    uint32_t reserved3;      // not used by the engine
    uint32_t internalCursor; // 0 = system pointer; 1..4 = drawn cursor image; other = hidden
    uint32_t followFocus;    // nonzero = also follow the text caret
    uint32_t displayMode;    // 1 = "Show all", 2 or more = "Show one window"
    uint32_t frameWait;      // milliseconds from one frame start to the next, at least a refresh
    uint32_t sourceWidth;    // screen pixels magnified (derived from lens size and zoom)
    uint32_t sourceHeight;
    uint32_t lensWidth; // pixels of the lens on the screen
    uint32_t lensHeight;
    uint32_t transparency; // 0..255, kept by the main program only
    uint32_t lockPosition; // nonzero = the lens stays where it is
    float zoom;            // the main program's magnification; the engine derives its own
};

struct SettingsRecord {
    char magic[4];    // "VXQX", no terminator
    uint32_t version; // 0x400
    EngineParameters engine;
    uint32_t showOnStart;
    uint32_t sound;
    uint32_t startWithWindows;
    uint32_t hotKeys[11]; // low 16 bits: hot-key control value (key, modifier flags)
};

// The values of displayMode. The engine takes any value from kDisplayModeOneWindow on as that
// mode; the main program keeps to these two.
constexpr uint32_t kDisplayModeShowAll = 1; // "Show all": the overlay where the display has one
constexpr uint32_t kDisplayModeOneWindow =
    2; // "Show one window": the lens window, one window in it

constexpr size_t kSettingsRecordSize = 124;
constexpr size_t kEngineParametersOffset = 8;
constexpr uint32_t kSettingsVersion = 0x400;
constexpr char kSettingsMagic[4] = {'V', 'X', 'Q', 'X'};
constexpr int kHotKeySlotCount = 11;

static_assert(sizeof(float) == 4, "zoom is an IEEE single");
static_assert(sizeof(EngineParameters) == 60, "engine parameters are 60 bytes");
static_assert(sizeof(SettingsRecord) == kSettingsRecordSize, "settings record is 124 bytes");

static_assert(offsetof(SettingsRecord, magic) == 0, "layout");
static_assert(offsetof(SettingsRecord, version) == 4, "layout");
static_assert(offsetof(SettingsRecord, engine) == kEngineParametersOffset, "layout");
static_assert(offsetof(SettingsRecord, engine.reserved1) == 8, "layout");
static_assert(offsetof(SettingsRecord, engine.reserved2) == 12, "layout");
static_assert(offsetof(SettingsRecord, engine.captureRequest) == 16, "layout");
static_assert(offsetof(SettingsRecord, engine.reserved3) == 20, "layout");
static_assert(offsetof(SettingsRecord, engine.internalCursor) == 24, "layout");
static_assert(offsetof(SettingsRecord, engine.followFocus) == 28, "layout");
static_assert(offsetof(SettingsRecord, engine.displayMode) == 32, "layout");
static_assert(offsetof(SettingsRecord, engine.frameWait) == 36, "layout");
static_assert(offsetof(SettingsRecord, engine.sourceWidth) == 40, "layout");
static_assert(offsetof(SettingsRecord, engine.sourceHeight) == 44, "layout");
static_assert(offsetof(SettingsRecord, engine.lensWidth) == 48, "layout");
static_assert(offsetof(SettingsRecord, engine.lensHeight) == 52, "layout");
static_assert(offsetof(SettingsRecord, engine.transparency) == 56, "layout");
static_assert(offsetof(SettingsRecord, engine.lockPosition) == 60, "layout");
static_assert(offsetof(SettingsRecord, engine.zoom) == 64, "layout");
static_assert(offsetof(SettingsRecord, showOnStart) == 68, "layout");
static_assert(offsetof(SettingsRecord, sound) == 72, "layout");
static_assert(offsetof(SettingsRecord, startWithWindows) == 76, "layout");
static_assert(offsetof(SettingsRecord, hotKeys) == 80, "layout");
static_assert(offsetof(SettingsRecord, hotKeys[10]) == 120, "layout");

// Fields shared between threads without a lock are read and written whole through these, so the
// compiler neither caches nor splits them.
inline uint32_t LoadShared(const uint32_t& field) {
    return *static_cast<const volatile uint32_t*>(&field);
}
inline void StoreShared(uint32_t& field, uint32_t value) {
    *static_cast<volatile uint32_t*>(&field) = value;
}
