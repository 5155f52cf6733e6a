// The program's hidden main window: the one receiver of the completion
// protocol. The hook's notifications, the retrieving thread's results and
// the hook's synchronous queries all arrive here, in the main thread; it
// starts the retrieving thread, makes the requests, fills and hides the
// prompt through its link, and types the chosen entries.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <ctime>

#include "DebugDlgLinks.h"
#include "Dialog.h"
#include "MatchItem.h"
#include "PromptOffer.h"
#include "PromptLink.h"
#include "Typing.h"

class CAppSettings;

// Messages of the main window besides the hook's (HookMessages.h).
enum : UINT {
    WM_RESULTS_READY = 0x8001,  // from the retrieving thread: wParam request id, lParam candidates (0 none)
    WM_TRAY_NOTIFY = 0x8008,    // from the tray icon: lParam the mouse message
    WM_MAIN_NOOP = 0x800C,      // answered at once
    WM_DEBUG_LOG = 0x8012,      // wParam a zero-terminated text of this process
    WM_MAIN_FIRST = 0x8001,     // the range let through the message filter
    WM_MAIN_LAST = 0x8013,
};

// The named event of the program's synchronised typing.
extern HANDLE g_hSendKeySyncEvent;

class CDebugDlg : public CDialog {
public:
    enum { IDD = 102, IDT_SENDKEY_DEADLINE = 0 };

    CDebugDlg(CAppSettings &settings, const MainWindowLinks &links);
    ~CDebugDlg() override;

    // Creates the hidden window from its template; it starts the retrieving
    // thread.
    BOOL Create();
    BOOL DestroyWindow();
    // The application's message loop asks first: Esc never closes the window.
    BOOL PreTranslateMessage(MSG *msg);

    void SetPrompt(CPromptLink *prompt) { m_pPrompt = prompt; }
    CPromptLink *GetPrompt() const { return m_pPrompt; }

    BOOL RequestCompletion(const CString &word, POINT caret);
    void HidePrompt();
    void AppendDebugLog(const CString &text, BOOL newline);
    // m_tkSendKeyDeadline := now + 50 ms for every pending synthetic key.
    void SetSendKeyDeadline();
    // Stores the number of synthetic key events about to be sent, so that the
    // hook ignores them, and renews the deadline.
    void SetSendKeyCount(int count);
    void SetAutoPrompt(BOOL on);
    void ToggleAutoPrompt();
    // Adds the tray icon (again, after the shell lost it), with a balloon on
    // the first runs.
    void AddTrayIcon();
    BOOL ExpandAlias(BOOL test);
    // Sets the quitting flag first, then ends the retrieving thread.
    void StopRetrieving();

    // Clock members (clock() values).
    clock_t m_tkLastHotKey = 0;
    clock_t m_tkSendKeyDeadline = 0;
    clock_t m_tkLastRequest = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    LRESULT OnResultsReady(int id, int count);
    LRESULT OnAcceptItem(int row, LPARAM flag);
    LRESULT OnRequestPrompt(LPARAM lParam);
    // seq names the shared slot holding the word's text; 0: read WordBuffer.
    LRESULT OnWordEnded(WPARAM seq);
    // A key in the application chose a row of the offer id (EntryChosenParam).
    LRESULT OnEntryChosen(LONG id, LPARAM how);
    LRESULT OnHidePrompt();
    LRESULT OnPromptQuery(WPARAM wParam);
    LRESULT OnTrayNotify(LPARAM lParam);
    // FALSE when the close is refused.
    BOOL OnClose();
    void EmptyPrompt();

    // Word-processor insertion of an accepted entry; FALSE when it did not
    // insert (the caller then types the text).
    BOOL InsertIntoWord(CString text, int erase);

private:
    // Inserts the entry (unless the hook typed it already), records its use
    // and hides the prompt. last: the character of the key that chose it.
    LRESULT AcceptEntry(const CMatchItem &item, const OfferRequest &request, char last, bool keyDriven,
                        bool typedByHook);
    // The text before the caret as last taken, the focus window and the
    // settings of accepting, as they are now.
    OfferRequest RequestNow() const;
    // The IDE and word-processor adapters on the text before the caret.
    void ApplyDocAdapters(HWND focus, CString &text, POINT *caret, char lastChar, int *height);
    void SetTrayFace(BOOL enabled);
    // The tray icon's identity: the main window, icon 0.
    NOTIFYICONDATAA TrayIconData() const;

    CAppSettings &m_settings;
    MainWindowLinks m_links;
    CPromptLink *m_pPrompt = nullptr;
    HICON m_hIcon = nullptr;
    HICON m_hTrayIcon = nullptr;
    HICON m_hGrayIcon = nullptr;
};
