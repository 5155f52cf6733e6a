// Accepting a prompt entry: the main window types the planned text into the
// application that had the focus, or inserts it through the word processor.
#include <mutex>
#include <vector>

#include "AcceptPlan.h"
#include "CharClasses.h"
#include "DebugDlg.h"
#include "EngineSettings.h"
#include "HookMessages.h"
#include "InputHelpers.h"
#include "Learning.h"
#include "PromptOffer.h"
#include "Retrieve.h"
#include "RetrieveThread.h"
#include "Settings.h"
#include "SharedSection.h"
#include "Typing.h"
#include "WindowHelpers.h"

namespace {
// Dispatch ids of the word processor's automation members.
enum : DISPID {
    DISPID_APP_ACTIVE_DOCUMENT = 3,
    DISPID_APP_ACTIVE_WINDOW = 4,
    DISPID_WINDOW_SELECTION = 4,
    DISPID_SELECTION_START = 3,
    DISPID_SELECTION_END = 4,
    DISPID_SELECTION_SET_RANGE = 0x64,
    DISPID_DOCUMENT_RANGE = 0x7D0,
    DISPID_RANGE_TEXT = 0,
    DISPID_RANGE_BOLD = 0x82,
    DISPID_RANGE_ITALIC = 0x83,
    DISPID_RANGE_UNDERLINE = 0x8B,
};

// One late-bound call; arguments in the order the member takes them.
HRESULT Invoke(IDispatch *object, DISPID id, WORD kind, std::vector<VARIANT> args, VARIANT *result)
{
    if (!object)
        return E_POINTER;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (kind == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    if (result)
        VariantInit(result);
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr);
}

VARIANT IntArg(long value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

// An object-valued member, released with the holder.
struct DispRef {
    IDispatch *p = nullptr;
    DispRef() = default;
    DispRef(const DispRef &) = delete;
    DispRef &operator=(const DispRef &) = delete;
    ~DispRef()
    {
        if (p)
            p->Release();
    }
    bool Get(IDispatch *object, DISPID id, WORD kind = DISPATCH_PROPERTYGET, std::vector<VARIANT> args = {})
    {
        VARIANT v;
        if (FAILED(Invoke(object, id, kind, std::move(args), &v)))
            return false;
        if (v.vt == VT_DISPATCH && v.pdispVal) {
            p = v.pdispVal;
            return true;
        }
        VariantClear(&v);
        return false;
    }
};

bool GetInt(IDispatch *object, DISPID id, long &value)
{
    VARIANT v;
    if (FAILED(Invoke(object, id, DISPATCH_PROPERTYGET, {}, &v)))
        return false;
    const bool ok = SUCCEEDED(VariantChangeType(&v, &v, 0, VT_I4));
    if (ok)
        value = v.lVal;
    VariantClear(&v);
    return ok;
}

bool PutInt(IDispatch *object, DISPID id, long value)
{
    return SUCCEEDED(Invoke(object, id, DISPATCH_PROPERTYPUT, {IntArg(value)}, nullptr));
}

bool PutText(IDispatch *object, DISPID id, const CString &text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.GetString(), text.GetLength(), nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, 0);
    MultiByteToWideChar(CP_ACP, 0, text.GetString(), text.GetLength(), wide.data(), length);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(length));
    const HRESULT hr = Invoke(object, id, DISPATCH_PROPERTYPUT, {v}, nullptr);
    VariantClear(&v);
    return SUCCEEDED(hr);
}

// A "^" that is not written as "\^" marks formatting keys.
bool HasFormattingMarker(const CString &text)
{
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] == '^' && (i == 0 || text[i - 1] != '\\'))
            return true;
    return false;
}
}  // namespace

LRESULT CDebugDlg::OnAcceptItem(int row, LPARAM flag)
{
    // Chosen in the prompt or by a manual activation's results: the entry of
    // the prompt's row, for the text of the current request.
    if (!m_pPrompt)
        return 0;
    CMatchItem item(m_pPrompt->GetItemText(row), m_pPrompt->GetItemKey(row));
    return AcceptEntry(item, RequestNow(), 0, flag == 1, false);
}

LRESULT CDebugDlg::OnEntryChosen(LONG id, LPARAM how)
{
    CMatchItem item;
    OfferRequest request;
    const long lParam = static_cast<long>(how);
    if (!FindOfferedEntry(id, EntryChosenRow(lParam), item, request)) {
        // Typed already, from an offer too old to know: only the prompt goes.
        OnHidePrompt();
        return 0;
    }
    return AcceptEntry(item, request, EntryChosenChar(lParam), EntryChosenKeyDriven(lParam),
                       EntryChosenTypedByHook(lParam));
}

