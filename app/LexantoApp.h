// The application object: start-up in a fixed order, the hidden main
// window's loop for the whole run, and shut-down.
#pragma once

#include <windows.h>

#include "Settings.h"

class CDebugDlg;
#include "WinApp.h"

// The program's own shared data: set by the first process, seen by every
// later one while any process of the program is alive.
extern "C" int g_nInstanceFlag;

class CLexantoApp : public CWinApp, public CAppSettings {
public:
    CLexantoApp();

    // FALSE always: start-up failed, or the run has ended inside it.
    BOOL InitInstance() override;
    void OnHelp() override;

    // ending: Windows is logging off or shutting down; then libraries and
    // settings are written but windows and hooks are left to the system.
    void Shutdown(BOOL ending);

    OSVERSIONINFOEXA m_osvi;
    HMODULE m_hHookDll = nullptr;

private:
    BOOL InstallHooks();
    // Creates the windows, opens the libraries and runs the hidden main
    // window's loop until it is destroyed. FALSE.
    BOOL RunWindows();
    void DestroyWindows();

    CDebugDlg *m_pMainDlg = nullptr;
};

extern CLexantoApp theApp;

