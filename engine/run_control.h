// The run counter and the close signal: the frame loop runs while the counter is not 0, and its
// waits between frames end at once when the engine is closed, or when the image it shows should
// change (a new brightness, new options).
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>

// Counts a new run (interlocked) and re-arms the close signal.
void BeginRun();
// Takes back the count of a run whose thread could not be started.
void UndoBeginRun();
// Brings the counter down to 0 however many runs were begun, and raises the close signal.
void DrainRuns();
// True while the counter is not 0.
bool RunsRemain();
// How one wait between frames ended.
enum class FrameWaitEnd {
    kElapsed, // the time was up, or messages came for the thread's windows (handled)
    kRedraw,  // a redraw was asked for
    kClosed,  // the engine was closed
};
// One wait between frames, of at most `milliseconds`: it ends early at a close, at a redraw
// asked for meanwhile and when messages come for the thread's windows, which are handled before
// it returns. A wait of 0 only handles the messages waiting: the next frame is due, so a redraw
// asked for meanwhile is left for the next wait that has time to spare.
FrameWaitEnd WaitBetweenFrames(uint32_t milliseconds);
// Ends the wait between frames under way, or the next one, early: the lens should show a change.
void RedrawSoon();
// Any other wait of the magnifier thread: `milliseconds`, or less when the engine is closed
// meanwhile; false when it was closed. Messages are handled while it lasts.
bool PauseUnlessClosed(uint32_t milliseconds);
// Handles the messages waiting for the calling thread's windows.
void PumpMessages();

// A lock the library makes when it is loaded and deletes when it is freed (a Win32 critical
// section: the C++ runtime's mutex would leave the parts it makes at first use behind at every
// unload). Its members have the names std::unique_lock expects.
class SectionLock {
public:
    SectionLock();
    ~SectionLock();
    SectionLock(const SectionLock&) = delete;
    SectionLock& operator=(const SectionLock&) = delete;
    void lock();
    bool try_lock();
    void unlock();

private:
    CRITICAL_SECTION section_;
};

// Held by a magnifier thread for its whole run, so that two runs begun without a close between
// them never use the engine's Direct3D, DirectDraw and window objects at the same time.
SectionLock& RunTurn();

// Keeps a handle of `thread`, a magnifier thread just started, until a close has waited for it;
// the handles of threads that have ended are let go of meanwhile.
void KeepThread(HANDLE thread);
// Waits for every magnifier thread kept, not only for the one a close was handed, and lets go of
// them: when it returns, no thread the engine started runs engine code any more.
void WaitForKeptThreads();
