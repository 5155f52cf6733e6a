#include "DocAdapters.h"

#include <objbase.h>
#include <oleauto.h>
#include <psapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Automation.h"
#include "InputHelpers.h"
#include "PathText.h"
#include "SharedSection.h"
#include "WindowHelpers.h"


namespace {

// Dispatch ids of the word processor's members.
const DISPID DISPID_APP_ACTIVEWINDOW = 4;
const DISPID DISPID_APP_VERSION = 0x18;
const DISPID DISPID_WINDOW_SELECTION = 4;
const DISPID DISPID_WINDOW_GETPOINT = 0x70;
const DISPID DISPID_SELECTION_RANGE = 0x190;
const DISPID DISPID_RANGE_TEXT = 0;
const DISPID DISPID_RANGE_MOVE = 0x6D;
const DISPID DISPID_RANGE_MOVESTART = 0x6E;
const int WORD_UNIT_CHARACTER = 1;
// Characters read back from the caret; DOC_TEXT_MAX of them are kept.
const int WORD_READ_CHARS = 258;
// Versions up to this one cannot place a point on the screen.
const double WORD_LAST_VERSION_WITHOUT_POINT = 8.99;

// Holds one reference and releases it on every way out.
class DispRef {
public:
    DispRef() = default;
    ~DispRef() { Reset(); }
    DispRef(const DispRef &) = delete;
    DispRef &operator=(const DispRef &) = delete;
    IDispatch *Get() const { return m_p; }
    IDispatch **Out()
    {
        Reset();
        return &m_p;
    }
    void Reset()
    {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }

private:
    IDispatch *m_p = nullptr;
};

class VariantHolder {
public:
    VariantHolder() { VariantInit(&v); }
    ~VariantHolder() { VariantClear(&v); }
    VariantHolder(const VariantHolder &) = delete;
    VariantHolder &operator=(const VariantHolder &) = delete;
    VARIANT v;
};

// Takes the object out of a result; fails for an empty or non-object result.
HRESULT TakeObject(VARIANT &result, IDispatch **object)
{
    *object = nullptr;
    if (result.vt == VT_DISPATCH && result.pdispVal) {
        *object = result.pdispVal;
        (*object)->AddRef();
    } else if (result.vt == VT_UNKNOWN && result.punkVal) {
        const HRESULT hr = result.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(object));
        if (FAILED(hr))
            return hr;
    }
    return *object ? S_OK : E_NOINTERFACE;
}

// 8-bit text of a text result (converted when the server answered another
// type).
HRESULT TakeText(VARIANT &result, CString &text)
{
    if (result.vt != VT_BSTR) {
        const HRESULT hr = VariantChangeType(&result, &result, 0, VT_BSTR);
        if (FAILED(hr))
            return hr;
    }
    const int wideLength = static_cast<int>(SysStringLen(result.bstrVal));
    if (wideLength == 0) {
        text.Empty();
        return S_OK;
    }
    const int length = WideCharToMultiByte(CP_ACP, 0, result.bstrVal, wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return E_FAIL;
    std::vector<char> bytes(static_cast<size_t>(length));
    WideCharToMultiByte(CP_ACP, 0, result.bstrVal, wideLength, bytes.data(), length, nullptr, nullptr);
    text = CString(bytes.data(), length);
    return S_OK;
}

// Calls a member by dispatch id; arguments in the order the member takes
// them.
HRESULT InvokeId(IDispatch *object, DISPID id, WORD kind, VARIANT *arguments, int count, VARIANT *result)
{
    std::vector<VARIANT> reversed;
    for (int i = count - 1; i >= 0; --i)
        reversed.push_back(arguments[i]);
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, &params, result, nullptr, nullptr);
}

HRESULT GetObjectById(IDispatch *object, DISPID id, IDispatch **child)
{
    VariantHolder result;
    const HRESULT hr = InvokeId(object, id, DISPATCH_PROPERTYGET, nullptr, 0, &result.v);
    return FAILED(hr) ? hr : TakeObject(result.v, child);
}

HRESULT CallIntMethod(IDispatch *object, DISPID id, int first, int second)
{
    VARIANT arguments[2];
    arguments[0].vt = VT_I4;
    arguments[0].lVal = first;
    arguments[1].vt = VT_I4;
    arguments[1].lVal = second;
    VariantHolder result;
    return InvokeId(object, id, DISPATCH_METHOD, arguments, 2, &result.v);
}

HRESULT GetObjectByName(IDispatch *object, const wchar_t *name, IDispatch **child)
{
    VariantHolder result;
    const HRESULT hr = GetDispProperty(object, name, &result.v);
    return FAILED(hr) ? hr : TakeObject(result.v, child);
}

