#include "progress_wait.h"

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool WaitUntil(const std::function<bool()>& condition, const std::function<long long()>& progress) {
    const double start = NowMs();
    double lastChange = start;
    long long last = progress ? progress() : 0;
    while (!condition()) {
        const double now = NowMs();
        const long long value = progress ? progress() : 0;
        if (value != last) {
            last = value;
            lastChange = now;
        }
        if (now - lastChange > kPatienceMs || now - start > 30 * 60000) {
            return false;
        }
        Sleep(5);
    }
    return true;
}

bool WaitForEnd(HANDLE object) {
    return WaitForSingleObject(object, kPatienceMs) == WAIT_OBJECT_0;
}
