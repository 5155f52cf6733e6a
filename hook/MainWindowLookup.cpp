#include "MainWindowLookup.h"

#include "SharedSection.h"

namespace {
// Per-process: read once when the library is attached to the process.
CString g_strHookProductName;
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

void InitHookProductName() { g_strHookProductName = ReadProductName(); }

HWND FindMainWindow() { return FindWindowA("#32770", g_strHookProductName + " Main Window"); }

