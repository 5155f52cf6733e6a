// The end-to-end tests' stand-in for the program: a hidden dialog titled
// "Lexanto Main Window" that loads Dravik.dll, sets the shared variables the
// way the program's start-up does, installs the three hooks and reports every
// message the hook sends it. A prompt window of its own can be shown, with
// rows the driver offers to the hook (Offer.h). It also reads
// window texts and the shared variables, and types into the focus window with
// SendKeysToWindow.
//
// With --probe it is a bystander beside the real program: a window of another
// title, no hooks, no prompt of its own, and the shared variables left as the
// program set them; only the reading commands are of use then.
//
// Commands, one per line on standard input; every command's output ends with
// a line "OK <command word>":
//   offer N               offer N rows for the text before the caret in the
//                         focus window: row r types "lo" and the r-th letter
//                         of the alphabet; 0 offers nothing
//   prompt show|hide      show or hide the prompt window (without activating it)
//   set NAME VALUE        set an integer shared variable
//   shared                print WordBuffer, CharBuf (hex), CaretPos, g_nSendKey...
//   text TITLE|CHILD      text of a top-level window's child (class name or
//                         #control-id; empty: the window itself), UTF-8 in hex
//   clear TITLE|CHILD     empty the window's text (WM_SETTEXT)
//   classes TITLE         the class names of a top-level window's children
//   foreground TITLE      make the top-level window the foreground window
//   alive TITLE           whether the window answers a message within 5 s
//   send HEX              type the text (hex of its bytes) into hFocusEdit with
//                         SendKeysToWindow, counting the key releases it causes
//   hook | unhook         install or remove the three hooks
//   promptstate           the program's prompt (hPromptWnd): visibility, screen
//                         rectangle, rows, selected row, entry on the first row;
//                         and the foreground window's title (hex), its focus
//                         window's class and caret (screen coordinates)
//   quit
// Messages from the hook are printed as they arrive:
//   MSG <name> <wParam> <lParam> wb=<hex> cb=<hex> caret=<x>,<y> sendkey=<n>
//   PROMPT LINE|PAGE <virtual key>     (to the prompt window)
//   QUERY <wParam>                     (WM_PROMPT_QUERY)
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "HookMessages.h"
#include "HookProcs.h"
#include "SharedSection.h"
#include "Typing.h"

namespace {

const UINT WM_DRIVER_COMMAND = WM_USER + 1;

HWND g_main = nullptr;
HWND g_prompt = nullptr;
HMODULE g_dll = nullptr;
WNDPROC g_dialogProc = nullptr;

std::atomic<bool> g_counting{false};
std::atomic<int> g_injectedKeyUps{0};

void Say(const std::string &line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Hex(const char *bytes, size_t length)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

template <size_t N>
std::string SharedHex(const char (&value)[N])
{
    return Hex(value, SharedStringLength(value));
}

std::string Unhex(const std::string &hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
    return out;
}

const char *MessageName(UINT message)
{
    switch (message) {
    case WM_ACCEPT_ITEM: return "ACCEPT_ITEM";
    case WM_REQUEST_PROMPT: return "REQUEST_PROMPT";
    case WM_WORD_ENDED: return "WORD_ENDED";
    case WM_HIDE_PROMPT: return "HIDE_PROMPT";
    case WM_EXPAND_ALIAS: return "EXPAND_ALIAS";
    case WM_ENTRY_CHOSEN: return "ENTRY_CHOSEN";
    default: return nullptr;
    }
}

std::string SharedState()
{
    return "wb=" + SharedHex(WordBuffer) + " cb=" + SharedHex(CharBuf) + " caret=" + std::to_string(CaretPos.x) + "," +
           std::to_string(CaretPos.y) + " sendkey=" + std::to_string(g_nSendKey) +
           " lastchar=" + std::to_string(static_cast<unsigned char>(nLastChar)) + " prompt=" + std::to_string(bEnablePrompt);
}

// Handles messages while waiting, so the hook's messages keep being logged.
void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

LRESULT CALLBACK CountKeyUps(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && g_counting) {
        const KBDLLHOOKSTRUCT *key = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        if ((key->flags & LLKHF_UP) && (key->flags & LLKHF_INJECTED))
            ++g_injectedKeyUps;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The key releases that reach the desktop, seen by a low-level hook in a
// thread of its own (its callbacks need a thread that is not busy typing).
DWORD WINAPI CounterThread(LPVOID)
{
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, CountKeyUps, GetModuleHandleA(nullptr), 0);
    if (!hook)
        Say("ERR low-level hook");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    if (hook)
        UnhookWindowsHookEx(hook);
    return 0;
}

bool InstallHooks()
{
    const auto keyboard = reinterpret_cast<HOOKPROC>(reinterpret_cast<void *>(GetProcAddress(g_dll, "KeyboardProc")));
    const auto wndProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void *>(GetProcAddress(g_dll, "CallWndProc")));
    const auto getMsg = reinterpret_cast<HOOKPROC>(reinterpret_cast<void *>(GetProcAddress(g_dll, "GetMsgProc")));
    if (!keyboard || !wndProc || !getMsg)
        return false;
    hHookKeyboard = SetWindowsHookExA(WH_KEYBOARD, keyboard, g_dll, 0);
    hHookWndProc = SetWindowsHookExA(WH_CALLWNDPROC, wndProc, g_dll, 0);
    hHookGetMsg = SetWindowsHookExA(WH_GETMESSAGE, getMsg, g_dll, 0);
    return hHookKeyboard && hHookWndProc && hHookGetMsg;
}

void RemoveHooks()
{
    for (HHOOK *hook : {&hHookKeyboard, &hHookWndProc, &hHookGetMsg}) {
        if (*hook)
            UnhookWindowsHookEx(*hook);
        *hook = nullptr;
    }
}

struct ChildSearch {
    std::string className;
    HWND found;
};

BOOL CALLBACK FindChildOfClass(HWND child, LPARAM param)
{
    ChildSearch *search = reinterpret_cast<ChildSearch *>(param);
    char name[64] = {0};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, search->className.c_str()) == 0) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintClass(HWND child, LPARAM)
{
    char name[64] = {0};
    GetClassNameA(child, name, sizeof name);
    Say(std::string("CLASS ") + name);
    return TRUE;
}

