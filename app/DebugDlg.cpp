#include "DebugDlg.h"

#include <mutex>
#include <shellapi.h>

#include "AcceptPlan.h"
#include "EngineSettings.h"
#include "Folders.h"
#include "HookMessages.h"
#include "InputHelpers.h"
#include "LatencyStamps.h"
#include "Learning.h"
#include "LibrarySet.h"
#include "PromptOffer.h"
#include "RetrieveThread.h"
#include "SettingValues.h"
#include "Settings.h"
#include "SharedSection.h"
#include "Typing.h"
#include "UserMessage.h"
#include "WindowHelpers.h"
#include "WordCache.h"
#include "resource.h"

CString g_strCurrentWord;
int g_nCaretLineHeight = 0;
HANDLE g_hSendKeySyncEvent = nullptr;

static_assert(sizeof(g_nSendKey) == sizeof(LONG), "the shared key count is updated as a LONG");

namespace {
// The window the retrieving thread reports to, as it was when it started.
HWND g_hResultsWindow = nullptr;

void SendResultsToMainWindow(int id, int count)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(g_hResultsWindow, WM_RESULTS_READY, static_cast<WPARAM>(id), static_cast<LPARAM>(count),
                        SMTO_ABORTIFHUNG, 1000, &answer);
}

void PostRequestAgain() { PostMessageA(g_hResultsWindow, WM_REQUEST_PROMPT, 0, 0); }

// Messages from the hook and the results of the retrieving thread: none of
// them is acted on once shut-down has begun.
bool IsProtocolMessage(UINT msg)
{
    switch (msg) {
    case WM_RESULTS_READY:
    case WM_ACCEPT_ITEM:
    case WM_REQUEST_PROMPT:
    case WM_WORD_ENDED:
    case WM_HIDE_PROMPT:
    case WM_PROMPT_QUERY:
    case WM_EXPAND_ALIAS:
    case WM_ENTRY_CHOSEN:
        return true;
    default:
        return false;
    }
}

CString SharedText(const char (&buffer)[259]) { return CString(buffer, static_cast<int>(SharedStringLength(buffer))); }

// The text of the word end the hook numbered seq, while its slot still holds it.
bool TakeWordEnd(LONG seq, CString &text, char &last)
{
    WordEnd &slot = g_WordEnds[static_cast<unsigned long>(seq) % WORD_END_SLOTS];
    if (InterlockedCompareExchange(&slot.seq, seq, seq) != seq)
        return false;
    text = SharedText(slot.text);
    last = slot.last;
    return InterlockedCompareExchange(&slot.seq, seq, seq) == seq;
}
}  // namespace

CDebugDlg::CDebugDlg(CAppSettings &settings, const MainWindowLinks &links)
    : CDialog(IDD), m_settings(settings), m_links(links)
{
    m_hIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CDebugDlg::~CDebugDlg()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CDebugDlg::Create() { return CDialog::Create(IDD, nullptr); }

BOOL CDebugDlg::DestroyWindow()
{
    if (m_hWnd)
        KillTimer(IDT_SENDKEY_DEADLINE);
    return CWnd::DestroyWindow();
}

BOOL CDebugDlg::PreTranslateMessage(MSG *msg)
{
    // Esc typed into the debug face never closes the window. Keys posted to
    // the window itself are keys the hook forwarded: the dialog procedure
    // takes them.
    return msg && msg->hwnd != m_hWnd && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE;
}

BOOL CDebugDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // Lets processes of a lower integrity level reach the window; older
    // systems have no such filter.
    typedef BOOL(WINAPI * ChangeFilterProc)(UINT, DWORD);
    if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
        const auto change =
            reinterpret_cast<ChangeFilterProc>(reinterpret_cast<void *>(GetProcAddress(user32, "ChangeWindowMessageFilter")));
        if (change)
            for (UINT msg = WM_MAIN_FIRST; msg <= WM_MAIN_LAST; ++msg)
                change(msg, 1 /* MSGFLT_ADD */);
    }

    SetTimer(IDT_SENDKEY_DEADLINE, 500);

    m_hTrayIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_hGrayIcon = MakeGrayIcon(m_hTrayIcon);

    CheckDlgButton(m_hWnd, IDC_SHOW_DEBUG_MESSAGE, g_bDebugMsg ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(m_hWnd, IDC_DEBUG_LOG, EM_LIMITTEXT, 128000, 0);

    if (!g_hSendKeySyncEvent)
        g_hSendKeySyncEvent = CreateEventA(nullptr, FALSE, FALSE, "SendKeySync");
    g_hResultsWindow = m_hWnd;
    RetrieveReporter reporter;
    reporter.reportResults = &SendResultsToMainWindow;
    reporter.requestPromptAgain = &PostRequestAgain;
    StartRetrieveThread(reporter, m_settings.m_nRetrieveThreadPriority);
    return TRUE;
}

