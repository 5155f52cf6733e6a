#include "SystemServices.h"

#include <ras.h>

#include <cstring>

#include "UserMessage.h"

DWORD MsgWaitForHandles(DWORD count, const HANDLE *handles, BOOL waitAll, DWORD timeout, const MsgWaitFilter *filter)
{
    HANDLE own = nullptr;
    if (count == 0) {
        // Nobody signals this event: a sleep that keeps dispatching.
        own = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (!own)
            return WAIT_FAILED;
        count = 1;
        handles = &own;
    }
    const ULONGLONG deadline = timeout == INFINITE ? 0 : GetTickCount64() + timeout;
    bool quitSeen = false;
    WPARAM quitCode = 0;
    DWORD result = WAIT_TIMEOUT;
    for (;;) {
        DWORD remaining = INFINITE;
        if (timeout != INFINITE) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) {
                result = WAIT_TIMEOUT;
                break;
            }
            remaining = static_cast<DWORD>(deadline - now);
        }
        // After a WM_QUIT the messages are left for the caller's loop.
        result = quitSeen ? WaitForMultipleObjects(count, handles, waitAll, remaining)
                          : MsgWaitForMultipleObjects(count, handles, waitAll, remaining, QS_ALLINPUT);
        if (result < WAIT_OBJECT_0 + count || result == WAIT_TIMEOUT || result == WAIT_FAILED)
            break;
        if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count) {
            ShowMessageAndExit("abandoned mutex object encountered!", TRUE);
            break;
        }
        // Input arrived. A handle that became signalled meanwhile goes first.
        const DWORD ready = WaitForMultipleObjects(count, handles, waitAll, 0);
        if (ready < WAIT_OBJECT_0 + count) {
            result = ready;
            break;
        }
        MSG msg;
        const HWND window = filter ? filter->window : nullptr;
        const UINT first = filter ? filter->firstMessage : 0;
        const UINT last = filter ? filter->lastMessage : 0;
        const UINT flags = (filter ? filter->removeFlags : 0) | PM_REMOVE;
        while (PeekMessageA(&msg, window, first, last, flags)) {
            if (msg.message == WM_QUIT) {
                quitSeen = true;
                quitCode = msg.wParam;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (own)
        CloseHandle(own);
    if (quitSeen)
        PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

DWORD WaitForObjectPumping(HANDLE handle, DWORD timeout)
{
    return MsgWaitForHandles(1, &handle, FALSE, timeout, nullptr);
}

void ShowMessageAndExit(const char *text, BOOL exitProcess)
{
    ShowMessage(text);
    if (exitProcess)
        ExitProcess(0);
}

BOOL GetClipboardText(CString &text)
{
    text.Empty();
    if (!OpenClipboard(nullptr))
        return FALSE;
    BOOL ok = FALSE;
    if (IsClipboardFormatAvailable(CF_TEXT)) {
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            if (const char *locked = static_cast<const char *>(GlobalLock(data))) {
                // Another program's block need not hold a terminator.
                const SIZE_T size = GlobalSize(data);
                const void *end = std::memchr(locked, '\0', size);
                const SIZE_T length = end ? static_cast<SIZE_T>(static_cast<const char *>(end) - locked) : size;
                text = CString(locked, static_cast<int>(length));
                GlobalUnlock(data);
                ok = TRUE;
            }
        }
    }
    CloseClipboard();
    return ok;
}

BOOL CopyTextToClipboard(const char *text)
{
    if (!text)
        text = "";
    if (!OpenClipboard(nullptr))
        return FALSE;
    BOOL ok = FALSE;
    EmptyClipboard();
    const size_t length = std::strlen(text);
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length + 1)) {
        if (char *locked = static_cast<char *>(GlobalLock(block))) {
            std::memcpy(locked, text, length + 1);
            GlobalUnlock(block);
            ok = SetClipboardData(CF_TEXT, block) != nullptr;
        }
        if (!ok)
            GlobalFree(block);  // the clipboard owns it only after a successful set
    }
    CloseClipboard();
    return ok;
}

