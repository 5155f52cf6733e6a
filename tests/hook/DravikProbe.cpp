// Reads and writes the hook library's shared variables from its own process,
// binding them from Dravik.dll the way the program does. Commands run in
// order:
//   dump                 print every variable as name=value, and which
//                        of this process's hook handles are set
//   set NAME VALUE       write one variable (strings through the bounded setter)
//   fill NAME COUNT CHAR write COUNT copies of CHAR into a string variable
//   reset                clear the transient state
//   hold EVENT           print "ready", then wait until the named event is set
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "HookProcs.h"
#include "SharedSection.h"

namespace {
enum Kind { Int, Hwnd, Char, Str, Point };

struct Var {
    const char *name;
    Kind kind;
    void *address;
    size_t capacity;
};

#define PV_INT(n) {#n, Int, &n, 0}
#define PV_HWND(n) {#n, Hwnd, &n, 0}
#define PV_STR(n) {#n, Str, n, sizeof n}

const Var kVars[] = {
    PV_INT(g_bRemoveSpaceBeforePunctuation), PV_INT(g_nDelayedKeyDownMsg), PV_INT(g_nLastKeyDown),
    PV_INT(g_tkLastKeyDown), PV_INT(g_bClearAtSwitch), PV_INT(g_bExpandFullSHAtDlmt),
    PV_INT(g_bAutoCompleteUponDelimiter), PV_INT(g_bCompleteUponPunctOnly), PV_INT(g_bDisableInExp),
    PV_INT(g_bDigitSelect), PV_INT(g_nNumWord), PV_HWND(hTestEdit), PV_INT(g_bRedirectKey), PV_INT(g_bAlterPrompt),
    PV_INT(g_nSendKey), PV_INT(g_bFunSel), PV_INT(g_bFullSHMatch), PV_INT(g_nPromptMode), PV_INT(g_bEnableInIE),
    PV_INT(g_nLastComp), PV_INT(s_nExpAliasKeyCode), PV_INT(s_nExpAliasKeyFlag), PV_INT(g_nSWKeyOption),
    PV_INT(g_nPrevKey), PV_INT(g_nNextKey), PV_INT(g_nPgupKey), PV_INT(g_nPgdnKey), PV_INT(g_bDetectSOW),
    PV_INT(g_bPromptAllCaretFail), PV_INT(g_bArrowExtend), PV_STR(NonDelimiter), PV_HWND(hFocusEdit),
    PV_HWND(hLastFocus), PV_STR(WordBuffer), {"nLastChar", Char, &nLastChar, 0}, PV_INT(nWordNum), PV_STR(CharBuf),
    {"CaretPos", Point, &CaretPos, 0}, PV_INT(KeyCode), PV_STR(g_szForceEnable), PV_STR(WindowIncluded),
    PV_STR(WindowExcluded), PV_STR(ProcessIncluded), PV_STR(ProcessExcluded), PV_STR(PathIncluded),
    PV_STR(PathExcluded), PV_STR(g_szAppListForceCharBuf), PV_STR(AppPath), PV_INT(s_bIncludeAllExcept),
    PV_STR(AppDataPath), PV_INT(CompWordKey), PV_INT(bEnablePrompt), PV_HWND(hPromptWnd), PV_INT(g_bNonEnglishChar),
    PV_INT(g_bNumpadDigit), PV_INT(g_nActivatePromptKey), PV_HWND(hWndManualActivate),
};

const Var *Find(const char *name)
{
    for (const Var &v : kVars)
        if (std::strcmp(v.name, name) == 0)
            return &v;
    return nullptr;
}

void Print(const Var &v)
{
    std::printf("%s=", v.name);
    switch (v.kind) {
    case Int:
        std::printf("%d", *static_cast<int *>(v.address));
        break;
    case Hwnd:
        std::printf("%llu", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(*static_cast<HWND *>(v.address))));
        break;
    case Char:
        std::printf("%d", *static_cast<char *>(v.address));
        break;
    case Point:
        std::printf("%ld,%ld", static_cast<long>(CaretPos.x), static_cast<long>(CaretPos.y));
        break;
    case Str: {
        const char *text = static_cast<const char *>(v.address);
        size_t length = 0;
        while (length + 1 < v.capacity && text[length])
            ++length;
        std::fwrite(text, 1, length, stdout);
        // The last byte of every shared string must stay 0.
        if (text[v.capacity - 1] != 0)
            std::printf("<unterminated>");
        break;
    }
    }
    std::printf("\n");
}

bool Set(const Var &v, const char *value)
{
    switch (v.kind) {
    case Int:
        *static_cast<int *>(v.address) = static_cast<int>(std::strtol(value, nullptr, 0));
        return true;
    case Hwnd:
        *static_cast<HWND *>(v.address) = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(value, nullptr, 0)));
        return true;
    case Char:
        *static_cast<char *>(v.address) = static_cast<char>(std::strtol(value, nullptr, 0));
        return true;
    case Point:
        return std::sscanf(value, "%ld,%ld", &CaretPos.x, &CaretPos.y) == 2;
    case Str:
        SetSharedString(static_cast<char *>(v.address), v.capacity, value);
        return true;
    }
    return false;
}
}  // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string command = argv[i];
        if (command == "dump") {
            for (const Var &v : kVars)
                Print(v);
            // Per-process, not shared: NULL here, as in every process but the program's.
            std::printf("hooks=%d\n", (hHookKeyboard ? 1 : 0) + (hHookWndProc ? 2 : 0) + (hHookGetMsg ? 4 : 0));
        } else if (command == "set" && i + 2 < argc) {
            const Var *v = Find(argv[i + 1]);
            if (!v || !Set(*v, argv[i + 2])) {
                std::fprintf(stderr, "cannot set %s\n", argv[i + 1]);
                return 2;
            }
            i += 2;
        } else if (command == "fill" && i + 3 < argc) {
            const Var *v = Find(argv[i + 1]);
            if (!v || v->kind != Str)
                return 2;
            Set(*v, std::string(static_cast<size_t>(std::atoi(argv[i + 2])), argv[i + 3][0]).c_str());
            i += 3;
        } else if (command == "reset") {
            ResetTransientSharedState();
        } else if (command == "hold" && i + 1 < argc) {
            HANDLE release = CreateEventA(nullptr, TRUE, FALSE, argv[++i]);
            std::printf("ready\n");
            std::fflush(stdout);
            const DWORD waited = WaitForSingleObject(release, 60000);
            CloseHandle(release);
            if (waited != WAIT_OBJECT_0)
                return 3;
        } else {
            std::fprintf(stderr, "unknown command %s\n", argv[i]);
            return 2;
        }
    }
    std::fflush(stdout);
    return 0;
}
