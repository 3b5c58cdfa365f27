// What a process holds at one moment, counted directly where the system has no counter for it
// (Wine implements neither GetProcessHandleCount nor GetGuiResources nor PrivateUsage): open
// handles by type, windows, GDI objects, threads, committed private memory and, for the calling
// process, the TLS slots in use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

struct ProcessCensus {
    std::map<std::string, int> handlesByType;
    int handles = 0;
    int windows = 0;    // top-level, child and message-only windows of the process
    int gdiObjects = 0; // -1 when they cannot be counted (another process under Wine)
    int threads = 0;
    uint64_t privateBytes = 0; // committed private memory
    int tlsSlot = -1;          // the lowest free TLS index; -1 for another process
};

// Counts what `process` (opened with PROCESS_DUP_HANDLE | PROCESS_QUERY_INFORMATION |
// PROCESS_VM_READ, or the calling process) holds. Returns false when it cannot be read.
bool TakeCensus(HANDLE process, DWORD processId, ProcessCensus* census);

// Takes censuses until two taken `pauseMs` apart agree on every count (threads and windows that
// are just ending do not count as held), or `limitMs` has passed; returns the last one.
bool TakeSettledCensus(HANDLE process, DWORD processId, ProcessCensus* census, DWORD pauseMs = 100,
                       DWORD limitMs = 3000);
