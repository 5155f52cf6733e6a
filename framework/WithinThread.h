// Messages to windows of the calling thread without the message hooks.
#pragma once

#include <windows.h>

// What SendMessageA does for a window of the calling thread, without calling
// the installed message hooks: the window procedure (subclassing and ANSI to
// Unicode conversion included) is called directly. Under Wine every message
// sent while a system-wide WH_CALLWNDPROC hook is installed (ours is one)
// costs round trips to the server, about 0.1 ms, and the hook wants none of
// these queries. A window of another thread gets a plain SendMessageA.
inline LRESULT SendWithinThread(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return SendMessageA(window, msg, wParam, lParam);
    const WNDPROC proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    return proc ? CallWindowProcA(proc, window, msg, wParam, lParam) : 0;
}

// Asks a control of the calling thread about its state (selection, lines,
// text, password character) through its class's window procedure, the one
// that keeps that state. The application's subclass in between is skipped:
// it may do costly work on every message (Wine's notepad updates its status
// bar with sent messages, 0.1 ms per query). A window of another thread gets
// a plain SendMessageA.
inline LRESULT QueryControlWithinThread(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return SendMessageA(window, msg, wParam, lParam);
    const WNDPROC proc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(window, GCLP_WNDPROC));
    return proc ? CallWindowProcA(proc, window, msg, wParam, lParam) : 0;
}

// The title of a window as the window manager stores it, in the ANSI code
// page: no WM_GETTEXT is sent, so a window of a busy thread cannot hold the
// caller, and a hooked process pays no round trips for it.
inline int ReadStoredTitle(HWND window, char *text, int capacity)
{
    if (capacity <= 0)
        return 0;
    text[0] = 0;
    WCHAR wide[256];
    const int length = window ? InternalGetWindowText(window, wide, 256) : 0;
    if (length <= 0)
        return 0;
    // Converted whole, then cut: the conversion fails rather than cut.
    char converted[2 * 256];
    int written = WideCharToMultiByte(CP_ACP, 0, wide, length, converted, sizeof converted, nullptr, nullptr);
    if (written < 0)
        written = 0;
    if (written > capacity - 1)
        written = capacity - 1;
    memcpy(text, converted, static_cast<size_t>(written));
    text[written] = 0;
    return written;
}
