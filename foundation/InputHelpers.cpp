#include "InputHelpers.h"

#include <commdlg.h>
#include <imm.h>

#include <vector>

BOOL IsImeWindow(HWND w) { return ImmIsIME(GetKeyboardLayout(GetWindowThreadProcessId(w, nullptr))); }

BOOL IsModifierKeyDown()
{
    for (int vk : {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN})
        if (GetAsyncKeyState(vk) & 0x8000)
            return TRUE;
    return FALSE;
}

BOOL WaitWhileKeysHeld(BOOL (*keysHeld)(void *context), void *context)
{
    const DWORD limit = 10000;
    const DWORD start = GetTickCount();
    while (keysHeld(context)) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= limit)
            break;
        const DWORD step = limit - elapsed < 100 ? limit - elapsed : 100;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, step, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return FALSE;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return TRUE;
}

void WaitKeysReleased(int vk)
{
    WaitWhileKeysHeld(
        [](void *key) -> BOOL {
            return IsModifierKeyDown() || (GetAsyncKeyState(*static_cast<int *>(key)) & 0x8000) ? TRUE : FALSE;
        },
        &vk);
}

BOOL ClearClipboard()
{
    if (!OpenClipboard(nullptr))
        return FALSE;
    EmptyClipboard();
    return CloseClipboard();
}

CString BrowseForFile(BOOL open, const char *filter, const char *defaultExt, const char *initialFolder)
{
    // The dialog wants the filter's parts separated by NULs and ended by two.
    std::vector<char> filters;
    if (filter && *filter) {
        for (const char *p = filter; *p; ++p)
            filters.push_back(*p == '|' ? '\0' : *p);
        filters.push_back('\0');
        filters.push_back('\0');
    }
    char path[MAX_PATH] = "";

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = filters.empty() ? nullptr : filters.data();
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrDefExt = defaultExt && *defaultExt ? defaultExt : nullptr;
    dialog.lpstrInitialDir = initialFolder && *initialFolder ? initialFolder : nullptr;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT;
    const BOOL ok = open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
    return ok ? CString(path) : CString();
}
