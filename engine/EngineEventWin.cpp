#include <windows.h>

#include "EngineEvent.h"
#include "RetrieveThread.h"

struct AutoResetEvent::Impl {
    HANDLE handle = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ~Impl()
    {
        if (handle)
            CloseHandle(handle);
    }
};

AutoResetEvent::AutoResetEvent() : m_impl(new Impl) {}
AutoResetEvent::~AutoResetEvent() = default;

void AutoResetEvent::Set() { SetEvent(m_impl->handle); }

bool AutoResetEvent::Wait(int milliseconds)
{
    return WaitForSingleObject(m_impl->handle, milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds)) ==
           WAIT_OBJECT_0;
}

int AutoResetEvent::WaitAny(AutoResetEvent *const *events, int count, int milliseconds)
{
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    if (count <= 0 || count > MAXIMUM_WAIT_OBJECTS)
        return -1;
    for (int i = 0; i < count; ++i)
        handles[i] = events[i]->m_impl->handle;
    const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(count), handles, FALSE,
                                                milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds));
    if (result < WAIT_OBJECT_0 + static_cast<DWORD>(count))
        return static_cast<int>(result - WAIT_OBJECT_0);
    return -1;
}

bool AutoResetEvent::WaitPumping(int milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (milliseconds >= 0) {
            const DWORD spent = GetTickCount() - start;
            if (spent >= static_cast<DWORD>(milliseconds))
                return WaitForSingleObject(m_impl->handle, 0) == WAIT_OBJECT_0;
            left = static_cast<DWORD>(milliseconds) - spent;
        }
        const DWORD result = MsgWaitForMultipleObjects(1, &m_impl->handle, FALSE, left, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Leave the quit for the loop that owns it.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return WaitForSingleObject(m_impl->handle, 0) == WAIT_OBJECT_0;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void SetCurrentThreadPriority(int priority) { SetThreadPriority(GetCurrentThread(), priority); }
