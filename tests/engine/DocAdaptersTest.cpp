// The word-processor and IDE adapters against automation objects of our own
// that answer the members the adapters call. Tests that need the focused
// window to belong to the word processor's process run in a copy of this
// program named "winword.exe" (WordProcess.*, registered only there).
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "DocAdapters.h"
#include "ProgramPath.h"
#include "SharedSection.h"
#include "TempDir.h"
#include "TestWindow.h"

namespace {

// An automation object whose members are handlers, reachable by dispatch id
// and, when given one, by name.
class FakeDispatch final : public IDispatch {
public:
    using Handler = std::function<HRESULT(WORD kind, DISPPARAMS *params, VARIANT *result)>;

    void On(DISPID id, Handler handler, const wchar_t *name = nullptr)
    {
        m_handlers[id] = std::move(handler);
        if (name)
            m_names[name] = id;
    }
    // Every member called, in order.
    std::vector<DISPID> calls;
    ULONG Refs() const { return m_refs; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch *>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (const auto &entry : m_names)
                if (_wcsicmp(entry.first.c_str(), names[i]) == 0)
                    ids[i] = entry.second;
            if (ids[i] == DISPID_UNKNOWN)
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *, UINT *) override
    {
        calls.push_back(id);
        const auto handler = m_handlers.find(id);
        if (handler == m_handlers.end())
            return DISP_E_MEMBERNOTFOUND;
        if (result)
            VariantInit(result);
        return handler->second(kind, params, result);
    }

private:
    std::atomic<ULONG> m_refs{1};
    std::map<DISPID, Handler> m_handlers;
    std::map<std::wstring, DISPID> m_names;
};

// The test's own reference to a fake.
using FakeRef = std::unique_ptr<FakeDispatch, void (*)(FakeDispatch *)>;
FakeRef MakeFake()
{
    return FakeRef(new FakeDispatch, [](FakeDispatch *fake) { fake->Release(); });
}

HRESULT ReturnObject(VARIANT *result, IDispatch *object)
{
    if (!result)
        return E_INVALIDARG;
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    object->AddRef();
    return S_OK;
}

HRESULT ReturnText(VARIANT *result, const std::wstring &text)
{
    if (!result)
        return E_INVALIDARG;
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return S_OK;
}

// An argument counted from the first the member takes (IDispatch passes them
// last first).
VARIANT &Arg(DISPPARAMS *params, UINT index) { return params->rgvarg[params->cArgs - 1 - index]; }

std::wstring Repeat(const std::wstring &unit, size_t times)
{
    std::wstring text;
    for (size_t i = 0; i < times; ++i)
        text += unit;
    return text;
}

std::string Narrow(const std::wstring &text) { return std::string(text.begin(), text.end()); }

class ComScope {
public:
    ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComScope() { CoUninitialize(); }
};

// ---------------------------------------------------------------------------
// The word processor: an application with one window whose selection is a
// collapsed range at the caret of a document.

const DISPID kVersion = 0x18, kActiveWindow = 4, kSelection = 4, kGetPoint = 0x70, kRange = 0x190, kText = 0,
             kMove = 0x6D, kMoveStart = 0x6E;

class WordFake {
public:
    std::wstring document;
    size_t caret = 0;
    std::wstring version = L"11.0";
    RECT point = {0, 0, 0, 0};  // left, top, width, height answered by GetPoint
    bool hasWindow = true;
    // Members (by name) that answer with an automation error.
    std::vector<std::string> failing;
    // Run inside a member before it answers (for switch-offs and nested
    // calls).
    std::map<std::string, std::function<void()>> during;

    FakeRef app = MakeFake(), window = MakeFake(), selection = MakeFake();
    std::vector<FakeRef> ranges;

    WordFake()
    {
        app->On(kVersion, Member("Version", [this](WORD, DISPPARAMS *, VARIANT *r) { return ReturnText(r, version); }));
        app->On(kActiveWindow, Member("ActiveWindow", [this](WORD, DISPPARAMS *, VARIANT *r) {
                    if (!hasWindow) {
                        r->vt = VT_DISPATCH;  // an empty object
                        return S_OK;
                    }
                    return ReturnObject(r, window.get());
                }));
        window->On(kSelection, Member("Selection", [this](WORD, DISPPARAMS *, VARIANT *r) {
                       return ReturnObject(r, selection.get());
                   }));
        window->On(kGetPoint, Member("GetPoint", [this](WORD kind, DISPPARAMS *p, VARIANT *) {
                       if (!(kind & DISPATCH_METHOD) || p->cArgs != 5 || Arg(p, 4).vt != VT_DISPATCH ||
                           !Arg(p, 4).pdispVal)
                           return DISP_E_BADPARAMCOUNT;
                       const LONG values[4] = {point.left, point.top, point.right, point.bottom};
                       for (UINT i = 0; i < 4; ++i) {
                           if (Arg(p, i).vt != (VT_BYREF | VT_I4) || *Arg(p, i).plVal != -1)
                               return DISP_E_TYPEMISMATCH;
                           *Arg(p, i).plVal = values[i];
                       }
                       return S_OK;
                   }));
        selection->On(kRange, Member("Range", [this](WORD, DISPPARAMS *, VARIANT *r) {
                          return ReturnObject(r, NewRange(caret, caret));
                      }));
    }

