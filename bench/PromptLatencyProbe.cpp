// The prompt-latency benchmark's probe (driven by prompt_latency.py): binds
// the hook library's shared variables from Dravik.dll as the program does and
// reads the timestamps that the hook and the program take while it switches
// them on. While the program is not running it can install Dravik.dll's
// three hooks itself, so that the key-down and echo stamps are still taken in
// the application typed into. One command per line on standard input, one
// answer ending in "OK <command>" on standard output:
//   on | off          switch the timestamps on (prints the counter frequency) or off
//   state             STATE main=M prompt=P enabled=E running=R hooks=H: the
//                     program's main window and prompt window exist, the
//                     hook's prompting switch, Lexanto.exe processes, the
//                     probe's own hooks installed
//   prompting 0|1     switch the hook's prompting off or on (bEnablePrompt)
//   close             post WM_CLOSE to the program's main window
//   hook | unhook     install or remove Dravik.dll's three hooks; refused
//                     while the program's main window exists
//   front TITLE       make the top-level window TITLE the foreground window
//   focus TITLE       the focus window of the top-level window TITLE becomes
//                     the window whose echo is stamped (hFocusEdit)
//   lookup            LOOKUP us=U: median cost of one lookup of the main window
//   arm               clear the timestamps before a keystroke
//   wait T S P        wait up to T ms for the echo and, when P is 1, for the
//                     prompt's answer and, after a fill, its paint; then S ms
//                     more for later fills and paints; prints one SAMPLE line
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "HookProcs.h"
#include "SharedSection.h"

namespace {
long long g_frequency = 1;
HANDLE g_hookThread = nullptr;
DWORD g_hookThreadId = 0;

// The title the hook looks for (the default product name of mprod.ini).
HWND MainWindow() { return FindWindowA("#32770", "Lexanto Main Window"); }

int RunningPrograms()
{
    int count = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, "Lexanto.exe") == 0)
            ++count;
    CloseHandle(snapshot);
    return count;
}

void Clear()
{
    for (long long &stamp : g_qpcLatency)
        stamp = 0;
    g_nLatencyResults = -1;
    g_nLatencyFills = 0;
}

// The hooks live on a thread of their own that keeps taking messages, so that
// nothing waits on the probe's main thread while it reads its input.
struct HookStart {
    HANDLE ready;
    bool ok;
};

DWORD WINAPI HookThread(void *param)
{
    HookStart &start = *static_cast<HookStart *>(param);
    const HMODULE dll = GetModuleHandleA("Dravik.dll");
    const auto proc = [dll](const char *name) {
        return dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void *>(GetProcAddress(dll, name))) : nullptr;
    };
    const HOOKPROC keyboard = proc("KeyboardProc"), wndProc = proc("CallWndProc"), getMsg = proc("GetMsgProc");
    if (keyboard && wndProc && getMsg) {
        hHookKeyboard = SetWindowsHookExA(WH_KEYBOARD, keyboard, dll, 0);
        hHookWndProc = SetWindowsHookExA(WH_CALLWNDPROC, wndProc, dll, 0);
        hHookGetMsg = SetWindowsHookExA(WH_GETMESSAGE, getMsg, dll, 0);
    }
    start.ok = hHookKeyboard && hHookWndProc && hHookGetMsg;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    SetEvent(start.ready);
    if (start.ok)
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
    for (HHOOK *hook : {&hHookKeyboard, &hHookWndProc, &hHookGetMsg}) {
        if (*hook)
            UnhookWindowsHookEx(*hook);
        *hook = nullptr;
    }
    return 0;
}

void Unhook()
{
    if (!g_hookThread)
        return;
    PostThreadMessageA(g_hookThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(g_hookThread, 10000);
    CloseHandle(g_hookThread);
    g_hookThread = nullptr;
    g_hookThreadId = 0;
}

const char *Hook()
{
    if (g_hookThread)
        return nullptr;
    // Two sets of the same hooks would handle every key twice.
    if (MainWindow())
        return "the program's main window exists";
    HookStart start = {CreateEventA(nullptr, TRUE, FALSE, nullptr), false};
    g_hookThread = CreateThread(nullptr, 0, HookThread, &start, 0, &g_hookThreadId);
    if (g_hookThread)
        WaitForSingleObject(start.ready, 10000);
    CloseHandle(start.ready);
    if (!g_hookThread)
        return "cannot start the hook thread";
    if (!start.ok) {
        Unhook();
        return "cannot install the hooks";
    }
    return nullptr;
}

// The keyboard goes to the foreground window's thread, which need not be the
// one with the X focus: a program started later may have taken the
// foreground while the X focus stayed where it was.
const char *Front(const char *title)
{
    const HWND top = FindWindowA(nullptr, title);
    if (!top)
        return "no such window";
    SetForegroundWindow(top);
    for (int i = 0; i < 200 && GetForegroundWindow() != top; ++i)
        Sleep(10);
    return GetForegroundWindow() == top ? nullptr : "the window did not come to the foreground";
}

const char *Focus(const char *title)
{
    const HWND top = FindWindowA(nullptr, title);
    if (!top)
        return "no such window";
    GUITHREADINFO info;
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) || !info.hwndFocus)
        return "the window's thread has no focus window";
    hFocusEdit = info.hwndFocus;
    char name[64] = "";
    GetClassNameA(info.hwndFocus, name, sizeof name);
    std::printf("FOCUS class=%s\n", name);
    return nullptr;
}

