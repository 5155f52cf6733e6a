// A topmost message that closes itself after some seconds.
#pragma once

#include "Dialog.h"

class CTopMsgDlg : public CDialog {
public:
    CTopMsgDlg();

    int m_nSeconds = 0;
    CString m_strMessage;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
};

// Shows the text in a topmost dialog that closes itself after the seconds
// (or with OK); returns when it has closed.
void ShowTimedMessage(const char *text, int seconds);