    // Every object is back to the test's one reference.
    bool AllReleased() const
    {
        bool released = app->Refs() == 1 && window->Refs() == 1 && selection->Refs() == 1;
        for (const auto &range : ranges)
            released = released && range->Refs() == 1;
        return released;
    }
    int CallsOf(DISPID id, const FakeRef &object) const
    {
        return static_cast<int>(std::count(object->calls.begin(), object->calls.end(), id));
    }
    int RangeCalls(DISPID id) const
    {
        int n = 0;
        for (const auto &range : ranges)
            n += CallsOf(id, range);
        return n;
    }

private:
    FakeDispatch::Handler Member(std::string name, FakeDispatch::Handler handler)
    {
        return [this, name, handler](WORD kind, DISPPARAMS *p, VARIANT *r) -> HRESULT {
            const auto run = during.find(name);
            if (run != during.end())
                run->second();
            if (std::find(failing.begin(), failing.end(), name) != failing.end())
                return DISP_E_EXCEPTION;
            return handler(kind, p, r);
        };
    }

    IDispatch *NewRange(size_t start, size_t end)
    {
        ranges.push_back(MakeFake());
        FakeDispatch *range = ranges.back().get();
        auto bounds = std::make_shared<std::pair<size_t, size_t>>(start, end);
        auto moved = [this](size_t at, LONG by) {
            const long long to = static_cast<long long>(at) + by;
            return static_cast<size_t>(std::clamp<long long>(to, 0, static_cast<long long>(document.size())));
        };
        range->On(kText, Member("Text", [this, bounds](WORD, DISPPARAMS *, VARIANT *r) {
                      return ReturnText(r, document.substr(bounds->first, bounds->second - bounds->first));
                  }));
        // Move and MoveStart take (Unit, Count); only characters are known here.
        range->On(kMove, Member("Move", [bounds, moved](WORD, DISPPARAMS *p, VARIANT *r) {
                      if (p->cArgs != 2 || Arg(p, 0).lVal != 1)
                          return E_INVALIDARG;
                      bounds->first = bounds->second = moved(bounds->first, Arg(p, 1).lVal);
                      r->vt = VT_I4;
                      r->lVal = 1;
                      return S_OK;
                  }));
        range->On(kMoveStart, Member("MoveStart", [bounds, moved](WORD, DISPPARAMS *p, VARIANT *r) {
                      if (p->cArgs != 2 || Arg(p, 0).lVal != 1)
                          return E_INVALIDARG;
                      bounds->first = std::min(moved(bounds->first, Arg(p, 1).lVal), bounds->second);
                      r->vt = VT_I4;
                      r->lVal = 1;
                      return S_OK;
                  }));
        return range;
    }
};

// Registers a class id under the word processor's ProgID for the test's
// lifetime (in the test's throw-away prefix; Wine reads ProgIDs from the
// machine's classes only), and the object as that class's running instance.
// A class id found there already (left by a crashed run) is put back.
class WordRegistration {
public:
    WordRegistration()
    {
        wchar_t old[64] = L"";
        LONG size = sizeof old;
        m_hadOld = RegQueryValueW(HKEY_CLASSES_ROOT, L"Word.Application\\CLSID", old, &size) == ERROR_SUCCESS;
        m_old = old;
        CoCreateGuid(&m_clsid);
        wchar_t text[64] = L"";
        StringFromGUID2(m_clsid, text, 64);
        SetProgIdClass(text);
    }
    ~WordRegistration()
    {
        Revoke();
        if (m_hadOld) {
            SetProgIdClass(m_old.c_str());
        } else {
            RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Word.Application\\CLSID");
            RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Word.Application");
        }
    }
    // The class id that the ProgID now stands for is ours.
    bool Resolves() const
    {
        CLSID found = {};
        return SUCCEEDED(CLSIDFromProgID(L"Word.Application", &found)) && IsEqualCLSID(found, m_clsid);
    }
    bool Run(IDispatch *app)
    {
        return SUCCEEDED(RegisterActiveObject(app, m_clsid, ACTIVEOBJECT_STRONG, &m_cookie)) && m_cookie;
    }
    void Revoke()
    {
        if (m_cookie)
            RevokeActiveObject(m_cookie, nullptr);
        m_cookie = 0;
    }

private:
    static void SetProgIdClass(const wchar_t *clsid)
    {
        RegSetValueW(HKEY_CLASSES_ROOT, L"Word.Application\\CLSID", REG_SZ, clsid,
                     static_cast<DWORD>(wcslen(clsid) * sizeof(wchar_t)));
    }

