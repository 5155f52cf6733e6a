#include "FatalError.h"

#include <windows.h>

void FatalError(const char *text)
{
    // Owned by the thread's active window when it has one, so the box stays in front of it.
    MessageBoxA(GetActiveWindow(), text ? text : "", "Fatal Error", MB_OK | MB_ICONERROR);
    ExitProcess(static_cast<UINT>(-1));
}
