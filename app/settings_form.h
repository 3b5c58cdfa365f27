// The settings dialog's rules that need no window: the size presets and how the list follows the
// typed size, the typed numbers and the lens size taken from them, and the slider labels.
// No Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

struct ScreenSize {
    uint32_t width;
    uint32_t height;
};

// The entries of the size list, in list order. Index 0 is "Custom"; 1 to 6 each stand for a size.
constexpr int kPresetCustom = 0;
constexpr int kPresetCount = 7;

// The list text of preset `index`; the last three name the screen size. Returns 1, or 0 with
// `out` empty for an index beyond the list or a text that does not fit.
int PresetText(int index, ScreenSize screen, char* out, size_t capacity);

// The width and height preset `index` (1 to 6) fills in. 0 for "Custom" or an index beyond.
int PresetSize(int index, ScreenSize screen, uint32_t* width, uint32_t* height);

// The first preset whose size is `width` x `height`, or kPresetCustom when none is.
int MatchPreset(uint32_t width, uint32_t height, ScreenSize screen);

// Which size the user just changed.
enum class SizeField { Width, Height };

// The list entry after one of the size boxes changed while `shown` was selected: from "Custom"
// the entry that matches the whole size (or "Custom" still); from a preset, "Custom" as soon as
// the changed side differs from the preset's, else the preset again.
int PresetAfterEdit(int shown, SizeField changed, uint32_t width, uint32_t height,
                    ScreenSize screen);

// The number in a box of digits: leading blanks skipped, the digits read up to the first other
// character, a value beyond 32 bits held at 4294967295. No digits give 0.
uint32_t TypedNumber(const char* text);

// A typed lens side brought into 32 .. the screen's side and made even: an odd value is rounded
// up, or down where up would leave the screen.
uint32_t LensSideFromTyped(uint32_t typed, uint32_t screenSide);

// The zoom slider runs from 2 to 20 in halves of the zoom (1.0 to 10.0).
constexpr int kZoomSliderMin = 2;
constexpr int kZoomSliderMax = 20;
int ZoomSliderPosition(float zoom);
// The zoom of a slider position; a position outside the slider's range is taken at its end.
float ZoomAtSliderPosition(int position);
// The zoom label: "%d.0" for a whole zoom, "%d.5" otherwise, %d the zoom's whole part.
void ZoomLabel(float zoom, char* out, size_t capacity);

// The transparency slider's range, and its value for a position outside it.
constexpr int kTransparencyMax = 255;
uint32_t TransparencyAtSliderPosition(int position);
// The transparency label: the level as a whole percentage of 255, at least 1 for any level
// above 0, at most 100.
void TransparencyLabel(uint32_t transparency, char* out, size_t capacity);
