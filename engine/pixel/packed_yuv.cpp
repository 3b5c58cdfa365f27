#include "packed_yuv.h"

#include "packed_yuv_rows.h"
#include "processor_features.h"

const PackedYuvRoutine kPackedYuvRoutines[] = {
    {"scalar", 0, RgbToYuy2Scalar, RgbToUyvyScalar},
    {"mmx", kProcessorMmx, RgbToYuy2Mmx, RgbToUyvyMmx},
    {"sse2", kProcessorSse2, RgbToYuy2Sse2, RgbToUyvySse2},
    {"avx2", kProcessorAvx2, RgbToYuy2Avx2, RgbToUyvyAvx2},
    {"avx512", kProcessorAvx512, RgbToYuy2Avx512, RgbToUyvyAvx512},
};
const size_t kPackedYuvRoutineCount = sizeof kPackedYuvRoutines / sizeof kPackedYuvRoutines[0];

bool RunsOn(const PackedYuvRoutine& routine, uint32_t features) {
    return (routine.needs & features) == routine.needs;
}

const PackedYuvRoutine& ChoosePackedYuvRoutine(uint32_t features) {
    size_t chosen = 0;
    for (size_t i = 0; i < kPackedYuvRoutineCount; ++i) {
        if (RunsOn(kPackedYuvRoutines[i], features)) {
            chosen = i;
        }
    }
    return kPackedYuvRoutines[chosen];
}

namespace {

// Chosen once, when the library is loaded: a static inside a function would take the runtime's
// thread lock at its first use on the magnifier thread, and the engine is freed after every run.
const PackedYuvRoutine& kRoutineForThisProcessor = ChoosePackedYuvRoutine(QueryProcessorFeatures());

} // namespace

void RgbToYuy2(uint32_t rows, int32_t width, const void* source, void* destination,
               int32_t sourcePitch, int32_t destinationPitch) {
    kRoutineForThisProcessor.yuy2(rows, width, source, destination, sourcePitch, destinationPitch);
}

void RgbToUyvy(uint32_t rows, int32_t width, const void* source, void* destination,
               int32_t sourcePitch, int32_t destinationPitch) {
    kRoutineForThisProcessor.uyvy(rows, width, source, destination, sourcePitch, destinationPitch);
}
