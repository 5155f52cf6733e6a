// The wait window that long operations show while they run in the main
// thread: one global instance, created on first use, then only shown and
// hidden until the process ends.
#pragma once

#include "Dialog.h"

class CWaitMsgDlg : public CDialog {
public:
    CWaitMsgDlg();

    // Shows the window with the text (an empty text keeps the last one),
    // sized to the text, centred and painted at once: the caller goes on
    // working without handling messages.
    void ShowWaitMessage(const char *text);
    void HideWaitMessage();

    CString m_strMessage;
    // Put into the caption with the product name when the window opens.
    CString m_strCompanyName;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;
};

extern CWaitMsgDlg g_dlgWaitMsg;
