#include "WaitFeedback.h"

#include "BusyFeedback.h"
#include "WaitMsgDlg.h"
#include "WinApp.h"

namespace {
void WaitCursor(BOOL on)
{
    CWinApp *app = AfxGetApp();
    if (on) {
        if (app)
            app->BeginWaitCursor();
        else
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return;
    }
    if (app)
        app->EndWaitCursor();
    else
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    if (g_dlgWaitMsg.IsWindow())
        g_dlgWaitMsg.HideWaitMessage();
}

void WaitMessage(const char *text)
{
    if (text && *text)
        g_dlgWaitMsg.ShowWaitMessage(text);
    else
        g_dlgWaitMsg.HideWaitMessage();
}

const BusyFeedbackHandler kWindowsFeedback = {&WaitCursor, &WaitMessage};
}

void InstallWaitFeedback() { SetBusyFeedbackHandler(&kWindowsFeedback); }
