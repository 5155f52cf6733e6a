// Auto-reset events for the hand-over between the main thread and the
// retrieving thread: Windows events in the Windows builds, a condition
// variable on the host.
#pragma once

#include <memory>

class AutoResetEvent {
public:
    AutoResetEvent();
    ~AutoResetEvent();
    AutoResetEvent(const AutoResetEvent &) = delete;
    AutoResetEvent &operator=(const AutoResetEvent &) = delete;

    void Set();
    // True when the event was signalled within the time (-1: no limit); the
    // signal is consumed.
    bool Wait(int milliseconds);
    // Index of the first signalled event in the array (its signal consumed),
    // -1 when none was signalled within the time.
    static int WaitAny(AutoResetEvent *const *events, int count, int milliseconds);
    // Waits while the calling thread's window messages keep being handled, so
    // that windows of that thread (and hooks in other programs waiting on
    // them) stay responsive.
    bool WaitPumping(int milliseconds);

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};
