#include "HookApp.h"

#include "MainWindowLookup.h"

namespace {
CHookApp theApp;

// Per-process state, read once at attach.
OSVERSIONINFOA g_osVersion;
HMODULE g_hGdiModule = nullptr;
}  // namespace

BOOL CHookApp::InitInstance()
{
    g_osVersion.dwOSVersionInfoSize = sizeof g_osVersion;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&g_osVersion);
#pragma GCC diagnostic pop
    g_hGdiModule = GetModuleHandleA("hdi32.dll");
    if (!g_hGdiModule)
        g_hGdiModule = GetModuleHandleA("gdi32.dll");
    InitHookProductName();
    return CWinApp::InitInstance();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    CWinApp *app = AfxGetApp();
    if (!app)
        return TRUE;
    if (reason == DLL_PROCESS_ATTACH) {
        app->m_hInstance = instance;
        DisableThreadLibraryCalls(instance);
        return app->InitInstance();
    }
    if (reason == DLL_PROCESS_DETACH)
        app->ExitInstance();
    return TRUE;
}
