// The one way the tests and benchmarks wait: for a condition, as long as something still
// changes, with a generous overall bound.
#pragma once

#include <windows.h>

#include <functional>

// Milliseconds since an arbitrary start.
double NowMs();
// How long a wait goes on without seeing progress: long enough for any machine, however
// loaded, so that only a test that fails ever waits it out.
constexpr DWORD kPatienceMs = 60000;
// Waits until `condition` holds (true) or gives up (false): once `progress`, when given, has
// returned the same value for kPatienceMs (without it, kPatienceMs after the start), and after
// half an hour in any case.
bool WaitUntil(const std::function<bool()>& condition,
               const std::function<long long()>& progress = nullptr);
// Waits (see WaitUntil) for a thread or process to end.
bool WaitForEnd(HANDLE object);
