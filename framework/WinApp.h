// Application object of the class-library layer: one per module, created as a
// global, driven by the module's entry point (WinMain for the program,
// DllMain for a library).
#pragma once

#include <windows.h>

class CWinApp {
public:
    explicit CWinApp(const char *appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp &) = delete;
    CWinApp &operator=(const CWinApp &) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    HINSTANCE m_hInstance = nullptr;
    const char *m_pszAppName;
};

// The module's application object, or nullptr before it is constructed.
CWinApp *AfxGetApp();