    CLSID m_clsid = {};
    DWORD m_cookie = 0;
    bool m_hadOld = false;
    std::wstring m_old;
};

// Focus on a window of this process, put back afterwards.
class FocusOn {
public:
    explicit FocusOn(HWND window) : m_old(hFocusEdit) { hFocusEdit = window; }
    ~FocusOn() { hFocusEdit = m_old; }

private:
    HWND m_old;
};

// A window of a class registered under exactly the given name. Class names
// are matched ignoring case when registered, so the class goes again with
// the window and a name that differs only in case gets its own class.
class ClassWindow {
public:
    explicit ClassWindow(const char *className) : m_name(className)
    {
        RegisterTestClass(className);
        m_window = std::make_unique<TestWindow>(WS_OVERLAPPEDWINDOW, 0, 0, 0, 100, 100, className);
        char actual[64] = "";
        GetClassNameA(m_window->Get(), actual, sizeof actual);
        if (strcmp(actual, className) != 0)
            ADD_FAILURE() << "class " << actual << " instead of " << className;
    }
    ~ClassWindow()
    {
        m_window.reset();
        UnregisterClassA(m_name.c_str(), GetModuleHandleA(nullptr));
    }
    HWND Get() const { return m_window->Get(); }

private:
    std::string m_name;
    std::unique_ptr<TestWindow> m_window;
};

bool RunningAsWordProcess()
{
    const std::string self = OwnProgramPath();
    const std::string name = self.substr(self.find_last_of("\\/") + 1);
    return _stricmp(name.c_str(), "winword.exe") == 0;
}

// ---------------------------------------------------------------------------
// Reading text and caret from the word processor's objects.

class WordRead : public ::testing::Test {
protected:
    ComScope com;
    WordFake word;
    CString text = "kept";
    POINT caret = {5, 6};
    int height = 7;
    void TearDown() override { g_bMSWordEnhance = 1; }
};

TEST_F(WordRead, CaretOnlyFromVersionsAboveEight)
{
    struct Case {
        const wchar_t *version;
        bool readsPoint;
    } cases[] = {{L"8.0", false}, {L"8.99", false}, {L"9.0", true}, {L"11.0", true}, {L"12.0.4518", true}};
    for (const Case &c : cases) {
        WordFake fake;
        fake.version = c.version;
        fake.document = L"one two";
        fake.caret = fake.document.size();
        fake.point = {100, 200, 2, 18};
        CString got = "kept";
        POINT at = {5, 6};
        int tall = 7;
        ReadWordTextBeforeCaret(fake.app.get(), got, &at, 0, &tall);
        SCOPED_TRACE(Narrow(c.version));
        EXPECT_STREQ("one two", got);
        if (c.readsPoint) {
            EXPECT_EQ(100, at.x);
            EXPECT_EQ(200, at.y);
            EXPECT_EQ(18, tall);
        } else {
            EXPECT_EQ(5, at.x);
            EXPECT_EQ(6, at.y);
            EXPECT_EQ(7, tall);
            EXPECT_EQ(0, fake.CallsOf(kGetPoint, fake.window));
        }
        EXPECT_TRUE(fake.AllReleased());
    }
}

TEST_F(WordRead, NoCaretAskedMeansNoPointRead)
{
    word.document = L"abc";
    word.caret = 3;
    ReadWordTextBeforeCaret(word.app.get(), text, nullptr, 0, nullptr);
    EXPECT_STREQ("abc", text);
    EXPECT_EQ(0, word.CallsOf(kGetPoint, word.window));
}

TEST_F(WordRead, TextEndsAtCaretWithoutEndingCharacterAndKeepsLast257)
{
    const std::wstring longText = Repeat(L"abcdefghij", 40) + L"end";  // 403 characters
    struct Case {
        std::wstring document;
        size_t caret;
        char lastChar;
        std::string expected;
    } cases[] = {
        {L"hello world", 5, 0, "hello"},
        {L"hello world", 6, ' ', "hello"},  // the space that ended the word is left out
        {L"x", 0, 0, ""},
        {L"x", 0, ' ', ""},
        {longText, longText.size(), 0, Narrow(longText.substr(longText.size() - 257))},
        {longText + L" ", longText.size() + 1, ' ', Narrow(longText.substr(longText.size() - 257))},
        {Repeat(L"a", 257), 257, 0, Narrow(Repeat(L"a", 257))},
    };
    for (const Case &c : cases) {
        WordFake fake;
        fake.document = c.document;
        fake.caret = c.caret;
        CString got = "kept";
        ReadWordTextBeforeCaret(fake.app.get(), got, nullptr, c.lastChar, nullptr);
        EXPECT_EQ(c.expected, got.Str()) << "caret " << c.caret << " lastChar " << int(c.lastChar);
        EXPECT_LE(got.GetLength(), DOC_TEXT_MAX);
        EXPECT_TRUE(fake.AllReleased());
    }
}

TEST_F(WordRead, AutomationErrorKeepsWhatWasGivenSoFar)
{
    word.document = L"some text";
    word.caret = 9;
    word.point = {40, 50, 1, 12};
    struct Case {
        const char *failing;
        bool hasWindow;
        bool caretRead;
    } cases[] = {
        {"Version", true, false}, {"", false, false},        {"Selection", true, false}, {"Range", true, false},
        {"GetPoint", true, false}, {"MoveStart", true, true}, {"Text", true, true},
    };
    for (const Case &c : cases) {
        WordFake fake;
        fake.document = word.document;
        fake.caret = word.caret;
        fake.point = word.point;
        fake.failing = {c.failing};
        fake.hasWindow = c.hasWindow;
        CString got = "kept";
        POINT at = {5, 6};
        int tall = 7;
        ReadWordTextBeforeCaret(fake.app.get(), got, &at, 0, &tall);
        SCOPED_TRACE(c.failing);
        EXPECT_STREQ("kept", got);
        EXPECT_EQ(c.caretRead ? 40 : 5, at.x);
        EXPECT_EQ(c.caretRead ? 12 : 7, tall);
        EXPECT_TRUE(fake.AllReleased());
    }
}

TEST_F(WordRead, SwitchedOffMeanwhileStopsAtTheNextStep)
{
    // Switched off while the version is read: neither caret nor text.
    word.document = L"abc";
    word.caret = 3;
    word.point = {40, 50, 1, 12};
    word.during["Version"] = [] { g_bMSWordEnhance = 0; };
    ReadWordTextBeforeCaret(word.app.get(), text, &caret, 0, &height);
    EXPECT_STREQ("kept", text);
    EXPECT_EQ(5, caret.x);
    EXPECT_EQ(0, word.CallsOf(kGetPoint, word.window));
    EXPECT_EQ(0, word.RangeCalls(kText));
    EXPECT_TRUE(word.AllReleased());

    // Switched off while the caret is read: the caret, no text.
    g_bMSWordEnhance = 1;
    WordFake later;
    later.document = L"abc";
    later.caret = 3;
    later.point = {40, 50, 1, 12};
    later.during["GetPoint"] = [] { g_bMSWordEnhance = 0; };
    ReadWordTextBeforeCaret(later.app.get(), text, &caret, 0, &height);
    EXPECT_STREQ("kept", text);
    EXPECT_EQ(40, caret.x);
    EXPECT_EQ(0, later.RangeCalls(kText));
}

// ---------------------------------------------------------------------------
// Finding the word processor: focus test and running object.

TEST(WordFocus, OnlyTheExactClassInTheWordProcessCounts)
{
    // This program is not the word processor, so even the exact class is not
    // a word window here; WordProcess.FocusTest checks the same inside it.
    for (const char *className : {"_WwG", "_wwg", "Edit"}) {
        ClassWindow window(className);
        ASSERT_TRUE(window.Get());
        FocusOn focus(window.Get());
        EXPECT_FALSE(IsWordWindow()) << className;
    }
    FocusOn none(nullptr);
    EXPECT_FALSE(IsWordWindow());
}

TEST(WordFocus, AdapterLeavesTextAloneOutsideTheWordProcess)
{
    ComScope com;
    WordFake word;
    word.document = L"abc";
    word.caret = 3;
    WordRegistration registration;
    ASSERT_TRUE(registration.Run(word.app.get()));
    ClassWindow window("_WwG");
    FocusOn focus(window.Get());
    CString text = "kept";
    POINT caret = {5, 6};
    int height = 7;
    GetWordTextBeforeCaret(text, &caret, 0, &height);
    EXPECT_STREQ("kept", text);
    EXPECT_EQ(5, caret.x);
    EXPECT_EQ(7, height);
    EXPECT_TRUE(word.app->calls.empty());
}

// Records the activation messages that reach a window.
struct ActivationLog {
    std::vector<std::pair<WPARAM, LPARAM>> seen;
    std::function<void(WPARAM)> onActivate;
};
LRESULT CALLBACK ActivationProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_ACTIVATEAPP) {
        auto *log = reinterpret_cast<ActivationLog *>(GetWindowLongPtrA(w, GWLP_USERDATA));
        if (log) {
            log->seen.emplace_back(wp, lp);
            if (log->onActivate)
                log->onActivate(wp);
        }
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

class WordNudge : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestClass("LexantoActivationLog", ActivationProc);
        root = std::make_unique<TestWindow>(WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 200, "LexantoActivationLog");
        child = std::make_unique<TestWindow>(WS_CHILD | WS_VISIBLE, 0, 0, 0, 50, 50, "LexantoActivationLog",
                                             root->Get());
        ASSERT_TRUE(child->Get());
        SetWindowLongPtrA(root->Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&rootLog));
        SetWindowLongPtrA(child->Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&childLog));
        focus = std::make_unique<FocusOn>(child->Get());
    }
    ComScope com;
    ActivationLog rootLog, childLog;
    std::unique_ptr<TestWindow> root, child;
    std::unique_ptr<FocusOn> focus;
};