BOOL EnableTokenPrivilege(HANDLE token, const char *privilege)
{
    TOKEN_PRIVILEGES privileges = {};
    if (!LookupPrivilegeValueA(nullptr, privilege, &privileges.Privileges[0].Luid)) {
        ShowMessage("LookupPrivilegeValue failed");
        return FALSE;
    }
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // The call succeeds even when the token lacks the privilege; only the last
    // error tells.
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) ||
        GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
        ShowMessage("Can't adjust token privilege!");
        return FALSE;
    }
    return TRUE;
}

BOOL EnableShutdownPrivilege()
{
    if (!IsNTPlatform())
        return TRUE;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        ShowMessage("Can't open process token!");
        return FALSE;
    }
    const BOOL ok = EnableTokenPrivilege(token, "SeShutdownPrivilege");
    CloseHandle(token);
    return ok;
}

COSVersion::COSVersion()
{
    std::memset(&m_info, 0, sizeof m_info);
    m_info.dwOSVersionInfoSize = sizeof m_info;
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&m_info));
}

CString COSVersion::GetVersionText() const
{
    CString text;
    text.Format("%lu.%lu", m_info.dwMajorVersion, m_info.dwMinorVersion);
    return text;
}

CString COSVersion::GetProductName() const
{
    CString name = "Windows ";
    const CString version = GetVersionText().Left(3);
    const bool workstation = m_info.wProductType == VER_NT_WORKSTATION;
    if (m_info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (version == "6.2")
            name += workstation ? "8" : "Server 2012";
        else if (version == "6.1")
            name += workstation ? "7" : "Server 2008 R2";
        else if (version == "6.0")
            name += workstation ? "Vista" : "Server 2008";
        else if (version == "5.2")
            name += workstation ? "XP"
                    : (m_info.wSuiteMask & 0x8000) ? "Home Server"
                    : GetSystemMetrics(SM_SERVERR2) ? "Server 2003 R2"
                                                    : "Server 2003";
        else if (version == "5.1")
            name += "XP";
        else if (version == "5.0")
            name += "2K";
        else if (m_info.dwMajorVersion == 4)
            name += "NT";
    } else if (m_info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (version == "4.0")
            name += "95";
        else if (version == "4.1")
            name += "98";
        else if (version == "4.9")
            name += "ME";
    }
    return name;
}

BOOL COSVersion::IsWin2KOrLater() const
{
    return m_info.dwPlatformId == VER_PLATFORM_WIN32_NT && m_info.dwMajorVersion > 4;
}

BOOL COSVersion::IsXPOrLater() const
{
    return m_info.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (m_info.dwMajorVersion > 5 || (m_info.dwMajorVersion == 5 && m_info.dwMinorVersion > 0));
}

BOOL IsNTPlatform()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

namespace {
typedef DWORD(WINAPI *RasEnumConnectionsFn)(void *, DWORD *, DWORD *);
typedef HRESULT(WINAPI *SHAutoCompleteFn)(HWND, DWORD);
}  // namespace

BOOL IsDialUpConnected()
{
    HMODULE ras = LoadLibraryA("rasapi32.dll");
    if (!ras)
        return FALSE;
    BOOL connected = FALSE;
    auto enumerate = reinterpret_cast<RasEnumConnectionsFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(ras, "RasEnumConnectionsA")));
    if (enumerate) {
        RASCONNA records[16] = {};
        records[0].dwSize = sizeof(RASCONNA);
        DWORD bytes = sizeof records;
        DWORD connections = 0;
        if (enumerate(records, &bytes, &connections) != 0)
            ShowMessage("RasEnumConnections failed!");
        else
            connected = connections > 0;
    }
    FreeLibrary(ras);
    return connected;
}

BOOL SetEditAutoComplete(HWND edit, DWORD flags)
{
    if (!edit)
        return FALSE;
    HMODULE shlwapi = LoadLibraryA("SHLWAPI.DLL");
    if (!shlwapi)
        return FALSE;
    BOOL ok = FALSE;
    if (auto autoComplete = reinterpret_cast<SHAutoCompleteFn>(
            reinterpret_cast<void (*)()>(GetProcAddress(shlwapi, "SHAutoComplete"))))
        ok = SUCCEEDED(autoComplete(edit, flags));
    FreeLibrary(shlwapi);
    return ok;
}
