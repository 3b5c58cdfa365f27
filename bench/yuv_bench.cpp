// The packed-YUV routines at a small and a full-HD lens, next to a plain memory copy of the same
// source bytes and libyuv's conversions (whose coefficients differ slightly: a speed reference
// only), all in one run. After the table, one summary line per size:
//   yuv WxH: fastest=NAME fastest_vs_memcpy=R mmx_vs_memcpy=M fastest_vs_libyuv=L
// Each figure is the median processor time of five repetitions (on a busy machine the processor
// time is steadier than the wall time); a routine's time is the mean of its two byte orders, and
// a ratio is 0 when a routine it needs did not run.
#include "packed_yuv.h"
#include "processor_features.h"

#include <benchmark/benchmark.h>
#include <libyuv/convert_from_argb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct FrameSize {
    int width;
    int height;
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
};

const FrameSize kSizes[] = {{256, 128}, {1920, 1080}};
constexpr size_t kAlignment = 64;

// Cache-line aligned bytes, as a locked surface would be.
struct Buffer {
    explicit Buffer(size_t size)
        : bytes(static_cast<uint8_t*>(
              std::aligned_alloc(kAlignment, (size + kAlignment - 1) / kAlignment * kAlignment))) {}
    ~Buffer() { std::free(bytes); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    uint8_t* bytes;
};

struct Frame {
    explicit Frame(FrameSize size)
        : size(size), source(SourceBytes()), copy(SourceBytes()), packed(SourceBytes() / 2) {
        std::mt19937 random(static_cast<unsigned>(size.width));
        for (size_t i = 0; i < SourceBytes(); ++i) {
            source.bytes[i] = static_cast<uint8_t>(random());
        }
    }
    size_t SourceBytes() const { return size_t(size.width) * size.height * 4; }

    FrameSize size;
    Buffer source;
    Buffer copy;
    Buffer packed;
};

void Register(const std::string& name, const Frame& frame, std::function<void()> work) {
    benchmark::RegisterBenchmark(
        name.c_str(),
        [bytes = int64_t(frame.SourceBytes()), work](benchmark::State& state) {
            for (auto _ : state) {
                work();
                benchmark::ClobberMemory();
            }
            state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
        })
        ->Unit(benchmark::kMicrosecond)
        ->MinTime(0.2)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
}

std::function<void()> Packing(Frame& frame, PackedYuvConversion convert) {
    return [&frame, convert] {
        const FrameSize size = frame.size;
        convert(uint32_t(size.height), size.width, frame.source.bytes, frame.packed.bytes,
                size.width * 4, size.width * 2);
    };
}

using LibyuvConversion = int (*)(const uint8_t*, int, uint8_t*, int, int, int);

std::function<void()> LibyuvPacking(Frame& frame, LibyuvConversion convert) {
    return [&frame, convert] {
        const FrameSize size = frame.size;
        convert(frame.source.bytes, size.width * 4, frame.packed.bytes, size.width * 2, size.width,
                size.height);
    };
}

// Prints and keeps each benchmark's median time.
class MedianKeeper : public benchmark::ConsoleReporter {
public:
    MedianKeeper() : ConsoleReporter(OO_None) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                !run.error_occurred) {
                medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
                shown.push_back(run);
            }
        }
        ConsoleReporter::ReportRuns(shown);
    }
    // Mean of the two byte orders of `name` at `size`; 0 when either is missing.
    double BothOrders(const std::string& name, const std::string& size) const {
        const auto yuy2 = medians.find("yuy2/" + name + "/" + size);
        const auto uyvy = medians.find("uyvy/" + name + "/" + size);
        if (yuy2 == medians.end() || uyvy == medians.end()) {
            return 0;
        }
        return (yuy2->second + uyvy->second) / 2;
    }
    std::map<std::string, double> medians;
};

double Ratio(double numerator, double denominator) {
    return denominator > 0 ? numerator / denominator : 0;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const uint32_t features = QueryProcessorFeatures();

    std::vector<std::unique_ptr<Frame>> frames;
    for (const FrameSize& size : kSizes) {
        frames.push_back(std::make_unique<Frame>(size));
        Frame& frame = *frames.back();
        const std::string suffix = "/" + size.Name();
        Register("memcpy" + suffix, frame, [&frame] {
            std::memcpy(frame.copy.bytes, frame.source.bytes, frame.SourceBytes());
        });
        for (size_t i = 0; i < kPackedYuvRoutineCount; ++i) {
            const PackedYuvRoutine& routine = kPackedYuvRoutines[i];
            if (RunsOn(routine, features)) {
                Register(std::string("yuy2/") + routine.name + suffix, frame,
                         Packing(frame, routine.yuy2));
                Register(std::string("uyvy/") + routine.name + suffix, frame,
                         Packing(frame, routine.uyvy));
            }
        }
        Register("yuy2/libyuv" + suffix, frame, LibyuvPacking(frame, libyuv::ARGBToYUY2));
        Register("uyvy/libyuv" + suffix, frame, LibyuvPacking(frame, libyuv::ARGBToUYVY));
    }

    MedianKeeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);

    std::printf("yuv chosen=%s\n", ChoosePackedYuvRoutine(features).name);
    for (const FrameSize& size : kSizes) {
        const std::string name = size.Name();
        const auto memcpyTime = keeper.medians.find("memcpy/" + name);
        if (memcpyTime == keeper.medians.end()) {
            continue; // filtered out on the command line
        }
        const char* fastest = nullptr;
        double fastestTime = 0;
        for (size_t i = 0; i < kPackedYuvRoutineCount; ++i) {
            const double time = keeper.BothOrders(kPackedYuvRoutines[i].name, name);
            if (time > 0 && (fastest == nullptr || time < fastestTime)) {
                fastest = kPackedYuvRoutines[i].name;
                fastestTime = time;
            }
        }
        if (fastest == nullptr) {
            continue;
        }
        std::printf("yuv %s: fastest=%s fastest_vs_memcpy=%.2f mmx_vs_memcpy=%.2f "
                    "fastest_vs_libyuv=%.2f\n",
                    name.c_str(), fastest, Ratio(fastestTime, memcpyTime->second),
                    Ratio(keeper.BothOrders("mmx", name), memcpyTime->second),
                    Ratio(fastestTime, keeper.BothOrders("libyuv", name)));
    }
    benchmark::Shutdown();
    return 0;
}
