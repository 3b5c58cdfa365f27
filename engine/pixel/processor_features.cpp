#include "processor_features.h"

#include <cpuid.h>

namespace {

constexpr unsigned kEdxMmx = 1u << 23;
constexpr unsigned kEdxSse2 = 1u << 26;
constexpr unsigned kEcxOsSavesState = 1u << 27;
constexpr unsigned kEcxAvx = 1u << 28;
constexpr unsigned kLeaf7EbxAvx2 = 1u << 5;
constexpr unsigned kLeaf7EbxAvx512Foundation = 1u << 16;
constexpr unsigned kLeaf7EbxAvx512ByteWord = 1u << 30;
// The register state the system saves on a thread switch: SSE and AVX halves, then also the
// AVX-512 mask registers and upper halves.
constexpr uint64_t kSavedAvx = 0x6;
constexpr uint64_t kSavedAvx512 = 0xE6;

uint64_t SavedRegisterState() {
    uint32_t low = 0;
    uint32_t high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<uint64_t>(high) << 32) | low;
}

// The register state the system saves, or 0 when the processor has no AVX or the system does not
// say what it saves.
uint64_t SavedAvxState(unsigned ecx) {
    if ((ecx & kEcxOsSavesState) == 0 || (ecx & kEcxAvx) == 0) {
        return 0;
    }
    return SavedRegisterState();
}

} // namespace

uint32_t QueryProcessorFeatures() {
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        return 0;
    }
    uint32_t features = 0;
    if (edx & kEdxMmx) {
        features |= kProcessorMmx;
    }
    if (edx & kEdxSse2) {
        features |= kProcessorSse2;
    }
    const uint64_t saved = SavedAvxState(ecx);
    if ((saved & kSavedAvx) != kSavedAvx || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
        return features;
    }
    if (ebx & kLeaf7EbxAvx2) {
        features |= kProcessorAvx2;
    }
    const unsigned avx512 = kLeaf7EbxAvx512Foundation | kLeaf7EbxAvx512ByteWord;
    if ((saved & kSavedAvx512) == kSavedAvx512 && (ebx & avx512) == avx512) {
        features |= kProcessorAvx512;
    }
    return features;
}