TEST_F(WordNudge, NotRunningAfterDeactivateThenActivateOfTheRootWindow)
{
    IDispatch *app = reinterpret_cast<IDispatch *>(1);
    EXPECT_FALSE(GetRunningWordApp(app));
    EXPECT_EQ(nullptr, app);
    const std::vector<std::pair<WPARAM, LPARAM>> expected = {{0, 0}, {1, 0}};
    EXPECT_EQ(expected, rootLog.seen);
    EXPECT_TRUE(childLog.seen.empty());
}

TEST_F(WordNudge, FoundWhenItRegistersOnActivation)
{
    WordFake word;
    WordRegistration registration;
    IDispatch *app = nullptr;
    ASSERT_TRUE(registration.Resolves());
    // Already running: no nudge.
    ASSERT_TRUE(registration.Run(word.app.get()));
    ASSERT_TRUE(GetRunningWordApp(app));
    ASSERT_TRUE(app);
    app->Release();
    EXPECT_TRUE(rootLog.seen.empty());

    registration.Revoke();
    rootLog.onActivate = [&](WPARAM active) {
        if (active)
            registration.Run(word.app.get());
    };
    ASSERT_TRUE(GetRunningWordApp(app));
    ASSERT_TRUE(app);
    VARIANT version;
    VariantInit(&version);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(S_OK, app->Invoke(kVersion, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &version, nullptr, nullptr));
    VariantClear(&version);
    app->Release();
    EXPECT_EQ(2u, rootLog.seen.size());
    registration.Revoke();
    EXPECT_TRUE(word.AllReleased());
}

