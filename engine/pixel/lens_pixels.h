// The lens image's pixel work on the processor: the brightness gain, bilinear (smooth) scaling of
// the source to the lens size, and the internal cursor's sprite blended on top. No Windows
// headers.
//
// Pixels are 32-bit, blue in bits 0-7, green 8-15, red 16-23, alpha 24-31. Row r of an image
// starts at its address + r x pitch (bytes). Every routine comes in a portable form and an SSE2
// form that give identical bytes; the fastest one the processor runs is chosen when the library
// is loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Gains are in 1/2048: 2048 leaves a channel unchanged.
constexpr uint32_t kGainOne = 2048;
// The largest gain the routines take; larger ones count as this.
constexpr uint32_t kGainMax = 0xFFFF;

// Multiplies blue, green and red of every pixel by gain / 2048, rounded half up and saturated at
// 255; alpha is kept. Rows or a width of 0 or less change nothing.
void ApplyGain(uint32_t rows, int32_t width, void* pixels, int32_t pitch, uint32_t gain);

// Copies `width` pixels from `source` to `target` (which may be the same row) with alpha made 255,
// as a screen copy becomes the lens's opaque frame.
void CopyOpaque(const uint32_t* source, uint32_t* target, int32_t width);

// One step along an axis of the smooth scaling: the target pixel's centre falls between source
// pixels `first` and `first` + 1, which it takes with `weights` (sum 16384). Both indices always
// lie inside the source, which is therefore at least two pixels long.
struct AxisStep {
    int32_t first;
    int16_t weights[2];
};
constexpr int32_t kWeightOne = 16384;

// The steps of a target of `target` pixels over a source of `source` (2 or more) pixels: target
// pixel t samples the source at (t + 1/2) x source / target - 1/2, clamped to the source's first
// and last pixel, as a texture stretched over the target with clamped addressing is sampled.
void MapAxis(uint32_t source, uint32_t target, AxisStep* steps);

// What the smooth scaling of one lens keeps from frame to frame: the steps of both axes, and two
// source rows already scaled across (four 16-bit values a pixel, 128 x the channel). Made for one
// target size; the steps are worked out again only when the source size changes, so a frame
// allocates nothing.
struct SmoothScaler {
    uint32_t targetWidth = 0;
    uint32_t targetHeight = 0;
    uint32_t sourceWidth = 0; // what the steps are for; 0 before the first scaling
    uint32_t sourceHeight = 0;
    std::vector<AxisStep> columns;
    std::vector<AxisStep> rows;
    std::vector<int16_t> across[2];
    int32_t acrossRow[2] = {-1, -1}; // the source row each holds, -1 for none
};

// Makes `scaler` for targets of width x height; false when either is 0.
bool PrepareSmoothScaler(SmoothScaler* scaler, uint32_t width, uint32_t height);

// True when the scaler takes a source of this size: at least 2 x 2 pixels and not larger than its
// target (a zoom of at least 1). A source one pixel wide or high looks the same bilinear or not.
bool ScalesSmoothly(const SmoothScaler& scaler, uint32_t sourceWidth, uint32_t sourceHeight);

// Scales the source (sourceWidth x sourceHeight, which ScalesSmoothly must take) bilinearly onto
// the target of the scaler's size, every channel alike. Each result lies within one step of the
// exact bilinear value.
void ScaleSmooth(SmoothScaler* scaler, const void* source, int32_t sourcePitch,
                 uint32_t sourceWidth, uint32_t sourceHeight, void* target, int32_t targetPitch);

// Blends `sprite` (width x height pixels, rows packed) over the target (targetWidth x
// targetHeight) with its top-left pixel at (left, top), by the sprite's alpha: each channel,
// alpha included, becomes (s x a + d x (255 - a)) / 255 rounded, so a pixel of alpha 255 replaces
// the target's and one of alpha 0 leaves it. The part outside the target is left out.
void BlendSprite(const uint32_t* sprite, int32_t width, int32_t height, int32_t left, int32_t top,
                 void* target, int32_t targetWidth, int32_t targetHeight, int32_t targetPitch);

// The row routines of one instruction set.
struct LensPixelRoutine {
    const char* name;
    uint32_t needs; // ProcessorFeature bits the processor must have
    // ApplyGain on one row.
    void (*gainRow)(uint32_t* pixels, int32_t width, uint32_t gain);
    // CopyOpaque.
    void (*opaqueRow)(const uint32_t* source, uint32_t* target, int32_t width);
    // A source row scaled across: for every step, 4 values (blue, green, red, alpha) of
    // (p[first] w0 + p[first + 1] w1 + 64) >> 7.
    void (*acrossRow)(const uint32_t* source, const AxisStep* steps, int32_t width, int16_t* out);
    // Two rows scaled across, blended down: (upper v0 + lower v1 + 2^20) >> 21 for each value.
    void (*downRow)(const int16_t* upper, const int16_t* lower, const int16_t* weights,
                    int32_t width, uint32_t* out);
};

// Every routine set built in, slowest first: "scalar" (portable), "sse2". Tests call them
// directly to compare.
extern const LensPixelRoutine kLensPixelRoutines[];
extern const size_t kLensPixelRoutineCount;

// The fastest set a processor with these ProcessorFeature bits runs.
const LensPixelRoutine& ChooseLensPixelRoutine(uint32_t features);

// ApplyGain and ScaleSmooth through a given routine set.
void ApplyGainWith(const LensPixelRoutine& routine, uint32_t rows, int32_t width, void* pixels,
                   int32_t pitch, uint32_t gain);
void ScaleSmoothWith(const LensPixelRoutine& routine, SmoothScaler* scaler, const void* source,
                     int32_t sourcePitch, uint32_t sourceWidth, uint32_t sourceHeight, void* target,
                     int32_t targetPitch);
