// The hook library's application object and what it does in every process
// it is mapped into: read the product name once, so the hook can find the
// program's main window.
#pragma once

#include "WinApp.h"

class CHookApp : public CWinApp {
public:
    CHookApp() : CWinApp(nullptr) {}
    BOOL InitInstance() override;
    int ExitInstance() override { return CWinApp::ExitInstance(); }
};
