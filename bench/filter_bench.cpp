// The shipped filters at the largest lens, each through its own plug-in library exactly as the
// engine calls it: the median time of one vxpiFilter over a 1280 x 1024 frame of opaque pixels,
// next to the engine's frame at the same size measured in the same run. A frame with a plug-in
// on the lens window stays on the processor: screen capture into the lens image, which the
// plug-ins get, then the brightness and the internal cursor, and the lens window shows the
// image. Prints one line per filter:
//   filter NAME 1280x1024: filter_ms=X frame_ms=Y share=S
// with S = X / Y.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "renderer_frame.h"
#include "scoped_handles.h"
#include "vxpi.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr int kRounds = 41;
constexpr int kFrames = 40;

struct ShippedFilter {
    const char* name;
    const char* file; // in the plugins folder beside this program
};

const ShippedFilter kFilters[] = {
    {"invert", "Invert Colours.dll"},
    {"grayscale", "Grayscale.dll"},
    {"yellow_on_black", "Yellow on Black.dll"},
    {"invert_lightness", "Invert Lightness.dll"},
};

std::string PluginPath(const char* file) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\')) + "\\plugins\\" + file;
}

// Screen-like content: opaque pixels of varied colours, the same for every filter.
std::vector<uint32_t> Pattern() {
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    uint32_t state = 12345;
    for (uint32_t& pixel : pixels) {
        state = state * 1664525u + 1013904223u;
        pixel = 0xFF000000u | state >> 8;
    }
    return pixels;
}

// Median milliseconds of one filter call; each call starts from the pattern. -1 when the
// plug-in cannot be loaded or declines the lens.
double MedianFilterMs(const ShippedFilter& shipped, const std::vector<uint32_t>& pattern) {
    UniqueModule library(LoadLibraryA(PluginPath(shipped.file).c_str()));
    const auto init = BindProc<VxpiInitFn>(library.Get(), "vxpiInit");
    const auto filter = BindProc<VxpiFilterFn>(library.Get(), "vxpiFilter");
    const auto release = BindProc<VxpiReleaseFn>(library.Get(), "vxpiRelease");
    if (init == nullptr || filter == nullptr || release == nullptr ||
        init(kHeight, kWidth, 32) == VXPI_DECLINE) {
        return -1;
    }
    std::vector<uint32_t> pixels(pattern.size());
    VxpiFrame frame = {};
    frame.dwSize = sizeof(frame);
    frame.dwHeight = kHeight;
    frame.dwWidth = kWidth;
    frame.lPitch = kWidth * 4;
    frame.lpSurface = pixels.data();
    frame.ddpfPixelFormat.dwRGBBitCount = 32;
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        std::copy(pattern.begin(), pattern.end(), pixels.begin());
        const double start = NowMs();
        filter(&frame);
        times.push_back(NowMs() - start);
    }
    release();
    std::nth_element(times.begin(), times.begin() + kRounds / 2, times.end());
    return times[kRounds / 2];
}

} // namespace

int main() {
    const double frameMs = LensWindowFrameMs(kWidth, kHeight, kFrames);
    if (frameMs <= 0) {
        std::printf("filter: no lens image for the frame at %dx%d\n", kWidth, kHeight);
        return 1;
    }
    const std::vector<uint32_t> pattern = Pattern();
    int failures = 0;
    for (const ShippedFilter& shipped : kFilters) {
        const double filterMs = MedianFilterMs(shipped, pattern);
        if (filterMs < 0) {
            std::printf("filter %s: cannot load %s\n", shipped.name, shipped.file);
            ++failures;
            continue;
        }
        std::printf("filter %s %dx%d: filter_ms=%.3f frame_ms=%.3f share=%.3f\n", shipped.name,
                    kWidth, kHeight, filterMs, frameMs, filterMs / frameMs);
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
