// The prompt-latency benchmark's probe (driven by prompt_latency.py): binds
// the hook library's shared variables from Dravik.dll as the program does and
// reads the timestamps that the hook and the program take while it switches
// them on. One command per line on standard input, one answer ending in
// "OK <command>" on standard output:
//   on | off          switch the timestamps on (prints the counter frequency) or off
//   state             whether the program's prompt window exists
//   prompting 0|1     switch the hook's prompting off or on (bEnablePrompt)
//   arm               clear the timestamps before a keystroke
//   wait T S P        wait up to T ms for the echo and, when P is 1, for the
//                     prompt's answer; then S ms more for later fills and
//                     paints; prints one SAMPLE line
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "SharedSection.h"

namespace {
long long g_frequency = 1;

void Clear()
{
    for (long long &stamp : g_qpcLatency)
        stamp = 0;
    g_nLatencyResults = -1;
    g_nLatencyFills = 0;
}

// The prompt has its answer: entries filled in, or the results said none.
bool Answered()
{
    return g_qpcLatency[LATENCY_PROMPT_FILLED] != 0 ||
           (g_qpcLatency[LATENCY_RESULTS_READY] != 0 && g_nLatencyResults == 0);
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
    std::printf(" results=%d fills=%d complete=%d\n", g_nLatencyResults, g_nLatencyFills, done ? 1 : 0);
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
        if (fields < 1) {
            continue;
        } else if (name == "on") {
            Clear();
            g_bLatencyProbe = 1;
            std::printf("FREQ %lld\n", g_frequency);
        } else if (name == "off") {
            g_bLatencyProbe = 0;
        } else if (name == "state") {
            std::printf("STATE prompt=%d enabled=%d\n", hPromptWnd && IsWindow(hPromptWnd) ? 1 : 0, bEnablePrompt);
        } else if (name == "prompting" && fields >= 2) {
            bEnablePrompt = a ? 1 : 0;
        } else if (name == "arm") {
            Clear();
        } else if (name == "wait" && fields >= 4) {
            Wait(a, b, c != 0);
        } else {
            std::printf("ERR %s\n", line);
        }
        std::printf("OK %s\n", command);
        std::fflush(stdout);
    }
    g_bLatencyProbe = 0;
    return 0;
}
