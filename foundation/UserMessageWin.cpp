#include "UserMessage.h"

#include <windows.h>

#include "Folders.h"

void PlatformShowMessage(const char *text)
{
    MessageBoxA(GetActiveWindow(), text, g_strProductName, MB_OK);
}

bool PlatformAskOkCancel(const char *text)
{
    return MessageBoxA(GetActiveWindow(), text, g_strProductName, MB_OKCANCEL) == IDOK;
}
