// Windows-free rules of the settings record: defaults, acceptance of a stored file, even rounding
// and the derivation of the source size from the lens size and the zoom.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings_record.h"

// The largest lens side: the largest texture the renderer creates.
constexpr uint32_t kMaxLensSide = 16384;
constexpr uint32_t kMinLensSide = 32;

// Sizes the main program keeps in memory only, next to the record.
struct LensSizes {
    float zoomScale = 1.0f; // < 1 magnifies more than the record's zoom
    float sizeScale = 1.0f; // multiplies the base lens size
    uint32_t baseLensWidth = 0;
    uint32_t baseLensHeight = 0;
    uint32_t viewWidth = 0; // source size at zoomScale 1.0
    uint32_t viewHeight = 0;
};

// Fills the record with the defaults of a first run.
void SetDefaultSettings(SettingsRecord* record);

// Takes the bytes of a settings file. Returns 1 when the file is accepted (exactly 124 bytes,
// signature "VXQX", version 0x400); values the program cannot live with are then replaced field
// by field and every other value is kept as stored. Returns 0 and sets the defaults otherwise.
int AcceptSettingsBytes(const void* bytes, size_t size, SettingsRecord* record);

// Rounds an odd value to the next even one away from zero; even values stay.
int EvenRound(int value);

// Converts toward zero, saturating at the ends of the int range (NaN gives 0).
int TruncToInt(double value);

// Recomputes viewWidth/viewHeight and the record's sourceWidth/sourceHeight from lensWidth,
// lensHeight, zoom and zoomScale.
void DeriveSourceSize(SettingsRecord* record, LensSizes* sizes);