void CDebugDlg::OnDestroy()
{
    KillTimer(IDT_SENDKEY_DEADLINE);
    // The thread reports to this window: it must not outlive it.
    if (IsRetrieveThreadRunning())
        StopRetrieving();
    if (g_hResultsWindow == m_hWnd)
        g_hResultsWindow = nullptr;
    if (m_hGrayIcon) {
        DestroyIcon(m_hGrayIcon);
        m_hGrayIcon = nullptr;
    }
}

void CDebugDlg::StopRetrieving()
{
    g_bQuitting = TRUE;
    StopRetrieveThread();
}

INT_PTR CDebugDlg::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (g_bQuitting && IsProtocolMessage(msg)) {
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    switch (msg) {
    case WM_RESULTS_READY:
        result = OnResultsReady(static_cast<int>(wParam), static_cast<int>(lParam));
        break;
    case WM_ACCEPT_ITEM:
        result = OnAcceptItem(static_cast<int>(static_cast<INT_PTR>(wParam)), lParam);
        break;
    case WM_REQUEST_PROMPT:
        result = OnRequestPrompt(lParam);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Posted to the window itself: keys the hook forwarded while the
        // editing menu holds the keyboard; nothing here takes them yet.
        result = 0;
        break;
    case WM_ENTRY_CHOSEN:
        result = OnEntryChosen(static_cast<LONG>(wParam), lParam);
        break;
    case WM_WORD_ENDED:
        result = OnWordEnded(wParam);
        break;
    case WM_HIDE_PROMPT:
        result = OnHidePrompt();
        break;
    case WM_TRAY_NOTIFY:
        result = OnTrayNotify(lParam);
        break;
    case WM_MAIN_NOOP:
        break;
    case WM_PROMPT_QUERY:
        result = OnPromptQuery(wParam);
        break;
    case WM_EXPAND_ALIAS:
        ExpandAlias(FALSE);
        break;
    case WM_DEBUG_LOG:
        if (wParam)
            AppendDebugLog(reinterpret_cast<const char *>(wParam), TRUE);
        result = 1;
        break;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            ShowWindow(SW_HIDE);
        return FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    case 0x0365:  // WM_COMMANDHELP
        break;
    case WM_CLOSE:
        // After the shut-down the default handling closes the window, unless
        // the shut-down has destroyed it already.
        return !OnClose() || !m_hWnd;
    case WM_ENDSESSION:
        if (wParam) {
            g_bQuitting = TRUE;
            if (m_links.shutdown)
                m_links.shutdown(TRUE);
        }
        return FALSE;
    default:
        return CDialog::DialogProc(msg, wParam, lParam);
    }
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

BOOL CDebugDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return CDialog::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
    case IDC_CLEAR_CACHE: {
        {
            std::lock_guard<std::mutex> hold(EngineGuard());
            g_nCacheCount = 0;
        }
        ShowMessage("Cache cleared!");
        return TRUE;
    }
    case IDC_FLUSH_CACHE:
        FlushWordCacheToUserLib(FALSE);
        return TRUE;
    case IDC_CHECK_CACHE_ORDER:
        CheckWordCache();
        return TRUE;
    case IDC_CLEAR_LOG:
        SetDlgItemText(IDC_DEBUG_LOG, "");
        return TRUE;
    case IDC_CHECK_USER:
        if (m_links.checkUserLibrary)
            m_links.checkUserLibrary();
        return TRUE;
    case IDC_SETUP_WIZARD:
        if (m_links.runSetupWizard)
            m_links.runSetupWizard();
        return TRUE;
    case ID_REPAIR_TRAY_ICON:
        AddTrayIcon();
        return TRUE;
    case IDC_SHOW_DEBUG_MESSAGE:
        g_bDebugMsg = IsDlgButtonChecked(m_hWnd, IDC_SHOW_DEBUG_MESSAGE) == BST_CHECKED;
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CDebugDlg::OnTimer(UINT_PTR id)
{
    if (id != IDT_SENDKEY_DEADLINE)
        return;
    // Keys the hook never saw arrive: track the user's typing again. Only the
    // value that was found overdue is cleared, never a count set meanwhile.
    const LONG pending = g_nSendKey;
    if (pending != 0 && (pending < 0 || clock() > m_tkSendKeyDeadline))
        InterlockedCompareExchange(reinterpret_cast<volatile LONG *>(&g_nSendKey), 0, pending);
}

void CDebugDlg::SetSendKeyDeadline() { m_tkSendKeyDeadline = clock() + 50 * g_nSendKey; }

void CDebugDlg::SetSendKeyCount(int count)
{
    InterlockedExchange(reinterpret_cast<volatile LONG *>(&g_nSendKey), count);
    SetSendKeyDeadline();
}

void CDebugDlg::ApplyDocAdapters(HWND focus, CString &text, POINT *caret, char lastChar, int *height)
{
    const CString cls = GetWindowClassName(focus);
    if (cls == "VsTextEditPane" || cls.Left(11) == "HwndWrapper") {
        char title[65] = "";
        ::GetWindowTextA(GetAncestor(focus, GA_ROOT), title, sizeof title);
        if (CString(title) != "Commit to Subversion" && m_links.getVsTextBeforeCaret)
            m_links.getVsTextBeforeCaret(focus, text, lastChar);
    }
    if (m_links.getWordTextBeforeCaret)
        m_links.getWordTextBeforeCaret(text, caret, lastChar, height);
}

LRESULT CDebugDlg::OnRequestPrompt(LPARAM lParam)
{
    StampLatency(LATENCY_REQUEST_RECEIVED);
    HWND focus = hFocusEdit;
    HWND top = GetTopLevelWindow(focus);
    if (m_settings.m_bDisableWithIME && IsImeWindow(focus))
        return 0;
    const CString buffer = SharedText(WordBuffer);
    g_strCurrentWord = buffer;
    POINT caret = CaretPos;
    if (caret.x != -1)
        ClientToScreen(focus, &caret);
    RECT r;
    if (m_settings.m_bDisableSmallEdit && ::GetWindowRect(focus, &r) && r.bottom - r.top < 30)
        return 0;
    g_nCaretLineHeight = 0;
    ApplyDocAdapters(focus, g_strCurrentWord, &caret, 0, &g_nCaretLineHeight);
    if (m_links.quickRunWindow && top && top == m_links.quickRunWindow())
        return 0;
    if (GetWindowClassName(top).Find("#32770") >= 0 && m_settings.m_bNoPromptDlg && focus != hTestEdit)
        return 0;
    if (g_nPauseCount != 0)
        return 0;

    // What the prompt's rows will be planned from: the text and window the
    // hook saw, which its keys are checked against.
    OfferRequest request = RequestNow();
    request.buffer = buffer;
    SetOfferRequest(request);

    g_bAutoCompletePending = lParam != 0;
    m_tkLastRequest = clock();
    RequestCompletion(g_strCurrentWord, caret);
    return 1;
}

OfferRequest CDebugDlg::RequestNow() const
{
    OfferRequest request;
    request.buffer = SharedText(WordBuffer);
    request.target = hFocusEdit;
    request.typed = g_strCurrentWord;
    request.wordProcessor = m_links.isWordWindow && m_links.isWordWindow();
    request.hookTypes = !(request.wordProcessor && g_bMSWordEnhance);
    request.appendSpace = m_settings.m_bAppendSpaceOnCompletion;
    request.appendStr = m_settings.m_strAppendStr;
    return request;
}

BOOL CDebugDlg::RequestCompletion(const CString &word, POINT caret)
{
    SubmitRequest(word);
    if (m_pPrompt)
        m_pPrompt->Reset(caret);
    return TRUE;
}

LRESULT CDebugDlg::OnResultsReady(int id, int count)
{
    if (id != g_nRequestId)
        return 0;  // an older request, or one cancelled by a hide
    StampLatency(LATENCY_RESULTS_READY);
    if (g_bLatencyProbe)
        g_nLatencyResults = count;
    if (count == 0)
        g_bAutoCompletePending = FALSE;
    if (!m_pPrompt)
        return 0;
    if (count == 0 && m_pPrompt->IsAutoHide())
        m_pPrompt->ShowPrompt(FALSE);
    else
        m_pPrompt->FillPrompt(count);
    return 0;
}

LRESULT CDebugDlg::OnWordEnded(WPARAM seq)
{
    HWND focus = hFocusEdit;
    if (m_settings.m_bDisableWithIME && IsImeWindow(focus))
        return 0;
    CString text;
    char last = 0;
    if (seq == 0) {
        text = SharedText(WordBuffer);
        last = nLastChar;
    } else if (!TakeWordEnd(static_cast<LONG>(seq), text, last)) {
        return 0;  // overwritten by later words: too old to learn from
    }
    ApplyDocAdapters(focus, text, nullptr, last, nullptr);
    if (!text.IsEmpty() && g_bLibrariesOpen)
        LearnTypedText(text, last);
    return 0;
}

LRESULT CDebugDlg::OnHidePrompt()
{
    {
        std::lock_guard<std::mutex> hold(RequestLock());
        ++g_nRequestId;
    }
    HidePrompt();
    return 0;
}

void CDebugDlg::HidePrompt()
{
    if (!m_pPrompt)
        return;
    HWND prompt = m_pPrompt->GetPromptWindow();
    if (!prompt || !::IsWindow(prompt) || !::IsWindowVisible(prompt))
        return;
    if (m_pPrompt->IsAutoHide())
        m_pPrompt->ShowPrompt(FALSE);
    else
        EmptyPrompt();
}

void CDebugDlg::EmptyPrompt()
{
    {
        std::lock_guard<std::mutex> hold(RequestLock());
        ++g_nRequestId;
    }
    m_pPrompt->ClearPromptItems();
    m_pPrompt->UpdatePrompt(PROMPT_UPDATE_ERASE | PROMPT_UPDATE_NO_SHOW);
}

LRESULT CDebugDlg::OnPromptQuery(WPARAM wParam)
{
    if (wParam == 0)
        return m_pPrompt ? m_pPrompt->GetItemCount() : 0;
    if (wParam == 1)
        return ExpandAlias(TRUE);
    return 0;
}

BOOL CDebugDlg::ExpandAlias(BOOL test)
{
    if (!test)
        WaitKeysReleased(m_links.expandAliasKey ? m_links.expandAliasKey() : 0);
    const CString text = SharedText(WordBuffer);
    if (text.IsEmpty())
        return FALSE;
    const CString alias = GetTrailingAlias(text);
    if (alias.IsEmpty())
        return FALSE;
    const CString target = m_links.findAliasTarget ? m_links.findAliasTarget(alias) : CString();
    if (target.IsEmpty())
        return FALSE;
    if (!test) {
        HWND focus = hFocusEdit;
        const int n = SendKeysToWindow(focus, target, FALSE, FALSE, FALSE);
        SetSendKeyCount(n + alias.GetLength());
        SendBackspaces(focus, alias.GetLength());
        SendKeysToWindow(focus, target, FALSE, FALSE, TRUE);
    }
    return TRUE;
}

void CDebugDlg::AppendDebugLog(const CString &text, BOOL newline)
{
    HWND log = m_hWnd ? GetDlgItem(IDC_DEBUG_LOG) : nullptr;
    if (!log)
        return;
    if (::SendMessageA(log, EM_GETLINECOUNT, 0, 0) > 1000) {
        const LRESULT start = ::SendMessageA(log, EM_LINEINDEX, 500, 0);
        ::SendMessageA(log, EM_SETSEL, 0, start);
        ::SendMessageA(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
    }
    const int end = GetWindowTextLengthA(log);
    ::SendMessageA(log, EM_SETSEL, end, end);
    ::SendMessageA(log, EM_SCROLLCARET, 0, 0);
    CString line = text;
    if (newline)
        line += "\r\n";
    ::SendMessageA(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.GetString()));
}

void CDebugDlg::SetTrayFace(BOOL enabled)
{
    NOTIFYICONDATAA data = TrayIconData();
    data.uFlags = NIF_ICON;
    data.hIcon = enabled ? m_hTrayIcon : m_hGrayIcon;
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

NOTIFYICONDATAA CDebugDlg::TrayIconData() const
{
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uID = 0;
    return data;
}

void CDebugDlg::AddTrayIcon()
{
    NOTIFYICONDATAA data = TrayIconData();
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = bEnablePrompt || !m_hGrayIcon ? m_hTrayIcon : m_hGrayIcon;
    lstrcpynA(data.szTip, g_strProductName, sizeof data.szTip);
    // The first runs explain where the program went.
    if (m_settings.m_nRunCount < 6) {
        data.uFlags |= NIF_INFO;
        data.dwInfoFlags = NIIF_INFO;
        data.uTimeout = 15000;
        lstrcpynA(data.szInfoTitle, g_strProductName, sizeof data.szInfoTitle);
        const CString text = g_strProductName +
                             " is running in background. Right click on the tray icon to access the menu. Left click "
                             "to enable/disable auto-prompt.";
        lstrcpynA(data.szInfo, text, sizeof data.szInfo);
    }
    Shell_NotifyIconA(NIM_ADD, &data);
}

void CDebugDlg::SetAutoPrompt(BOOL on)
{
    if (on) {
        bEnablePrompt = 1;
        SetTrayFace(TRUE);
        return;
    }
    if (m_pPrompt) {
        m_pPrompt->ShowPrompt(FALSE);
        m_pPrompt->ReleasePromptAppBarSpace();
    }
    bEnablePrompt = 0;
    SetTrayFace(FALSE);
}

void CDebugDlg::ToggleAutoPrompt() { SetAutoPrompt(!bEnablePrompt); }

LRESULT CDebugDlg::OnTrayNotify(LPARAM lParam)
{
    if (lParam == WM_LBUTTONDOWN) {
        if ((GetAsyncKeyState(VK_CONTROL) & 0x8000) && (GetAsyncKeyState(VK_MENU) & 0x8000)) {
            ShowWindow(SW_SHOW);
            SetForegroundWindow();
        } else {
            ToggleAutoPrompt();
        }
    } else if (lParam == WM_RBUTTONDOWN) {
        SetForegroundWindow();
        if (m_links.modalDialogOpen && m_links.modalDialogOpen())
            MessageBeep(0xFFFFFFFF);
    }
    return 0;
}

BOOL CDebugDlg::OnClose()
{
    if (m_links.modalDialogOpen && m_links.modalDialogOpen()) {
        ShowMessage("Please close active dialog first!");
        return FALSE;
    }
    g_bQuitting = TRUE;
    NOTIFYICONDATAA data = TrayIconData();
    Shell_NotifyIconA(NIM_DELETE, &data);
    if (m_links.unregisterHotKeys)
        m_links.unregisterHotKeys();
    if (m_links.shutdown)
        m_links.shutdown(FALSE);
    return TRUE;
}