LRESULT CDebugDlg::AcceptEntry(const CMatchItem &item, const OfferRequest &request, char last, bool keyDriven,
                               bool typedByHook)
{
    const BOOL isWord = request.wordProcessor;
    HWND target = request.target;

    CString line;
    line.Format("nLastChar=%c", last);
    AppendDebugLog(line, TRUE);

    if (hWndManualActivate)
        hWndManualActivate = nullptr;

    // A hot key's keys would otherwise be taken for a choice; an entry the
    // hook typed is in the text already and is recorded whatever came before.
    if (!typedByHook && m_tkLastHotKey && clock() - m_tkLastHotKey < 300)
        return 0;

    const AcceptInput in = MakeAcceptInput(item, request, last, keyDriven);
    const AcceptPlan plan = PlanAcceptedEntry(in);
    if (!plan.insert)
        return 0;

    // Chosen in the prompt, which has the focus: type into the window that
    // had it before.
    if (!typedByHook && m_pPrompt && hPromptWnd && GetTopLevelWindow(target) == hPromptWnd) {
        target = m_pPrompt->GetLastFocus();
        ::SetForegroundWindow(GetTopLevelWindow(target));
    }

    if (plan.shorthand) {
        {
            std::lock_guard<std::mutex> hold(EngineGuard());
            RecordShorthandUse(in.itemKey, TRUE);
        }
        if (!typedByHook && !InsertIntoWord(plan.toType, plan.erase)) {
            const int n = SendKeysToWindow(target, plan.toType, TRUE, FALSE, FALSE);
            SetSendKeyCount(n + plan.erase);
            SendBackspaces(target, plan.erase);
            SendKeysToWindow(target, plan.toType, TRUE, FALSE, TRUE);
        }
    } else {
        if (plan.learn)
            LearnWord(plan.text, TRUE, 1, nullptr, FALSE);
        if (!typedByHook && !InsertIntoWord(plan.toType, plan.erase)) {
            if (!plan.caseDiffers && IsPrintableText(plan.toType, FALSE) && !isWord &&
                GetWindowClassName(target).Left(9) == "gdkWindow") {
                // Posted characters carry the mark the hook ignores.
                SendKeysToWindow(target, plan.toType, FALSE, TRUE, TRUE);
            } else {
                const int n = SendKeysToWindow(target, plan.toType, FALSE, FALSE, FALSE);
                SetSendKeyCount(n + plan.erase);
                SendBackspaces(target, plan.erase);
                SendKeysToWindow(target, plan.toType, FALSE, FALSE, TRUE);
            }
        }
    }
    g_strCurrentWord = plan.newCurrentWord;
    // Results still on their way for the text before the entry are stale.
    OnHidePrompt();
    return 0;
}

BOOL CDebugDlg::InsertIntoWord(CString text, int erase)
{
    bool spaceAfter = false;
    if (!text.IsEmpty() && text[text.GetLength() - 1] == ' ') {
        text = text.Left(text.GetLength() - 1);
        spaceAfter = true;
    }
    if (HasKeyCodes(text) || !g_bMSWordEnhance || !m_links.isWordWindow || !m_links.isWordWindow() ||
        !m_links.getRunningWordApp)
        return FALSE;
    text.Replace("\\cr", "\n");

    IDispatch *appObject = nullptr;
    if (!m_links.getRunningWordApp(appObject) || !appObject)
        return FALSE;
    DispRef app;
    app.p = appObject;
    DispRef window, selection, document, range;
    long start = 0, end = 0;
    if (!window.Get(app.p, DISPID_APP_ACTIVE_WINDOW) || !selection.Get(window.p, DISPID_WINDOW_SELECTION) ||
        !document.Get(app.p, DISPID_APP_ACTIVE_DOCUMENT) || !GetInt(selection.p, DISPID_SELECTION_START, start) ||
        !GetInt(selection.p, DISPID_SELECTION_END, end))
        return FALSE;
    start -= erase;
    if (start < 0)
        start = 0;
    if (!range.Get(document.p, DISPID_DOCUMENT_RANGE, DISPATCH_METHOD, {IntArg(start), IntArg(end)}))
        return FALSE;

    if (HasFormattingMarker(text)) {
        // The keys toggle bold, italic and underline: start them from off
        // over the range they replace, and let the caller type them.
        if (text.Find("^b") >= 0)
            PutInt(range.p, DISPID_RANGE_BOLD, 0);
        if (text.Find("^i") >= 0)
            PutInt(range.p, DISPID_RANGE_ITALIC, 0);
        if (text.Find("^u") >= 0)
            PutInt(range.p, DISPID_RANGE_UNDERLINE, 0);
        return FALSE;
    }

    text.Replace("\\hh", "\x1E");
    if (!PutText(range.p, DISPID_RANGE_TEXT, text))
        return FALSE;
    const long caret = start + text.GetLength();
    Invoke(selection.p, DISPID_SELECTION_SET_RANGE, DISPATCH_METHOD, {IntArg(caret), IntArg(caret)}, nullptr);

    // The hook's buffers follow what the line now holds.
    CString line(WordBuffer, static_cast<int>(SharedStringLength(WordBuffer)));
    line = erase >= line.GetLength() ? CString() : line.Left(line.GetLength() - erase);
    line = (line + text).Right(257);
    SetSharedString(WordBuffer, line);
    SetSharedString(CharBuf, line);

    if (spaceAfter)
        SendKeysToWindow(hFocusEdit, " ", FALSE, TRUE, TRUE);
    return TRUE;
}
