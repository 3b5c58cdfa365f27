#include "lens_pixels.h"

#include "lens_pixels_rows.h"
#include "processor_features.h"

const LensPixelRoutine kLensPixelRoutines[] = {
    {"scalar", 0, GainRowScalar, OpaqueRowScalar, AcrossRowScalar, DownRowScalar},
    {"sse2", kProcessorSse2, GainRowSse2, OpaqueRowSse2, AcrossRowSse2, DownRowSse2},
};
const size_t kLensPixelRoutineCount = sizeof kLensPixelRoutines / sizeof kLensPixelRoutines[0];

const LensPixelRoutine& ChooseLensPixelRoutine(uint32_t features) {
    size_t chosen = 0;
    for (size_t i = 0; i < kLensPixelRoutineCount; ++i) {
        if ((kLensPixelRoutines[i].needs & features) == kLensPixelRoutines[i].needs) {
            chosen = i;
        }
    }
    return kLensPixelRoutines[chosen];
}

namespace {

// Chosen once, when the library is loaded (see packed_yuv.cpp for why not at the first call).
const LensPixelRoutine& kRoutineForThisProcessor = ChooseLensPixelRoutine(QueryProcessorFeatures());

template <class T> T* RowAt(void* image, int32_t pitch, uint32_t row) {
    return reinterpret_cast<T*>(static_cast<uint8_t*>(image) + static_cast<ptrdiff_t>(row) * pitch);
}
template <class T> const T* RowAt(const void* image, int32_t pitch, uint32_t row) {
    return reinterpret_cast<const T*>(static_cast<const uint8_t*>(image) +
                                      static_cast<ptrdiff_t>(row) * pitch);
}

// The slot of `scaler` that holds source row `row` scaled across, or -1.
int CachedRow(const SmoothScaler& scaler, int32_t row) {
    for (int slot = 0; slot < 2; ++slot) {
        if (scaler.acrossRow[slot] == row) {
            return slot;
        }
    }
    return -1;
}

void ScaleAcross(const LensPixelRoutine& routine, SmoothScaler* scaler, int slot,
                 const void* source, int32_t sourcePitch, int32_t row) {
    routine.acrossRow(RowAt<uint32_t>(source, sourcePitch, static_cast<uint32_t>(row)),
                      scaler->columns.data(), static_cast<int32_t>(scaler->targetWidth),
                      scaler->across[slot].data());
    scaler->acrossRow[slot] = row;
}

uint32_t BlendChannel(uint32_t sprite, uint32_t target, uint32_t alpha) {
    return (sprite * alpha + target * (255 - alpha) + 127) / 255;
}

} // namespace

void ApplyGainWith(const LensPixelRoutine& routine, uint32_t rows, int32_t width, void* pixels,
                   int32_t pitch, uint32_t gain) {
    if (width <= 0) {
        return;
    }
    const uint32_t bounded = gain < kGainMax ? gain : kGainMax;
    for (uint32_t row = 0; row < rows; ++row) {
        routine.gainRow(RowAt<uint32_t>(pixels, pitch, row), width, bounded);
    }
}

void ApplyGain(uint32_t rows, int32_t width, void* pixels, int32_t pitch, uint32_t gain) {
    ApplyGainWith(kRoutineForThisProcessor, rows, width, pixels, pitch, gain);
}

void CopyOpaque(const uint32_t* source, uint32_t* target, int32_t width) {
    kRoutineForThisProcessor.opaqueRow(source, target, width);
}

void MapAxis(uint32_t source, uint32_t target, AxisStep* steps) {
    // Positions in units of 1 / (2 x target) source pixels.
    const int64_t unit = 2 * static_cast<int64_t>(target);
    for (uint32_t t = 0; t < target; ++t) {
        const int64_t position = (2 * static_cast<int64_t>(t) + 1) * source - target;
        int64_t first = 0;
        int64_t weight = 0; // of first + 1
        if (position > 0) {
            first = position / unit;
            weight = (2 * (position % unit) * kWeightOne + unit) / (2 * unit);
        }
        if (weight == kWeightOne) {
            ++first;
            weight = 0;
        }
        if (first >= static_cast<int64_t>(source) - 1) {
            first = static_cast<int64_t>(source) - 2;
            weight = kWeightOne;
        }
        steps[t].first = static_cast<int32_t>(first);
        steps[t].weights[0] = static_cast<int16_t>(kWeightOne - weight);
        steps[t].weights[1] = static_cast<int16_t>(weight);
    }
}