HRESULT CallObjectMethod(IDispatch *object, const wchar_t *name, VARIANT *arguments, int count, IDispatch **child)
{
    VariantHolder result;
    const HRESULT hr = CallDispMethod(object, name, arguments, count, &result.v);
    return FAILED(hr) ? hr : TakeObject(result.v, child);
}

// Keeps the last characters that the adapters may hand out.
void KeepTail(CString &text) { text = text.Right(DOC_TEXT_MAX); }

// The running IDE instance that belongs to the process, from the Running
// Object Table: its entry's display name holds "VisualStudio.DTE" and, after
// the first ':', the process id.
bool FindVsInstance(DWORD pid, IUnknown **instance)
{
    *instance = nullptr;
    IRunningObjectTable *table = nullptr;
    if (FAILED(GetRunningObjectTable(0, &table)) || !table)
        return false;
    IEnumMoniker *entries = nullptr;
    if (FAILED(table->EnumRunning(&entries)) || !entries) {
        table->Release();
        return false;
    }
    const std::string wanted = std::to_string(pid);
    IMoniker *moniker = nullptr;
    while (!*instance && entries->Next(1, &moniker, nullptr) == S_OK) {
        IBindCtx *context = nullptr;
        LPOLESTR wideName = nullptr;
        std::string name;
        if (SUCCEEDED(CreateBindCtx(0, &context)) && SUCCEEDED(moniker->GetDisplayName(context, nullptr, &wideName)) &&
            wideName) {
            const int length = WideCharToMultiByte(CP_ACP, 0, wideName, -1, nullptr, 0, nullptr, nullptr);
            if (length > 1) {
                name.resize(static_cast<size_t>(length));
                WideCharToMultiByte(CP_ACP, 0, wideName, -1, &name[0], length, nullptr, nullptr);
                name.resize(static_cast<size_t>(length - 1));
            }
            CoTaskMemFree(wideName);
        }
        if (context)
            context->Release();
        const size_t colon = name.find(':');
        if (name.find("VisualStudio.DTE") != std::string::npos && colon != std::string::npos &&
            name.compare(colon + 1, std::string::npos, wanted) == 0) {
            IUnknown *object = nullptr;
            if (SUCCEEDED(table->GetObject(moniker, &object)) && object)
                *instance = object;
        }
        moniker->Release();
    }
    entries->Release();
    table->Release();
    return *instance != nullptr;
}

// Word-processor adapter state: set while a call talks to the application,
// and the caret point it last read.
BOOL s_bWordBusy = FALSE;
POINT s_ptLastWordCaret = {0, 0};

class BusyScope {
public:
    BusyScope() { s_bWordBusy = TRUE; }
    ~BusyScope() { s_bWordBusy = FALSE; }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
};

// The current line up to the caret from the IDE's automation object.
BOOL ReadVsTextBeforeCaret(IDispatch *dte, CString &text, char lastChar)
{
    if (!dte)
        return FALSE;
    DispRef document, textDocument, selection, active, caretPoint, lineStart;
    if (FAILED(GetObjectByName(dte, L"ActiveDocument", document.Out())))
        return FALSE;
    VARIANT kind;
    kind.vt = VT_BSTR;
    kind.bstrVal = SysAllocString(L"TextDocument");
    const HRESULT hr = CallObjectMethod(document.Get(), L"Object", &kind, 1, textDocument.Out());
    SysFreeString(kind.bstrVal);
    if (FAILED(hr) || FAILED(GetObjectByName(textDocument.Get(), L"Selection", selection.Out())) ||
        FAILED(GetObjectByName(selection.Get(), L"ActivePoint", active.Out())) ||
        FAILED(CallObjectMethod(active.Get(), L"CreateEditPoint", nullptr, 0, caretPoint.Out())))
        return FALSE;

    // From here on the document was reached: a failure keeps the old text.
    if (lastChar) {
        VARIANT count;
        count.vt = VT_I4;
        count.lVal = 1;
        if (FAILED(CallDispMethod(caretPoint.Get(), L"CharLeft", &count, 1, nullptr)))
            return TRUE;
    }
    if (FAILED(CallObjectMethod(caretPoint.Get(), L"CreateEditPoint", nullptr, 0, lineStart.Out())) ||
        FAILED(CallDispMethod(lineStart.Get(), L"StartOfLine", nullptr, 0, nullptr)))
        return TRUE;
    VARIANT end;
    end.vt = VT_DISPATCH;
    end.pdispVal = caretPoint.Get();
    VariantHolder line;
    CString read;
    if (SUCCEEDED(CallDispMethod(lineStart.Get(), L"GetText", &end, 1, &line.v)) && SUCCEEDED(TakeText(line.v, read))) {
        KeepTail(read);
        text = read;
    }
    return TRUE;
}

}  // namespace