TEST(WordNudgeHung, UnansweredRootWindowDoesNotHoldTheCaller)
{
    ComScope com;
    // The window's thread stops handling messages for far longer than the
    // caller may wait.
    const DWORD blockedMs = 10000;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HWND> window{nullptr};
    std::thread owner([&] {
        RegisterTestClass(TestWindow::kDefaultClass);
        TestWindow own(WS_OVERLAPPEDWINDOW, 0, 0, 0, 100, 100);
        window = own.Get();
        SetEvent(ready);
        WaitForSingleObject(release, blockedMs);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    });
    WaitForSingleObject(ready, 5000);
    ASSERT_TRUE(window.load());
    FocusOn focus(window.load());

    const DWORD start = GetTickCount();
    IDispatch *app = nullptr;
    EXPECT_FALSE(GetRunningWordApp(app));
    const DWORD elapsed = GetTickCount() - start;
    SetEvent(release);
    owner.join();
    CloseHandle(ready);
    CloseHandle(release);
    // At most one time-out per message, plus slack for a loaded machine.
    EXPECT_LT(elapsed, 2 * WORD_NUDGE_TIMEOUT_MS + 3000);
}

// ---------------------------------------------------------------------------
// Inside the word processor's process (a copy of this program named
// "winword.exe"): the focus test, the whole adapter and its busy flag.