HWND FindTarget(const std::string &target)
{
    const size_t bar = target.find('|');
    const std::string title = target.substr(0, bar);
    const std::string child = bar == std::string::npos ? "" : target.substr(bar + 1);
    // A visible window first: a program may keep hidden ones of the same
    // title (the real program's wait dialog is titled like its message boxes).
    HWND top = FindWindowA(nullptr, title.c_str());
    for (HWND w = top; w && !IsWindowVisible(top); w = FindWindowExA(nullptr, w, nullptr, title.c_str()))
        if (IsWindowVisible(w))
            top = w;
    if (!top || child.empty())
        return top;
    if (child[0] == '#')
        return GetDlgItem(top, std::atoi(child.c_str() + 1));
    ChildSearch search = {child, nullptr};
    EnumChildWindows(top, FindChildOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowTextUtf8(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return "";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    text.resize(copied);
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], size, nullptr, nullptr);
    return utf8;
}

// Types as the program's accept step does: count with a dry run, tell the
// hook how many key releases to ignore, type, and wait for the hook to have
// seen them all.
void Send(const std::string &text)
{
    HWND target = hFocusEdit;
    if (!target || !IsWindow(target)) {
        Say("ERR no focus window");
        return;
    }
    const CString keys(text.c_str());
    const int count = SendKeysToWindow(target, keys, TRUE, FALSE, FALSE);
    g_injectedKeyUps = 0;
    g_counting = true;
    g_nSendKey = count;
    SendKeysToWindow(target, keys, TRUE, FALSE, TRUE);
    const DWORD deadline = GetTickCount() + 10000;
    while (GetTickCount() < deadline && (g_nSendKey > 0 || g_injectedKeyUps < count))
        PumpFor(20);
    PumpFor(300);  // releases beyond the count would arrive now
    g_counting = false;
    Say("SENT count=" + std::to_string(count) + " keyups=" + std::to_string(g_injectedKeyUps.load()) +
        " sendkey=" + std::to_string(g_nSendKey));
}

