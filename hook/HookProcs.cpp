// Hook procedures and the per-process hook handles. Only the program's own
// process gives the handles values; everywhere else they stay NULL.
#include "HookProcs.h"

extern "C" {
HHOOK hHookKeyboard = nullptr;
HHOOK hHookWndProc = nullptr;
HHOOK hHookGetMsg = nullptr;

void testfun() {}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(hHookKeyboard, code, wParam, lParam);
}

LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}