void WordProcessFocusTest()
{
    for (const char *className : {"_WwG", "_wwg", "_WwG2"}) {
        ClassWindow window(className);
        ASSERT_TRUE(window.Get());
        FocusOn focus(window.Get());
        EXPECT_EQ(strcmp(className, "_WwG") == 0, IsWordWindow() != FALSE) << className;
    }
}

void WordProcessWholeAdapter()
{
    ComScope com;
    ClassWindow window("_WwG");
    FocusOn focus(window.Get());
    WordFake word;
    word.document = L"typed words";
    word.caret = word.document.size();
    word.point = {300, 400, 1, 16};
    WordRegistration registration;
    ASSERT_TRUE(registration.Resolves());
    ASSERT_TRUE(registration.Run(word.app.get()));

    // A call made while the word processor is being asked gets the caret just
    // read and talks to nobody.
    CString nestedText = "nested";
    POINT nestedCaret = {-5, -5};
    size_t callsBefore = 0, callsAfter = 0;
    bool inside = false;  // a faulty adapter would recurse without end
    word.during["Text"] = [&] {
        if (inside)
            return;
        inside = true;
        callsBefore = word.app->calls.size() + word.window->calls.size();
        GetWordTextBeforeCaret(nestedText, &nestedCaret, 0, nullptr);
        callsAfter = word.app->calls.size() + word.window->calls.size();
    };
    CString text = "kept";
    POINT caret = {0, 0};
    int height = 0;
    GetWordTextBeforeCaret(text, &caret, 0, &height);
    EXPECT_STREQ("typed words", text);
    EXPECT_EQ(300, caret.x);
    EXPECT_EQ(400, caret.y);
    EXPECT_EQ(16, height);
    EXPECT_STREQ("nested", nestedText);
    EXPECT_EQ(300, nestedCaret.x);
    EXPECT_EQ(400, nestedCaret.y);
    EXPECT_EQ(callsBefore, callsAfter);

    // The flag is down again: the next call reads anew.
    word.during.clear();
    word.caret = 5;
    GetWordTextBeforeCaret(text, nullptr, 0, nullptr);
    EXPECT_STREQ("typed", text);

    // Switched off: nothing is asked.
    g_bMSWordEnhance = 0;
    const size_t calls = word.app->calls.size();
    text = "kept";
    GetWordTextBeforeCaret(text, &caret, 0, nullptr);
    g_bMSWordEnhance = 1;
    EXPECT_STREQ("kept", text);
    EXPECT_EQ(calls, word.app->calls.size());
    registration.Revoke();
    EXPECT_TRUE(word.AllReleased());
}

const bool g_wordProcessTests = [] {
    if (RunningAsWordProcess()) {
        ::testing::RegisterTest("WordProcess", "FocusTest", nullptr, nullptr, __FILE__, __LINE__,
                                []() -> ::testing::Test * {
                                    struct T : ::testing::Test {
                                        void TestBody() override { WordProcessFocusTest(); }
                                    };
                                    return new T;
                                });
        ::testing::RegisterTest("WordProcess", "WholeAdapter", nullptr, nullptr, __FILE__, __LINE__,
                                []() -> ::testing::Test * {
                                    struct T : ::testing::Test {
                                        void TestBody() override { WordProcessWholeAdapter(); }
                                    };
                                    return new T;
                                });
    }
    return true;
}();

TEST(WordProcess, RunsInACopyNamedAfterTheWordProcessor)
{
    if (RunningAsWordProcess())
        return;  // the copy runs only its own tests
    TempDir dir;
    const std::string copy = dir.Path("winword.exe");
    ASSERT_TRUE(CopyFileA(OwnProgramPath().c_str(), copy.c_str(), FALSE));
    std::string output;
    const int code = ChildProcess::Run("\"" + copy + "\" --gtest_filter=WordProcess.FocusTest:WordProcess.WholeAdapter",
                                       &output);
    EXPECT_EQ(0, code) << output;
    EXPECT_NE(std::string::npos, output.find("[  PASSED  ] 2 tests")) << output;
}

// ---------------------------------------------------------------------------
// The IDE: a document of lines and edit points over it, registered in the
// Running Object Table under the process id.

enum VsMember : DISPID {
    kActiveDocument = 1,
    kObject,
    kTextSelection,
    kActivePoint,
    kCreateEditPoint,
    kCharLeft,
    kStartOfLine,
    kGetText,
};

class VsFake {
public:
    std::wstring document;
    size_t caret = 0;
    bool hasDocument = true;
    DISPID failing = DISPID_UNKNOWN;

    FakeRef dte = MakeFake(), doc = MakeFake(), textDoc = MakeFake(), selection = MakeFake(), active = MakeFake();
    std::vector<FakeRef> points;

