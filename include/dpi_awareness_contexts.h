// The DPI awareness contexts that SetThreadDpiAwarenessContext takes and returns: handles the
// system defines as small negative numbers, which older headers lack.
#pragma once

#include <windows.h>

#include <cstdint>

const HANDLE kDpiContextUnaware = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
const HANDLE kDpiContextPerMonitor = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-3));
const HANDLE kDpiContextPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
