// Conversion of 32-bit RGB rows to packed 4:2:2 YUV (studio-range BT.601) for overlay surfaces
// that take YUY2 or UYVY. No Windows headers.
//
// Source: rows of 32-bit pixels, blue in bits 0-7, green 8-15, red 16-23; the alpha byte is
// ignored. Destination: one 4-byte group per pixel pair, Y0 U Y1 V (YUY2) or U Y0 V Y1 (UYVY);
// each pixel keeps its own Y, U and V come from the pair's mean colour. Row r starts at address
// + r x pitch on both sides (pitches may be negative); only width x 4 source bytes and width x 2
// destination bytes of a row are touched. The width is normally even; a last unpaired pixel is
// paired with itself and gets only its own half of a group. Rows 0 or a width of 0 or less
// convert nothing.
#pragma once

#include <cstddef>
#include <cstdint>

using PackedYuvConversion = void (*)(uint32_t rows, int32_t width, const void* source,
                                     void* destination, int32_t sourcePitch,
                                     int32_t destinationPitch);

// The conversions through the fastest routine this processor runs, chosen at the first call.
void RgbToYuy2(uint32_t rows, int32_t width, const void* source, void* destination,
               int32_t sourcePitch, int32_t destinationPitch);
void RgbToUyvy(uint32_t rows, int32_t width, const void* source, void* destination,
               int32_t sourcePitch, int32_t destinationPitch);

// One implementation of both conversions. All give identical bytes.
struct PackedYuvRoutine {
    const char* name;
    uint32_t needs; // ProcessorFeature bits the processor must have
    PackedYuvConversion yuy2;
    PackedYuvConversion uyvy;
};

// Every routine built in, slowest first: "scalar" (portable, runs anywhere), "mmx", "sse2",
// "avx2", "avx512". Tests and benchmarks call them directly to force one.
extern const PackedYuvRoutine kPackedYuvRoutines[];
extern const size_t kPackedYuvRoutineCount;

// Whether a processor with the given ProcessorFeature bits runs the routine.
bool RunsOn(const PackedYuvRoutine& routine, uint32_t features);

// The fastest routine a processor with these features runs (at worst the portable one).
const PackedYuvRoutine& ChoosePackedYuvRoutine(uint32_t features);
