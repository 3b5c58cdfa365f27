// A worker thread of a companion library that keeps the library loaded while it runs. Whoever
// stops it waits only so long; a worker caught in a slow call (a hung program, a stalled disk)
// finishes later on its own, and the library's code stays in memory until it has.
#pragma once

#include <windows.h>

// Starts `work(argument)` on a new thread; returns its handle, or null when it could not start.
HANDLE StartPinnedThread(LPTHREAD_START_ROUTINE work, void* argument);

// Waits at most `milliseconds` for the thread to end and closes the handle. True when it ended.
bool AwaitPinnedThread(HANDLE thread, DWORD milliseconds);
