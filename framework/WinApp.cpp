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

void CWinApp::BeginWaitCursor()
{
    ++m_nWaitCursorCount;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void CWinApp::EndWaitCursor()
{
    if (m_nWaitCursorCount > 0 && --m_nWaitCursorCount == 0)
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}