    VsFake()
    {
        dte->On(kActiveDocument, Member(kActiveDocument, [this](VARIANT *r, DISPPARAMS *) {
                    if (!hasDocument) {
                        r->vt = VT_DISPATCH;
                        return S_OK;
                    }
                    return ReturnObject(r, doc.get());
                }), L"ActiveDocument");
        doc->On(kObject, Member(kObject, [this](VARIANT *r, DISPPARAMS *p) {
                    if (p->cArgs != 1 || Arg(p, 0).vt != VT_BSTR || wcscmp(Arg(p, 0).bstrVal, L"TextDocument") != 0)
                        return E_INVALIDARG;
                    return ReturnObject(r, textDoc.get());
                }), L"Object");
        textDoc->On(kTextSelection, Member(kTextSelection, [this](VARIANT *r, DISPPARAMS *) {
                        return ReturnObject(r, selection.get());
                    }), L"Selection");
        selection->On(kActivePoint, Member(kActivePoint, [this](VARIANT *r, DISPPARAMS *) {
                          return ReturnObject(r, active.get());
                      }), L"ActivePoint");
        active->On(kCreateEditPoint, Member(kCreateEditPoint, [this](VARIANT *r, DISPPARAMS *) {
                       return ReturnObject(r, NewPoint(caret));
                   }), L"CreateEditPoint");
    }

    bool AllReleased() const
    {
        bool released = dte->Refs() == 1 && doc->Refs() == 1 && textDoc->Refs() == 1 && selection->Refs() == 1 &&
                        active->Refs() == 1;
        for (const auto &point : points)
            released = released && point->Refs() == 1;
        return released;
    }

private:
    using Body = std::function<HRESULT(VARIANT *, DISPPARAMS *)>;
    FakeDispatch::Handler Member(DISPID id, Body body)
    {
        return [this, id, body](WORD, DISPPARAMS *p, VARIANT *r) -> HRESULT {
            return id == failing ? DISP_E_EXCEPTION : body(r, p);
        };
    }

    std::map<IDispatch *, std::shared_ptr<size_t>> m_offsets;

    IDispatch *NewPoint(size_t at)
    {
        points.push_back(MakeFake());
        FakeDispatch *point = points.back().get();
        auto offset = std::make_shared<size_t>(at);
        m_offsets[point] = offset;
        point->On(kCreateEditPoint, Member(kCreateEditPoint, [this, offset](VARIANT *r, DISPPARAMS *) {
                      return ReturnObject(r, NewPoint(*offset));
                  }), L"CreateEditPoint");
        point->On(kCharLeft, Member(kCharLeft, [offset](VARIANT *, DISPPARAMS *p) {
                      if (p->cArgs != 1 || Arg(p, 0).vt != VT_I4)
                          return E_INVALIDARG;
                      *offset -= std::min<size_t>(*offset, static_cast<size_t>(Arg(p, 0).lVal));
                      return S_OK;
                  }), L"CharLeft");
        point->On(kStartOfLine, Member(kStartOfLine, [this, offset](VARIANT *, DISPPARAMS *) {
                      const size_t lineBreak = *offset ? document.rfind(L'\n', *offset - 1) : std::wstring::npos;
                      *offset = lineBreak == std::wstring::npos ? 0 : lineBreak + 1;
                      return S_OK;
                  }), L"StartOfLine");
        point->On(kGetText, Member(kGetText, [this, offset](VARIANT *r, DISPPARAMS *p) {
                      if (p->cArgs != 1 || Arg(p, 0).vt != VT_DISPATCH || !m_offsets.count(Arg(p, 0).pdispVal))
                          return E_INVALIDARG;
                      const size_t other = *m_offsets[Arg(p, 0).pdispVal];
                      const size_t from = std::min(*offset, other), to = std::max(*offset, other);
                      return ReturnText(r, document.substr(from, to - from));
                  }), L"GetText");
        return point;
    }
};

// An entry of the Running Object Table for the test's lifetime.
class RotEntry {
public:
    RotEntry(IUnknown *object, const std::wstring &name)
    {
        IMoniker *moniker = nullptr;
        if (SUCCEEDED(GetRunningObjectTable(0, &m_table)) &&
            SUCCEEDED(CreateItemMoniker(L"!", name.c_str(), &moniker))) {
            m_table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, object, moniker, &m_cookie);
            moniker->Release();
        }
    }
    ~RotEntry()
    {
        if (m_table) {
            if (m_cookie)
                m_table->Revoke(m_cookie);
            m_table->Release();
        }
    }
    bool Registered() const { return m_cookie != 0; }