// What the user sees: the prompt window and where the keyboard focus and the
// caret are, read from outside like any other program's windows.
std::string PromptState()
{
    std::string out;
    const HWND prompt = hPromptWnd;
    RECT r = {0, 0, 0, 0};
    const bool exists = prompt && IsWindow(prompt);
    if (exists)
        GetWindowRect(prompt, &r);
    ChildSearch list = {"ListBox", nullptr};
    if (exists)
        EnumChildWindows(prompt, FindChildOfClass, reinterpret_cast<LPARAM>(&list));
    const bool listShown = list.found && IsWindowVisible(list.found);
    auto ask = [&](UINT msg, WPARAM wParam) {
        DWORD_PTR value = static_cast<DWORD_PTR>(-1);
        if (!listShown || !SendMessageTimeoutA(list.found, msg, wParam, 0, SMTO_ABORTIFHUNG, 5000, &value))
            return std::string("-1");
        return std::to_string(static_cast<long long>(static_cast<LONG_PTR>(value)));
    };
    out += "visible=" + std::string(exists && IsWindowVisible(prompt) ? "1" : "0");
    out += " rect=" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
    out += " rows=" + ask(LB_GETCOUNT, 0) + " sel=" + ask(LB_GETCURSEL, 0) + " first=" + ask(LB_GETITEMDATA, 0);
    const HWND foreground = GetForegroundWindow();
    char title[256] = {0};
    if (foreground)
        GetWindowTextA(foreground, title, sizeof title);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const bool read = foreground && GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info);
    char focusClass[64] = {0};
    if (read && info.hwndFocus)
        GetClassNameA(info.hwndFocus, focusClass, sizeof focusClass);
    POINT caret = {-1, -1};
    if (read && info.hwndCaret) {
        caret.x = info.rcCaret.left;
        caret.y = info.rcCaret.bottom;
        ClientToScreen(info.hwndCaret, &caret);
    }
    out += " fg=" + Hex(title, std::strlen(title)) + " focus=" + (focusClass[0] ? focusClass : "-") +
           " caret=" + std::to_string(caret.x) + "," + std::to_string(caret.y);
    return out;
}

struct IntVar {
    const char *name;
    void *address;
};

void SetVariable(const std::string &name, const std::string &value)
{
    static const IntVar vars[] = {
        {"CompWordKey", &CompWordKey},     {"g_nSWKeyOption", &g_nSWKeyOption}, {"g_bDigitSelect", &g_bDigitSelect},
        {"g_bNumpadDigit", &g_bNumpadDigit}, {"bEnablePrompt", &bEnablePrompt}, {"g_nSendKey", &g_nSendKey},
        {"g_bClearAtSwitch", &g_bClearAtSwitch}, {"g_bPromptAllCaretFail", &g_bPromptAllCaretFail},
        {"g_nActivatePromptKey", &g_nActivatePromptKey},
    };
    for (const IntVar &v : vars)
        if (name == v.name) {
            *static_cast<int *>(v.address) = static_cast<int>(std::strtol(value.c_str(), nullptr, 0));
            return;
        }
    Say("ERR unknown variable " + name);
}

// As the program publishes its prompt's rows, for the text the hook holds now.
void Offer(int rows)
{
    if (rows <= 0) {
        WithdrawOffer(g_Offer);
        return;
    }
    BeginOfferWrite(g_Offer);
    g_Offer.target = hFocusEdit;
    SetSharedString(g_Offer.word, WordBuffer);
    g_Offer.rows = rows < OFFER_ROWS ? rows : OFFER_ROWS;
    g_Offer.selected = 0;
    for (int r = 0; r < g_Offer.rows; ++r) {
        OfferRow row = {};
        const char body[] = {'l', 'o', static_cast<char>('a' + r)};
        row.length = sizeof body;
        std::memcpy(row.body, body, sizeof body);
        g_Offer.row[r] = row;
    }
    EndOfferWrite(g_Offer);
}

