#include "HookTextWin.h"

#include <cstring>
#include <string>

#include "CharClasses.h"
#include "HookMessages.h"
#include "InputHelpers.h"
#include "KeyFlags.h"
#include "SharedSection.h"
#include "WindowHelpers.h"
#include "WithinThread.h"

char s_szFocusTitle[100];

namespace {

// The root window of hFocusEdit, as last recorded in this process.
HWND s_hFocusRoot;

CString ReadWindowText(HWND window, int capacity)
{
    char text[256] = {0};
    ReadStoredTitle(window, text, capacity < 256 ? capacity : 256);
    return CString(text);
}

bool KeyDown(int vk)
{
    return GetKeyState(vk) < 0;
}

bool AsyncDown(int vk)
{
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

CString SharedCharBuf()
{
    return CString(CharBuf, static_cast<int>(SharedStringLength(CharBuf)));
}

}  // namespace

char VkToChar(UINT vk)
{
    const char mapped = static_cast<char>(LOBYTE(MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR)));
    return TranslateKeyChar(mapped, KeyDown(VK_CONTROL), (GetKeyState(VK_CAPITAL) & 1) != 0, KeyDown(VK_SHIFT));
}

char VkToCharToAscii(UINT vk, UINT scanCode, HKL layout)
{
    BYTE state[256];
    if (!GetKeyboardState(state))
        return 0;
    WORD out[2] = {0, 0};
    const int produced = ToAsciiEx(vk, scanCode, state, out, 0, layout);
    return produced > 0 ? static_cast<char>(LOBYTE(out[0])) : 0;
}

BOOL IsModifierHeld()
{
    return KeyDown(VK_CONTROL) || KeyDown(VK_SHIFT) || KeyDown(VK_MENU) || KeyDown(VK_LWIN) || KeyDown(VK_RWIN);
}

BOOL AreKeysHeldAtRelease(UINT key, UINT released)
{
    // The thread's key state takes in an event only after the keyboard hook
    // has seen it: the key being released still reads as down there.
    auto generic = [](UINT vk) -> UINT {
        switch (vk) {
        case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
        case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
        case VK_LMENU: case VK_RMENU: return VK_MENU;
        default: return vk;
        }
    };
    released = generic(released);
    auto held = [released, &generic](UINT vk) {
        return vk != 0 && generic(vk) != released && KeyDown(static_cast<int>(vk));
    };
    return held(key) || held(VK_CONTROL) || held(VK_SHIFT) || held(VK_MENU) || held(VK_LWIN) || held(VK_RWIN);
}

UINT GetHeldModifiersAsync()
{
    UINT held = 0;
    if (AsyncDown(VK_CONTROL))
        held |= KEYMOD_CTRL;
    if (AsyncDown(VK_MENU))
        held |= KEYMOD_ALT;
    if (AsyncDown(VK_SHIFT))
        held |= KEYMOD_SHIFT;
    if (AsyncDown(VK_LWIN) || AsyncDown(VK_RWIN))
        held |= KEYMOD_WIN;
    return held;
}

BOOL MatchHotKey(UINT code, UINT vk, UINT flags)
{
    return MatchHotKey(code, vk, flags, GetHeldModifiersAsync());
}

CString GetLowerModulePath()
{
    // A process's program never changes: read once, not on every key.
    static const CString lower = [] {
        char path[MAX_PATH] = {0};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        path[MAX_PATH - 1] = 0;
        CString text(path);
        text.MakeLower();
        return text;
    }();
    return lower;
}

CString GetFocusTopTitle()
{
    s_hFocusRoot = hFocusEdit ? GetRootWindow(hFocusEdit) : nullptr;
    return ReadWindowText(s_hFocusRoot, 100);
}

BOOL IsHookEnabledFor(HWND window)
{
    // A password field is out before any rule can switch prompting on, the
    // test edit and a manual activation included.
    if (!window || !IsWindow(window) || IsPasswordField(window))
        return FALSE;
    HookWindowFacts facts = {};
    facts.isTestOrManualWindow = window == hTestEdit || window == hWndManualActivate;
    const CString className = GetWindowClassName(window);
    const CString programName = HookProgramName(GetLowerModulePath());
    char title[sizeof s_szFocusTitle];
    std::memcpy(title, s_szFocusTitle, sizeof title);
    title[sizeof title - 1] = 0;
    facts.hasPasswordStyle = (GetWindowLongA(window, GWL_STYLE) & ES_PASSWORD) != 0;
    facts.className = className;
    facts.programName = programName;
    facts.focusTitle = title;
    return DecideHookEnabled(facts);
}

BOOL IsFocusHookEnabled()
{
    return IsHookEnabledFor(hFocusEdit);
}

BOOL IsWordDocument()
{
    return IsWordDocumentFor(ReadWindowText(GetRootWindow(hFocusEdit), 256), GetWindowClassName(hFocusEdit));
}

BOOL IsDelphiEditor()
{
    return IsDelphiEditorFor(GetLowerModulePath(), GetWindowClassName(hFocusEdit));
}

BOOL IsCaretUnreliableApp()
{
    if (!s_hFocusRoot)
        return FALSE;
    return IsCaretUnreliableFor(ReadWindowText(s_hFocusRoot, 100), GetWindowClassName(hFocusEdit), GetLowerModulePath());
}

BOOL UpdateCaretPos()
{
    if (IsCaretUnreliableApp()) {
        CaretPos.x = CaretPos.y = -1;
        return TRUE;
    }
    POINT caret;
    if (GetCaretPos(&caret) && caret.x > 0 && caret.y >= 0) {
        CaretPos = caret;
        return TRUE;
    }
    CaretPos.x = CaretPos.y = -1;
    return FALSE;
}

