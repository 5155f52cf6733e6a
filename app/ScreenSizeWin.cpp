#include <windows.h>

#include "Settings.h"

void GetScreenSize(int &width, int &height)
{
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
}