void RunCommand(const std::string &line)
{
    const size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (word == "offer") {
        Offer(std::atoi(rest.c_str()));
    } else if (word == "prompt") {
        ShowWindow(g_prompt, rest == "show" ? SW_SHOWNOACTIVATE : SW_HIDE);
    } else if (word == "set") {
        const size_t split = rest.find(' ');
        SetVariable(rest.substr(0, split), split == std::string::npos ? "0" : rest.substr(split + 1));
    } else if (word == "shared") {
        Say("SHARED " + SharedState());
    } else if (word == "text") {
        HWND window = FindTarget(rest);
        Say(window ? "TEXT " + Hex(WindowTextUtf8(window).data(), WindowTextUtf8(window).size()) : "TEXT-ERR");
    } else if (word == "clear") {
        HWND window = FindTarget(rest);
        DWORD_PTR ignored = 0;
        if (!window || !SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), SMTO_ABORTIFHUNG, 5000,
                                            &ignored))
            Say("ERR cannot clear " + rest);
    } else if (word == "classes") {
        EnumChildWindows(FindWindowA(nullptr, rest.c_str()), PrintClass, 0);
    } else if (word == "foreground") {
        HWND window = FindTarget(rest);
        if (!window || !SetForegroundWindow(window))
            Say("ERR cannot bring " + rest + " to the foreground");
        Say("FOREGROUND " + std::to_string(GetForegroundWindow() == window ? 1 : 0));
    } else if (word == "alive") {
        HWND window = FindTarget(rest);
        DWORD_PTR ignored = 0;
        Say(std::string("ALIVE ") +
            (window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) ? "1" : "0"));
    } else if (word == "send") {
        Send(Unhex(rest));
    } else if (word == "hook") {
        if (!InstallHooks())
            Say("ERR hooks");
    } else if (word == "unhook") {
        RemoveHooks();
    } else if (word == "promptstate") {
        Say("PROMPTSTATE " + PromptState());
    } else if (word == "quit") {
        PostQuitMessage(0);
    } else {
        Say("ERR unknown command " + word);
    }
    Say("OK " + word);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PROMPT_QUERY) {
        Say("QUERY " + std::to_string(wParam));
        return 0;
    }
    if (message == WM_DRIVER_COMMAND) {
        std::string *line = reinterpret_cast<std::string *>(lParam);
        RunCommand(*line);
        delete line;
        return 0;
    }
    if (const char *name = MessageName(message)) {
        Say(std::string("MSG ") + name + " " + std::to_string(static_cast<long long>(wParam)) + " " +
            std::to_string(static_cast<long long>(lParam)) + " " + SharedState());
        // As the program does: a chosen entry or a hide ends the offer.
        if (message == WM_HIDE_PROMPT || message == WM_ENTRY_CHOSEN) {
            WithdrawOffer(g_Offer);
            if (IsWindowVisible(g_prompt))
                ShowWindow(g_prompt, SW_HIDE);
        }
        return 0;
    }
    return CallWindowProcA(g_dialogProc, window, message, wParam, lParam);
}

// The prompt window reports the selection keys the hook forwards to it.
LRESULT CALLBACK PromptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PROMPT_LINE || message == WM_PROMPT_PAGE) {
        Say(std::string("PROMPT ") + (message == WM_PROMPT_LINE ? "LINE " : "PAGE ") + std::to_string(wParam));
        // The move is made (the selection stays): keys choose again.
        if (g_nOfferMoves > 0)
            InterlockedDecrement(&g_nOfferMoves);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI ReadCommands(LPVOID)
{
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        PostMessageA(g_main, WM_DRIVER_COMMAND, 0, reinterpret_cast<LPARAM>(new std::string(line)));
    }
    PostMessageA(g_main, WM_DRIVER_COMMAND, 0, reinterpret_cast<LPARAM>(new std::string("quit")));
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    const bool probe = mode == "--probe";
    const bool hooks = mode.empty();
    g_dll = LoadLibraryA("Dravik.dll");
    if (!g_dll) {
        Say("ERR cannot load Dravik.dll");
        return 1;
    }
    // A probe must not pass for the program's main window: the hook and the
    // program's single-instance check look for that title.
    g_main = CreateWindowExA(0, "#32770", probe ? "Lexanto E2E Probe" : "Lexanto Main Window", WS_POPUP, 0, 0, 10, 10,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    g_dialogProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(g_main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainProc)));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PromptProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
    wc.lpszClassName = "LexantoE2EPrompt";
    RegisterClassA(&wc);
    if (probe) {
        CreateThread(nullptr, 0, ReadCommands, nullptr, 0, nullptr);
        Say("READY probe=" + std::to_string(reinterpret_cast<UINT_PTR>(g_main)));
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DestroyWindow(g_main);
        Say("BYE");
        std::_Exit(0);
    }
    g_prompt = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "LexantoE2EPrompt",
                               "Lexanto Test Prompt", WS_POPUP | WS_BORDER, 900, 700, 200, 120, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);

    // What the program's start-up sets before it installs the hooks.
    ResetTransientSharedState();
    g_nDelayedKeyDownMsg = RegisterWindowMessageA(DELAYED_KEY_DOWN_MESSAGE_NAME);
    bEnablePrompt = 1;
    g_bDigitSelect = 1;
    g_bNumpadDigit = 0;
    SetSharedString(WordBuffer, "");
    hPromptWnd = g_prompt;
    if (hooks && !InstallHooks()) {
        Say("ERR hooks");
        return 1;
    }
    CreateThread(nullptr, 0, CounterThread, nullptr, 0, nullptr);
    CreateThread(nullptr, 0, ReadCommands, nullptr, 0, nullptr);
    Say("READY main=" + std::to_string(reinterpret_cast<UINT_PTR>(g_main)));

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    RemoveHooks();
    hPromptWnd = nullptr;
    ResetTransientSharedState();
    DestroyWindow(g_prompt);
    DestroyWindow(g_main);
    Say("BYE");
    std::_Exit(0);  // the stdin reader may still be blocked in a read
}
