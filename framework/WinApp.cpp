#include "WinApp.h"

namespace {
CWinApp *g_pApp = nullptr;
}

CWinApp::CWinApp(const char *appName) : m_pszAppName(appName) { g_pApp = this; }

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp *AfxGetApp() { return g_pApp; }
