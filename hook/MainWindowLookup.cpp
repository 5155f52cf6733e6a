#include "MainWindowLookup.h"

#include "SharedSection.h"

namespace {
// Per-process: read once when the library is attached to the process.
CString g_strHookProductName;
HWND g_hFoundMainWindow;
}  // namespace

CString ReadProductName()
{
    const CString file = CString(AppPath, static_cast<int>(SharedStringLength(AppPath))) + "mprod.ini";
    char name[128] = {0};
    GetPrivateProfileStringA("General", "ProductName", "Lexanto", name, sizeof name, file);
    name[sizeof name - 1] = 0;
    return CString(name);
}

const CString &GetHookProductName() { return g_strHookProductName; }

void InitHookProductName()
{
    g_strHookProductName = ReadProductName();
    g_hFoundMainWindow = nullptr;  // found under the name read before
}

HWND FindMainWindow()
{
    const HWND kept = g_hFoundMainWindow;
    if (kept && IsWindow(kept))
        return kept;
    const HWND found = FindWindowA("#32770", g_strHookProductName + " Main Window");
    g_hFoundMainWindow = found;
    return found;
}

