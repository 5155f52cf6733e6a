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
    // The application's help command (a dialog's Help button without a
    // handler of its own ends here).
    virtual void OnHelp() {}

    // The wait cursor while the application is busy; calls nest, and the
    // arrow comes back when the last one ends.
    void BeginWaitCursor();
    void EndWaitCursor();
    int m_nWaitCursorCount = 0;

    HINSTANCE m_hInstance = nullptr;
    const char *m_pszAppName;
};

// The module's application object, or nullptr before it is constructed.
CWinApp *AfxGetApp();
