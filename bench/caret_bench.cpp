// The caret locator's cost: the median of 10,000 calls of qxGetCaretPos, as the engine makes
// once per frame, next to one look at the caret (the work done on events and timer ticks),
// with a focused edit box holding a caret.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "qxgetcaretpos.h"
#include "scoped_handles.h"
#include "system_caret.h"

namespace {

constexpr int kCalls = 10000;
constexpr int kLooks = 1000;

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    static const double perTick = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1e6 / static_cast<double>(frequency.QuadPart);
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * perTick;
}

void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

struct Spread {
    double median;
    double p99;
    double most;
};

Spread SpreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return Spread{samples[samples.size() / 2], samples[samples.size() * 99 / 100], samples.back()};
}

} // namespace

int main() {
    char folder[MAX_PATH];
    GetModuleFileNameA(nullptr, folder, MAX_PATH);
    std::string path(folder);
    path = path.substr(0, path.find_last_of('\\') + 1) + QX_GETCARETPOS_LIBRARY;
    UniqueModule library(LoadLibraryA(path.c_str()));
    auto init = BindProc<QxGetCaretPosInitFn>(library.Get(), "qxGetCaretPosInit");
    auto get = BindProc<QxGetCaretPosFn>(library.Get(), "qxGetCaretPos");
    auto release = BindProc<QxGetCaretPosReleaseFn>(library.Get(), "qxGetCaretPosRelease");
    if (init == nullptr || get == nullptr || release == nullptr) {
        std::printf("the caret locator is missing beside the benchmark\n");
        return 1;
    }
    HWND window = CreateWindowExA(0, "STATIC", "caret bench", WS_POPUP | WS_VISIBLE, 200, 200, 400,
                                  100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "text", WS_CHILD | WS_VISIBLE, 10, 10, 300, 24, window,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(window);
    SetFocus(edit);
    init(9830, 5734);
    Pump(200);

    std::vector<double> calls(kCalls);
    int present = 0;
    for (double& sample : calls) {
        int valid = 0;
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        present += get(&valid) != nullptr ? 1 : 0;
        QueryPerformanceCounter(&after);
        sample = Microseconds(before, after);
    }
    // The timer ticks in tenths of a microsecond under Wine: the mean of one timed run of all the
    // calls shows what lies below that.
    LARGE_INTEGER batchStart, batchEnd;
    QueryPerformanceCounter(&batchStart);
    for (int i = 0; i < kCalls; ++i) {
        int valid = 0;
        get(&valid);
    }
    QueryPerformanceCounter(&batchEnd);
    const double batchMean = Microseconds(batchStart, batchEnd) / kCalls;
    std::vector<double> looks(kLooks);
    for (double& sample : looks) {
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        LookAtSystemCaret();
        QueryPerformanceCounter(&after);
        sample = Microseconds(before, after);
    }
    release();
    DestroyWindow(window);

    const Spread call = SpreadOf(calls);
    const Spread look = SpreadOf(looks);
    std::printf("qxGetCaretPos: median %.2f us, 99th percentile %.2f us, most %.1f us over %d "
                "calls (caret found in %d), mean %.3f us; under 50 us: %s\n",
                call.median, call.p99, call.most, kCalls, present, batchMean,
                call.median < 50.0 ? "yes" : "no");
    std::printf("one look at the caret: median %.2f us, 99th percentile %.2f us over %d looks; "
                "look / mean call = %.0f\n",
                look.median, look.p99, kLooks, look.median / std::max(batchMean, 0.001));
    return 0;
}