BOOL GetVsTextBeforeCaret(HWND focus, CString &text, char lastChar)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(focus, &pid);
    IUnknown *instance = nullptr;
    if (!FindVsInstance(pid, &instance))
        return FALSE;
    DispRef dte;
    const HRESULT hr = instance->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(dte.Out()));
    instance->Release();
    if (FAILED(hr) || !dte.Get())
        return FALSE;
    return ReadVsTextBeforeCaret(dte.Get(), text, lastChar);
}

BOOL IsWordWindow()
{
    const HWND focus = hFocusEdit;
    if (!focus || GetWindowClassName(focus).Compare("_WwG") != 0)
        return FALSE;
    DWORD pid = 0;
    GetWindowThreadProcessId(focus, &pid);
    // Reading the image name needs no more than these rights.
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        return FALSE;
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameExA(process, nullptr, path, sizeof path);
    CloseHandle(process);
    if (length == 0 || length >= sizeof path)
        return FALSE;
    return GetFileName(path).CompareNoCase("winword.exe") == 0 ? TRUE : FALSE;
}

BOOL GetRunningWordApp(IDispatch *&app)
{
    app = nullptr;
    if (GetRunningObject(L"Word.Application", &app))
        return TRUE;
    // The application registers itself as the running object when it is
    // activated; a hung one must not hang the caller.
    const HWND root = GetRootWindow(hFocusEdit);
    if (root) {
        for (WPARAM active = 0; active <= 1; ++active) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(root, WM_ACTIVATEAPP, active, 0, SMTO_ABORTIFHUNG, WORD_NUDGE_TIMEOUT_MS, &answer);
        }
    }
    return GetRunningObject(L"Word.Application", &app) ? TRUE : FALSE;
}

void ReadWordTextBeforeCaret(IDispatch *app, CString &text, POINT *caret, char lastChar, int *height)
{
    if (!app)
        return;
    VariantHolder versionText;
    CString version;
    if (FAILED(InvokeId(app, DISPID_APP_VERSION, DISPATCH_PROPERTYGET, nullptr, 0, &versionText.v)) ||
        FAILED(TakeText(versionText.v, version)))
        return;
    const double versionNumber = atof(version);

    DispRef window, selection, range;
    if (FAILED(GetObjectById(app, DISPID_APP_ACTIVEWINDOW, window.Out())) ||
        FAILED(GetObjectById(window.Get(), DISPID_WINDOW_SELECTION, selection.Out())) ||
        FAILED(GetObjectById(selection.Get(), DISPID_SELECTION_RANGE, range.Out())))
        return;

    if (versionNumber > WORD_LAST_VERSION_WITHOUT_POINT) {
        if (!g_bMSWordEnhance)
            return;
        if (caret) {
            LONG left = -1, top = -1, width = -1, pointHeight = -1;
            VARIANT arguments[5];
            LONG *outputs[4] = {&left, &top, &width, &pointHeight};
            for (int i = 0; i < 4; ++i) {
                arguments[i].vt = VT_BYREF | VT_I4;
                arguments[i].plVal = outputs[i];
            }
            arguments[4].vt = VT_DISPATCH;
            arguments[4].pdispVal = range.Get();
            VariantHolder ignored;
            if (FAILED(InvokeId(window.Get(), DISPID_WINDOW_GETPOINT, DISPATCH_METHOD, arguments, 5, &ignored.v)))
                return;
            caret->x = left;
            caret->y = top;
            s_ptLastWordCaret = *caret;
            if (height)
                *height = pointHeight;
        }
    }

    if (!g_bMSWordEnhance)
        return;
    // Leaves out the character that ended the word; moving also collapses a
    // selection to its start.
    if (lastChar && FAILED(CallIntMethod(range.Get(), DISPID_RANGE_MOVE, WORD_UNIT_CHARACTER, -1)))
        return;
    if (FAILED(CallIntMethod(range.Get(), DISPID_RANGE_MOVESTART, WORD_UNIT_CHARACTER, -WORD_READ_CHARS)))
        return;
    VariantHolder rangeText;
    CString read;
    if (FAILED(InvokeId(range.Get(), DISPID_RANGE_TEXT, DISPATCH_PROPERTYGET, nullptr, 0, &rangeText.v)) ||
        FAILED(TakeText(rangeText.v, read)))
        return;
    KeepTail(read);
    text = read;
}

void GetWordTextBeforeCaret(CString &text, POINT *caret, char lastChar, int *height)
{
    if (!g_bMSWordEnhance || !IsWordWindow())
        return;
    if (s_bWordBusy) {
        if (caret)
            *caret = s_ptLastWordCaret;
        return;
    }
    BusyScope busy;
    DispRef app;
    if (!GetRunningWordApp(*app.Out()))
        return;
    ReadWordTextBeforeCaret(app.Get(), text, caret, lastChar, height);
}
