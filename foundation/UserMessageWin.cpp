#include "UserMessage.h"

#include <windows.h>

#include "Folders.h"

void PlatformShowMessage(const char *text)
{
    MessageBoxA(GetActiveWindow(), text, g_strProductName, MB_OK);
}
