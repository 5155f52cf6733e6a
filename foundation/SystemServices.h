// System services: waiting on handles while the thread's messages flow, the
// clipboard's text, the shutdown privilege, the OS version record and a few
// optional system components loaded by name.
#pragma once

#include <windows.h>

#include "CString.h"

// Which messages are handled while waiting: window, message range and
// PeekMessage flags (PM_REMOVE is always added).
struct MsgWaitFilter {
    HWND window;
    UINT lastMessage;
    UINT firstMessage;
    UINT removeFlags;
};

// Waits like WaitForMultipleObjects while dispatching the calling thread's
// messages. Count 0 is a sleep that keeps dispatching. The result is the
// index of the signalled handle (which an auto-reset event has then given
// up), WAIT_TIMEOUT, or WAIT_FAILED. A WM_QUIT met while dispatching ends
// the dispatching, not the wait, and is posted again before returning so
// the caller's loop still sees it. An abandoned mutex ends the process.
DWORD MsgWaitForHandles(DWORD count, const HANDLE *handles, BOOL waitAll, DWORD timeout,
                        const MsgWaitFilter *filter = nullptr);
// 0 when the handle was signalled, WAIT_TIMEOUT when the time ran out.
DWORD WaitForObjectPumping(HANDLE handle, DWORD timeout);

// Shows the text; with exitProcess, ends the process with code 0 afterwards.
void ShowMessageAndExit(const char *text, BOOL exitProcess);

// The clipboard's text, cut at the size of its block and at its first
// terminator; false (text empty) when there is none.
BOOL GetClipboardText(CString &text);
BOOL CopyTextToClipboard(const char *text);

// Enables the shutdown privilege in the process token. False, with a
// message, when the token cannot be opened or adjusted or the privilege is
// not the process's to enable.
BOOL EnableShutdownPrivilege();
// The same for any token and privilege (the token stays open).
BOOL EnableTokenPrivilege(HANDLE token, const char *privilege);

class COSVersion {
public:
    COSVersion();
    OSVERSIONINFOEXA m_info;

    CString GetVersionText() const;  // "major.minor"
    CString GetProductName() const;
    BOOL IsWin2KOrLater() const;
    BOOL IsXPOrLater() const;
};

BOOL IsNTPlatform();
// True when a dial-up connection is open; false when there is none or the
// remote-access library is missing.
BOOL IsDialUpConnected();
// Turns on the shell's auto-completion in an edit; false when the shell has
// none or the call failed.
BOOL SetEditAutoComplete(HWND edit, DWORD flags);
