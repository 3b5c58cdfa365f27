// The packed-YUV routines: known values, the BT.601 meaning of the arithmetic, and every routine
// this processor runs giving the portable routine's bytes over odd sizes and pitches. Built
// natively and for 32-bit Windows, so both builds of the routines are checked.
#include "packed_yuv.h"
#include "processor_features.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

// Routines appear in failure messages by name.
void PrintTo(const PackedYuvRoutine& routine, std::ostream* out) {
    *out << routine.name;
}

namespace {

using Group = std::array<uint8_t, 4>;

constexpr uint8_t kUntouched = 0xA5;

// The reference for every other routine.
const PackedYuvRoutine& Portable() {
    return *std::find_if(kPackedYuvRoutines, kPackedYuvRoutines + kPackedYuvRoutineCount,
                         [](const auto& r) { return std::string(r.name) == "scalar"; });
}

// Every routine in the table, and the entry points that choose one for this processor.
std::vector<PackedYuvRoutine> RoutinesUnderTest() {
    std::vector<PackedYuvRoutine> routines(kPackedYuvRoutines,
                                           kPackedYuvRoutines + kPackedYuvRoutineCount);
    routines.push_back({"chosen", 0, RgbToYuy2, RgbToUyvy});
    return routines;
}

uint32_t Pixel(int red, int green, int blue, int alpha = 0xFF) {
    return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(red) << 16 |
           static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

class PackedYuvRoutineTest : public ::testing::TestWithParam<PackedYuvRoutine> {
protected:
    void SetUp() override {
        if (!RunsOn(GetParam(), QueryProcessorFeatures())) {
            GTEST_SKIP() << "this processor does not run " << GetParam().name;
        }
    }
};

// --- One pixel pair, repeated over a row long enough for every routine's widest step plus a
// remainder, gives the same group everywhere in both byte orders, whatever the alpha bytes.

struct PairCase {
    const char* what;
    uint32_t first;
    uint32_t second;
    Group yuy2;
};

const PairCase kPairCases[] = {
    {"black", Pixel(0, 0, 0), Pixel(0, 0, 0), {16, 128, 16, 128}},
    {"white", Pixel(255, 255, 255), Pixel(255, 255, 255), {235, 128, 235, 128}},
    {"grey", Pixel(128, 128, 128), Pixel(128, 128, 128), {126, 128, 126, 128}},
    {"red", Pixel(255, 0, 0), Pixel(255, 0, 0), {81, 91, 81, 240}},
    {"green", Pixel(0, 255, 0), Pixel(0, 255, 0), {145, 54, 145, 34}},
    {"blue", Pixel(0, 0, 255), Pixel(0, 0, 255), {41, 240, 41, 110}},
    {"black then white", Pixel(0, 0, 0), Pixel(255, 255, 255), {16, 128, 235, 128}},
    {"white then black", Pixel(255, 255, 255), Pixel(0, 0, 0), {235, 128, 16, 128}},
    // Each keeps its own Y; U and V of the mean colour (127.5, 0, 127.5).
    {"red then blue", Pixel(255, 0, 0), Pixel(0, 0, 255), {81, 165, 41, 175}},
};

void ExpectPairEverywhere(const PackedYuvRoutine& routine, const PairCase& pair, int alpha) {
    constexpr int32_t kWidth = 2 * 16 + 2;
    std::vector<uint32_t> row(kWidth);
    for (int32_t x = 0; x < kWidth; x += 2) {
        row[x] = (pair.first & 0xFFFFFF) | static_cast<uint32_t>(alpha) << 24;
        row[x + 1] = (pair.second & 0xFFFFFF) | static_cast<uint32_t>(255 - alpha) << 24;
    }
    const Group uyvy = {pair.yuy2[1], pair.yuy2[0], pair.yuy2[3], pair.yuy2[2]};
    std::vector<uint8_t> out(2 * kWidth);
    for (const auto& [name, convert, expected] : {std::make_tuple("YUY2", routine.yuy2, pair.yuy2),
                                                  std::make_tuple("UYVY", routine.uyvy, uyvy)}) {
        convert(1, kWidth, row.data(), out.data(), 4 * kWidth, 2 * kWidth);
        for (int32_t k = 0; k < kWidth / 2; ++k) {
            const Group group = {out[4 * k], out[4 * k + 1], out[4 * k + 2], out[4 * k + 3]};
            EXPECT_EQ(expected, group)
                << pair.what << ", " << name << ", alpha " << alpha << ", group " << k;
        }
    }
}

TEST_P(PackedYuvRoutineTest, KnownPairsGiveTheirGroupsInBothOrdersWhateverTheAlpha) {
    for (const PairCase& pair : kPairCases) {
        for (int alpha : {0x00, 0x5A, 0xFF}) {
            ExpectPairEverywhere(GetParam(), pair, alpha);
        }
    }
}

// --- Images of many shapes: the same bytes as the portable routine, and nothing written
// outside width x 2 bytes of each row.

struct ShapeCase {
    const char* what;
    uint32_t rows;
    int32_t width;
    int32_t sourceSlack; // bytes beyond width x 4 in each source row
    int32_t destinationSlack;
    bool bottomUp; // negative pitches, the first row last in memory
};

const ShapeCase kShapeCases[] = {
    {"no rows", 0, 34, 0, 0, false},
    {"one pair", 3, 2, 0, 0, false},
    {"three pairs, wide pitches", 5, 6, 12, 6, false},
    {"seventeen pairs, bottom-up", 4, 34, 4, 2, true},
    {"a wide lens, wide pitches", 3, 1918, 64, 36, false},
    {"a full-HD row", 2, 1920, 0, 0, false},
    {"one pixel", 2, 1, 0, 0, false},
    {"odd width, wide pitches", 3, 7, 4, 2, false},
    {"odd width past a wide step", 2, 35, 0, 6, true},
    {"width zero", 2, 0, 8, 8, false},
    {"negative width", 2, -4, 8, 8, false},
};

// Rows of `rowBytes` and `slack` bytes; bottom-up images start at their last row in memory.
struct Image {
    Image(uint32_t rows, int32_t rowBytes, int32_t slack, bool bottomUp)
        : bytes(std::max<size_t>(1, rows * size_t(rowBytes + slack))),
          pitch(bottomUp ? -(rowBytes + slack) : rowBytes + slack),
          firstRow(bottomUp && rows > 0 ? (rows - 1) * size_t(rowBytes + slack) : 0) {}
    uint8_t* Origin() { return bytes.data() + firstRow; }
    const uint8_t* Origin() const { return bytes.data() + firstRow; }

    std::vector<uint8_t> bytes;
    int32_t pitch;
    size_t firstRow;
};

Image RandomSource(const ShapeCase& shape, std::mt19937& random) {
    Image source(shape.rows, 4 * std::max(shape.width, 0), shape.sourceSlack, shape.bottomUp);
    for (uint8_t& byte : source.bytes) {
        byte = static_cast<uint8_t>(random());
    }
    return source;
}

Image Convert(PackedYuvConversion convert, const ShapeCase& shape, const Image& source) {
    Image destination(shape.rows, 2 * std::max(shape.width, 0), shape.destinationSlack,
                      shape.bottomUp);
    std::fill(destination.bytes.begin(), destination.bytes.end(), kUntouched);
    convert(shape.rows, shape.width, source.Origin(), destination.Origin(), source.pitch,
            destination.pitch);
    return destination;
}

void ExpectOnlyRowsWritten(const ShapeCase& shape, const Image& destination, const char* order) {
    const size_t rowBytes = 2 * size_t(std::max(shape.width, 0));
    const size_t pitch = size_t(std::abs(destination.pitch));
    for (size_t i = 0; i < destination.bytes.size(); ++i) {
        if (i % pitch >= rowBytes || i / pitch >= shape.rows) {
            ASSERT_EQ(kUntouched, destination.bytes[i])
                << shape.what << ", " << order << ": byte " << i << " outside the rows";
        }
    }
}

TEST_P(PackedYuvRoutineTest, GivesThePortableBytesAndWritesOnlyTheRows) {
    std::mt19937 random(1918);
    for (const ShapeCase& shape : kShapeCases) {
        const Image source = RandomSource(shape, random);
        for (const auto& [order, convert, portable] :
             {std::make_tuple("YUY2", GetParam().yuy2, Portable().yuy2),
              std::make_tuple("UYVY", GetParam().uyvy, Portable().uyvy)}) {
            const Image expected = Convert(portable, shape, source);
            const Image actual = Convert(convert, shape, source);
            EXPECT_EQ(expected.bytes, actual.bytes) << shape.what << ", " << order;
            ExpectOnlyRowsWritten(shape, actual, order);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Routines, PackedYuvRoutineTest, ::testing::ValuesIn(RoutinesUnderTest()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The portable arithmetic is studio-range BT.601 of each pixel's luma and the pair's mean
// chroma, off by less than one step from the exact values on any pair.

TEST(PackedYuvArithmetic, StaysWithinOneOfStudioRangeBt601) {
    std::mt19937 random(601);
    auto channel = [&random] {
        const uint32_t pick = random() % 4;
        return pick == 0 ? 0 : pick == 1 ? 255 : static_cast<int>(random() % 256);
    };
    for (int i = 0; i < 20000; ++i) {
        const int r0 = channel(), g0 = channel(), b0 = channel();
        const int r1 = channel(), g1 = channel(), b1 = channel();
        const uint32_t pair[2] = {Pixel(r0, g0, b0), Pixel(r1, g1, b1)};
        uint8_t out[4];
        Portable().yuy2(1, 2, pair, out, 8, 4);

        auto luma = [](int r, int g, int b) {
            return 16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255;
        };
        const double r = (r0 + r1) / 2.0, g = (g0 + g1) / 2.0, b = (b0 + b1) / 2.0;
        const double u = 128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255;
        const double v = 128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255;
        const std::string colours = "(" + std::to_string(r0) + "," + std::to_string(g0) + "," +
                                    std::to_string(b0) + ") (" + std::to_string(r1) + "," +
                                    std::to_string(g1) + "," + std::to_string(b1) + ")";
        ASSERT_LT(std::abs(out[0] - luma(r0, g0, b0)), 1.0) << "Y0 of " << colours;
        ASSERT_LT(std::abs(out[2] - luma(r1, g1, b1)), 1.0) << "Y1 of " << colours;
        ASSERT_LT(std::abs(out[1] - u), 1.0) << "U of " << colours;
        ASSERT_LT(std::abs(out[3] - v), 1.0) << "V of " << colours;
    }
}

// --- The choice: the last routine of the table the processor runs, never one it does not.

TEST(PackedYuvChoice, TakesTheFastestRoutineTheFeaturesAllow) {
    const uint32_t all = kProcessorMmx | kProcessorSse2 | kProcessorAvx2 | kProcessorAvx512;
    for (uint32_t features = 0; features <= all; ++features) {
        const PackedYuvRoutine& chosen = ChoosePackedYuvRoutine(features);
        EXPECT_TRUE(RunsOn(chosen, features)) << chosen.name << " for features " << features;
        const auto later = std::find_if(&chosen + 1, kPackedYuvRoutines + kPackedYuvRoutineCount,
                                        [&](const auto& r) { return RunsOn(r, features); });
        EXPECT_EQ(kPackedYuvRoutines + kPackedYuvRoutineCount, later)
            << chosen.name << " chosen over " << later->name << " for features " << features;
    }
}

TEST(ProcessorFeatures, AgreeWithTheCompilersOwnQuery) {
    const uint32_t features = QueryProcessorFeatures();
    __builtin_cpu_init();
    EXPECT_EQ(__builtin_cpu_supports("mmx") != 0, (features & kProcessorMmx) != 0);
    EXPECT_EQ(__builtin_cpu_supports("sse2") != 0, (features & kProcessorSse2) != 0);
    EXPECT_EQ(__builtin_cpu_supports("avx2") != 0, (features & kProcessorAvx2) != 0);
    EXPECT_EQ(__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"),
              (features & kProcessorAvx512) != 0);
}

} // namespace
