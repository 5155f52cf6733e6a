#include <chrono>
#include <condition_variable>
#include <mutex>

#include "EngineEvent.h"
#include "RetrieveThread.h"

namespace {
// One lock and condition for all events keeps WaitAny simple; the engine has
// only a handful of events.
std::mutex g_lock;
std::condition_variable g_changed;
}  // namespace

struct AutoResetEvent::Impl {
    bool signalled = false;
};

AutoResetEvent::AutoResetEvent() : m_impl(new Impl) {}
AutoResetEvent::~AutoResetEvent() = default;

void AutoResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> hold(g_lock);
        m_impl->signalled = true;
    }
    g_changed.notify_all();
}

int AutoResetEvent::WaitAny(AutoResetEvent *const *events, int count, int milliseconds)
{
    std::unique_lock<std::mutex> hold(g_lock);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds);
    for (;;) {
        for (int i = 0; i < count; ++i)
            if (events[i]->m_impl->signalled) {
                events[i]->m_impl->signalled = false;
                return i;
            }
        if (milliseconds < 0)
            g_changed.wait(hold);
        else if (g_changed.wait_until(hold, deadline) == std::cv_status::timeout)
            return -1;
    }
}

bool AutoResetEvent::Wait(int milliseconds)
{
    AutoResetEvent *self = this;
    return WaitAny(&self, 1, milliseconds) == 0;
}

bool AutoResetEvent::WaitPumping(int milliseconds) { return Wait(milliseconds); }

void SetCurrentThreadPriority(int) {}