bool PrepareSmoothScaler(SmoothScaler* scaler, uint32_t width, uint32_t height) {
    if (width == 0 || height == 0) {
        return false;
    }
    scaler->targetWidth = width;
    scaler->targetHeight = height;
    scaler->sourceWidth = 0;
    scaler->sourceHeight = 0;
    scaler->columns.resize(width);
    scaler->rows.resize(height);
    for (std::vector<int16_t>& row : scaler->across) {
        row.resize(static_cast<size_t>(width) * 4);
    }
    return true;
}

bool ScalesSmoothly(const SmoothScaler& scaler, uint32_t sourceWidth, uint32_t sourceHeight) {
    return sourceWidth >= 2 && sourceHeight >= 2 && sourceWidth <= scaler.targetWidth &&
           sourceHeight <= scaler.targetHeight;
}

void ScaleSmoothWith(const LensPixelRoutine& routine, SmoothScaler* scaler, const void* source,
                     int32_t sourcePitch, uint32_t sourceWidth, uint32_t sourceHeight, void* target,
                     int32_t targetPitch) {
    if (!ScalesSmoothly(*scaler, sourceWidth, sourceHeight)) {
        return;
    }
    if (sourceWidth != scaler->sourceWidth || sourceHeight != scaler->sourceHeight) {
        MapAxis(sourceWidth, scaler->targetWidth, scaler->columns.data());
        MapAxis(sourceHeight, scaler->targetHeight, scaler->rows.data());
        scaler->sourceWidth = sourceWidth;
        scaler->sourceHeight = sourceHeight;
    }
    // The source is new every frame: nothing scaled across before is kept.
    scaler->acrossRow[0] = -1;
    scaler->acrossRow[1] = -1;
    for (uint32_t y = 0; y < scaler->targetHeight; ++y) {
        const AxisStep& step = scaler->rows[y];
        int upper = CachedRow(*scaler, step.first);
        int lower = CachedRow(*scaler, step.first + 1);
        if (upper < 0) {
            upper = lower == 0 ? 1 : 0;
            ScaleAcross(routine, scaler, upper, source, sourcePitch, step.first);
        }
        if (lower < 0) {
            lower = 1 - upper;
            ScaleAcross(routine, scaler, lower, source, sourcePitch, step.first + 1);
        }
        routine.downRow(scaler->across[upper].data(), scaler->across[lower].data(), step.weights,
                        static_cast<int32_t>(scaler->targetWidth),
                        RowAt<uint32_t>(target, targetPitch, y));
    }
}

void ScaleSmooth(SmoothScaler* scaler, const void* source, int32_t sourcePitch,
                 uint32_t sourceWidth, uint32_t sourceHeight, void* target, int32_t targetPitch) {
    ScaleSmoothWith(kRoutineForThisProcessor, scaler, source, sourcePitch, sourceWidth,
                    sourceHeight, target, targetPitch);
}

void BlendSprite(const uint32_t* sprite, int32_t width, int32_t height, int32_t left, int32_t top,
                 void* target, int32_t targetWidth, int32_t targetHeight, int32_t targetPitch) {
    const int64_t firstRow = top < 0 ? -static_cast<int64_t>(top) : 0;
    const int64_t firstColumn = left < 0 ? -static_cast<int64_t>(left) : 0;
    for (int64_t y = firstRow; y < height && top + y < targetHeight; ++y) {
        uint32_t* row = RowAt<uint32_t>(target, targetPitch, static_cast<uint32_t>(top + y));
        for (int64_t x = firstColumn; x < width && left + x < targetWidth; ++x) {
            const uint32_t pixel = sprite[y * width + x];
            const uint32_t alpha = pixel >> 24;
            if (alpha == 0) {
                continue;
            }
            uint32_t& under = row[left + x];
            uint32_t blended = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                blended |= BlendChannel((pixel >> shift) & 0xFF, (under >> shift) & 0xFF, alpha)
                           << shift;
            }
            under = blended;
        }
    }
}