private:
    IRunningObjectTable *m_table = nullptr;
    DWORD m_cookie = 0;
};

std::wstring DteName(DWORD pid) { return L"VisualStudio.DTE.8.0:" + std::to_wstring(pid); }

class VsAdapter : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<TestWindow>(WS_OVERLAPPEDWINDOW, 0, 0, 0, 100, 100);
        ASSERT_TRUE(window->Get());
    }
    ComScope com;
    std::unique_ptr<TestWindow> window;
    const DWORD pid = GetCurrentProcessId();
};

TEST_F(VsAdapter, CurrentLineUpToCaretOfTheInstanceOfThisProcess)
{
    const std::wstring longLine = Repeat(L"0123456789", 30);  // 300 characters
    struct Case {
        std::wstring document;
        size_t caret;
        char lastChar;
        std::string expected;
    } cases[] = {
        {L"int x;\n    return value", 23, 0, "    return value"},
        {L"int x;\n    return value ", 24, ' ', "    return value"},
        {L"int x;\nsecond", 7, 0, ""},  // start of a line: nothing of the line before
        {L"a\n" + longLine, 2 + longLine.size(), 0, Narrow(longLine.substr(300 - 257))},
    };
    for (const Case &c : cases) {
        VsFake vs;
        vs.document = c.document;
        vs.caret = c.caret;
        RotEntry entry(vs.dte.get(), DteName(pid));
        ASSERT_TRUE(entry.Registered());
        CString text = "kept";
        EXPECT_TRUE(GetVsTextBeforeCaret(window->Get(), text, c.lastChar));
        EXPECT_EQ(c.expected, text.Str()) << Narrow(c.document);
    }
}

TEST_F(VsAdapter, OtherInstancesAndOtherEntriesAreNeverUsed)
{
    VsFake other, unrelated;
    other.document = unrelated.document = L"wrong";
    other.caret = unrelated.caret = 5;
    RotEntry otherProcess(other.dte.get(), DteName(pid + 4));
    RotEntry longerId(other.dte.get(), DteName(pid) + L"0");
    RotEntry notTheIde(unrelated.dte.get(), L"Other.Application:" + std::to_wstring(pid));
    ASSERT_TRUE(otherProcess.Registered() && longerId.Registered() && notTheIde.Registered());
    CString text = "kept";
    EXPECT_FALSE(GetVsTextBeforeCaret(window->Get(), text, 0));
    EXPECT_STREQ("kept", text);
    EXPECT_TRUE(other.dte->calls.empty());
    EXPECT_TRUE(unrelated.dte->calls.empty());

    VsFake mine;
    mine.document = L"right";
    mine.caret = 5;
    RotEntry own(mine.dte.get(), DteName(pid));
    EXPECT_TRUE(GetVsTextBeforeCaret(window->Get(), text, 0));
    EXPECT_STREQ("right", text);
    EXPECT_TRUE(other.dte->calls.empty());
}

TEST_F(VsAdapter, FailuresBeforeTheDocumentGiveFalseAfterItTrueAndTheOldText)
{
    struct Case {
        DISPID failing;
        bool hasDocument;
        BOOL expected;
    } cases[] = {
        {DISPID_UNKNOWN, false, FALSE}, {kObject, true, FALSE},   {kTextSelection, true, FALSE},
        {kActivePoint, true, FALSE},    {kCharLeft, true, TRUE},  {kStartOfLine, true, TRUE},
        {kGetText, true, TRUE},
    };
    for (const Case &c : cases) {
        VsFake vs;
        vs.document = L"line";
        vs.caret = 4;
        vs.failing = c.failing;
        vs.hasDocument = c.hasDocument;
        RotEntry entry(vs.dte.get(), DteName(pid));
        CString text = "kept";
        EXPECT_EQ(c.expected, GetVsTextBeforeCaret(window->Get(), text, ' ')) << c.failing;
        EXPECT_STREQ("kept", text) << c.failing;
    }
    CString text = "kept";
    EXPECT_FALSE(GetVsTextBeforeCaret(window->Get(), text, 0));  // nothing registered
}

TEST_F(VsAdapter, EveryObjectIsReleased)
{
    VsFake vs;
    vs.document = L"abc";
    vs.caret = 3;
    {
        RotEntry entry(vs.dte.get(), DteName(pid));
        CString text;
        ASSERT_TRUE(GetVsTextBeforeCaret(window->Get(), text, 'c'));
        EXPECT_STREQ("ab", text);
    }
    EXPECT_TRUE(vs.AllReleased());
}

}  // namespace
