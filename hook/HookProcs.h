// The hook procedures of Dravik.dll and its per-process hook handles, which
// only the program's own process sets (when it installs the hooks).
#pragma once

#include <windows.h>

extern "C" {
extern HHOOK hHookKeyboard;
extern HHOOK hHookWndProc;
extern HHOOK hHookGetMsg;

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam);
void testfun();
}
