// What the processor (and the system, for the wide registers it must save) offers the pixel
// routines. No Windows headers.
#pragma once

#include <cstdint>

enum ProcessorFeature : uint32_t {
    kProcessorMmx = 1u << 0,
    kProcessorSse2 = 1u << 1,
    kProcessorAvx2 = 1u << 2,
    kProcessorAvx512 = 1u << 3, // the foundation and the byte and word instructions
};

// The features of the processor this runs on, as a set of ProcessorFeature bits. The query first
// checks that the processor has CPUID at all, and reads the system's register-state word only
// when the processor says the system enabled it, so it never faults; on a processor without the
// query the set is empty.
uint32_t QueryProcessorFeatures();