// What the hook's procedures spend on one lookup of the main window.
double LookupMicroseconds()
{
    std::vector<double> times;
    for (int i = 0; i < 201; ++i) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        MainWindow();
        QueryPerformanceCounter(&b);
        times.push_back(static_cast<double>(b.QuadPart - a.QuadPart) * 1e6 / static_cast<double>(g_frequency));
    }
    std::nth_element(times.begin(), times.begin() + 100, times.end());
    return times[100];
}

// The prompt has its answer: entries filled in and painted, or the results
// said none.
bool Answered()
{
    if (g_qpcLatency[LATENCY_PROMPT_FILLED] != 0)
        return g_qpcLatency[LATENCY_PROMPT_PAINTED] != 0;
    return g_qpcLatency[LATENCY_RESULTS_READY] != 0 && g_nLatencyResults == 0;
}

// Microseconds from the key-down to a stamp; -1 when it was not taken.
double Since(long long key, LatencyStamp which)
{
    const long long stamp = g_qpcLatency[which];
    if (!key || !stamp)
        return -1;
    return static_cast<double>(stamp - key) * 1e6 / static_cast<double>(g_frequency);
}

void Wait(int timeoutMs, int settleMs, bool wantPrompt)
{
    const DWORD start = GetTickCount();
    bool done = false;
    while (!done && GetTickCount() - start < static_cast<DWORD>(timeoutMs)) {
        done = g_qpcLatency[LATENCY_ECHO_PAINTED] != 0 && (!wantPrompt || Answered());
        if (!done)
            Sleep(1);
    }
    Sleep(static_cast<DWORD>(settleMs));
    static const struct {
        const char *name;
        LatencyStamp stamp;
    } kStamps[] = {
        {"post", LATENCY_REQUEST_POSTED},   {"received", LATENCY_REQUEST_RECEIVED},
        {"ready", LATENCY_RESULTS_READY},   {"filled", LATENCY_PROMPT_FILLED},
        {"char", LATENCY_CHAR_DONE},        {"echo", LATENCY_ECHO_PAINTED},
        {"painted", LATENCY_PROMPT_PAINTED},
    };
    const long long key = g_qpcLatency[LATENCY_KEY_DOWN];
    std::printf("SAMPLE key=%d", key ? 1 : 0);
    for (const auto &s : kStamps)
        std::printf(" %s=%.1f", s.name, Since(key, s.stamp));
    std::printf(" results=%d fills=%d complete=%d main=%d\n", g_nLatencyResults, g_nLatencyFills, done ? 1 : 0,
                MainWindow() ? 1 : 0);
}
}  // namespace

int main()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_frequency = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    char line[256];
    std::printf("READY\n");
    std::fflush(stdout);
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = 0;
        char command[32] = "";
        int a = 0, b = 0, c = 0;
        const int fields = std::sscanf(line, "%31s %d %d %d", command, &a, &b, &c);
        const std::string name = command;
        const char *error = nullptr;
        if (fields < 1) {
            continue;
        } else if (name == "on") {
            Clear();
            g_bLatencyProbe = 1;
            std::printf("FREQ %lld\n", g_frequency);
        } else if (name == "off") {
            g_bLatencyProbe = 0;
        } else if (name == "state") {
            std::printf("STATE main=%d prompt=%d enabled=%d running=%d hooks=%d\n", MainWindow() ? 1 : 0,
                        hPromptWnd && IsWindow(hPromptWnd) ? 1 : 0, bEnablePrompt, RunningPrograms(),
                        g_hookThread ? 1 : 0);
        } else if (name == "prompting" && fields >= 2) {
            bEnablePrompt = a ? 1 : 0;
        } else if (name == "close") {
            const HWND main = MainWindow();
            if (!main || !PostMessageA(main, WM_CLOSE, 0, 0))
                error = "no main window to close";
        } else if (name == "hook") {
            error = Hook();
        } else if (name == "unhook") {
            Unhook();
        } else if (name == "front" && std::strlen(line) > 6) {
            error = Front(line + 6);
        } else if (name == "focus" && std::strlen(line) > 6) {
            error = Focus(line + 6);
        } else if (name == "lookup") {
            std::printf("LOOKUP us=%.1f\n", LookupMicroseconds());
        } else if (name == "arm") {
            Clear();
        } else if (name == "wait" && fields >= 4) {
            Wait(a, b, c != 0);
        } else {
            error = "unknown command";
        }
        if (error)
            std::printf("ERR %s: %s\n", line, error);
        std::printf("OK %s\n", command);
        std::fflush(stdout);
    }
    Unhook();
    g_bLatencyProbe = 0;
    return 0;
}