BOOL IsCharBufApp()
{
    const CString title = GetFocusTopTitle();
    return IsCharBufAppFor(title, GetWindowClassName(hFocusEdit), HookProgramName(GetLowerModulePath()));
}

BOOL IsPasswordField(HWND window)
{
    if (!window)
        return FALSE;
    CString className = GetWindowClassName(window);
    className.MakeLower();
    if (className.Find("edit") < 0)
        return FALSE;
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        return QueryControlWithinThread(window, EM_GETPASSWORDCHAR) != 0;
    // Another thread's window (hFocusEdit may be stale): never wait on it for
    // long, and treat a window that does not answer as a password field.
    DWORD_PTR masked = 1;
    if (!SendMessageTimeoutA(window, EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, 200, &masked))
        return TRUE;
    return masked != 0;
}

void UpdateCharBufFor(HWND window, char c)
{
    if (IsPasswordField(window)) {
        ClearHookBuffers();
        return;
    }
    UpdateCharBuf(c);
}

CString GetTextBeforeCaret(HWND window)
{
    if (!window || !IsWindow(window))
        return SharedCharBuf();
    if (IsPasswordField(window)) {
        ClearHookBuffers();
        return CString();
    }
    // The line is read with plain sends, which are only safe in the window's
    // own thread; a focus window that another process has just recorded
    // meanwhile is not read.
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return SharedCharBuf();
    const CString className = GetWindowClassName(window);
    const bool gdkWindow = std::strncmp(className, "gdkWindow", 9) == 0;

    DWORD start = static_cast<DWORD>(-1), end = static_cast<DWORD>(-1);
    DWORD_PTR result = 0;
    const bool sent = !IsWordDocument();
    if (sent)
        result = static_cast<DWORD_PTR>(
            QueryControlWithinThread(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)));
    const DWORD none = static_cast<DWORD>(-1);
    // Large positions are reported as -1 in the result, not in the low word.
    const bool valid = start != none && end != none &&
                       (LOWORD(result) == start || (static_cast<DWORD>(result) == none && (start > 0xFFFF || end > 0xFFFF)));
    if (!sent || !valid || CaretPos.x < 0 || CaretPos.y < 0 || IsCharBufApp() || gdkWindow)
        return SharedCharBuf();
    if (start != end || start == 0)
        return CString();

    const LRESULT line = QueryControlWithinThread(window, EM_LINEFROMCHAR, start);
    const LRESULT lineIndex = QueryControlWithinThread(window, EM_LINEINDEX, static_cast<WPARAM>(line));
    if (lineIndex < 0 || static_cast<LRESULT>(start) < lineIndex)
        return CString();
    // Only the characters before the caret are asked for, at most what the
    // size word of EM_GETLINE can hold; a line that comes back shorter than
    // that is not the line we measured, and the typed characters stand in.
    const size_t column = static_cast<size_t>(start) - static_cast<size_t>(lineIndex);
    if (column == 0)
        return CString();
    if (column > 0xFFFF)
        return SharedCharBuf();
    std::string text(column < 2 ? 2 : column, '\0');
    const WORD sizeWord = static_cast<WORD>(column);
    std::memcpy(&text[0], &sizeWord, sizeof sizeWord);
    const LRESULT copied = QueryControlWithinThread(window, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&text[0]));
    if (copied < static_cast<LRESULT>(column))
        return SharedCharBuf();
    text.resize(column);
    const size_t keep = WORD_BUFFER_SIZE - 1;
    const size_t from = column > keep ? column - keep : 0;
    return CString(text.substr(from, column - from));
}

void RefreshWordBuffer()
{
    const CString text = GetTextBeforeCaret(hFocusEdit);
    SetSharedString(WordBuffer, text);
}

char CharFromWmChar(HWND window, WPARAM wParam)
{
    const WCHAR unit = static_cast<WCHAR>(wParam & 0xFFFF);
    if (!window || !IsWindowUnicode(window) || unit < 0x80)
        return static_cast<char>(LOBYTE(wParam));
    char converted[8] = {0};
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, 0, &unit, 1, converted, sizeof converted, "?", &usedDefault);
    // One byte or nothing: a double-byte character has no place in the
    // 8-bit buffers either.
    if (length != 1 || usedDefault)
        return '?';
    return converted[0];
}

BOOL IsWindowOrDescendant(HWND ancestor, HWND window)
{
    if (!ancestor)
        return FALSE;
    // Bounded: a parent chain is short, and a broken one must not hang the hook.
    for (int depth = 0; window && depth < 64; ++depth) {
        if (window == ancestor)
            return TRUE;
        window = GetParent(window);
    }
    return FALSE;
}

BOOL IsSameProcessWindow(HWND a, HWND b)
{
    if (!a || !b)
        return FALSE;
    DWORD processA = 0, processB = 0;
    if (!GetWindowThreadProcessId(a, &processA) || !GetWindowThreadProcessId(b, &processB))
        return FALSE;
    return processA == processB;
}

BOOL QueryMainWindow(HWND mainWindow, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    if (!mainWindow || !IsWindow(mainWindow))
        return FALSE;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(mainWindow, WM_PROMPT_QUERY, wParam, lParam, SMTO_ABORTIFHUNG, PROMPT_QUERY_TIMEOUT_MS,
                             &answer))
        return FALSE;
    if (result)
        *result = static_cast<LRESULT>(answer);
    return TRUE;
}
