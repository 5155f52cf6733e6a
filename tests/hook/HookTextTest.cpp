#include <gtest/gtest.h>

#include <string>

#include "HookText.h"
#include "KeyFlags.h"
#include "SharedSection.h"

namespace {

// Every test starts from known shared settings (the process's private copy).
class HookTextFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetSharedString(NonDelimiter, "_'");
        g_bNonEnglishChar = 0;
        SetSharedString(CharBuf, "");
        SetSharedString(WordBuffer, "");
        SetSharedString(g_szForceEnable, "");
        SetSharedString(ProcessIncluded, "");
        SetSharedString(ProcessExcluded, "");
        SetSharedString(g_szAppListForceCharBuf, "");
        s_bIncludeAllExcept = 0;
        g_bDisableInExp = 0;
        g_bEnableInIE = 0;
    }
};

using HookTextClasses = HookTextFixture;
using HookTextBuffer = HookTextFixture;
using HookTextAppList = HookTextFixture;
using HookTextEnable = HookTextFixture;

}  // namespace

TEST_F(HookTextClasses, WordPrintableAndDelimiterClasses)
{
    const struct {
        int c;
        BOOL word, printable, delimiter;
    } cases[] = {
        {'a', 1, 1, 0},  {'Z', 1, 1, 0},    {'7', 1, 1, 0},  {'_', 1, 1, 0},  {'\'', 1, 1, 0},
        {'-', 0, 1, 1},  {' ', 0, 1, 1},    {'\t', 0, 1, 1}, {'\r', 0, 1, 1}, {'\n', 0, 0, 0},
        {8, 0, 0, 0},    {0, 0, 0, 0},      {127, 0, 0, 0},  {0xE9, 0, 1, 1}, {0xD7, 0, 0, 0},
        {0xF7, 0, 0, 0}, {-23 /* 0xE9 */, 0, 1, 1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsHookWordChar(c.c), c.word) << c.c;
        EXPECT_EQ(IsHookPrintableChar(c.c), c.printable) << c.c;
        EXPECT_EQ(IsHookDelimiterChar(c.c), c.delimiter) << c.c;
    }

    g_bNonEnglishChar = 1;
    EXPECT_TRUE(IsHookWordChar(0xE9));
    EXPECT_FALSE(IsHookDelimiterChar(0xE9));
    EXPECT_FALSE(IsHookWordChar(0xD7));
    EXPECT_FALSE(IsHookWordChar(0xF7));

    SetSharedString(NonDelimiter, "");
    EXPECT_FALSE(IsHookWordChar('_'));
    EXPECT_TRUE(IsHookDelimiterChar('\''));
}

TEST_F(HookTextClasses, NonDelimiterIsReadWithinItsArray)
{
    // Another process may leave the array without a terminator; a character
    // beyond it must not be found.
    std::memset(NonDelimiter, '#', sizeof NonDelimiter);
    EXPECT_TRUE(IsHookWordChar('#'));
    EXPECT_FALSE(IsHookWordChar('%'));
}

TEST(HookTextKeys, ShiftFollowsTheUsLayout)
{
    const std::string plain = "`1234567890-=[]\\;',./";
    const std::string shifted = "~!@#$%^&*()_+{}|:\"<>?";
    ASSERT_EQ(plain.size(), 21u);  // grave, ten digits and ten punctuation keys
    for (size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(ShiftCharUS(plain[i]), shifted[i]) << plain[i];
    EXPECT_EQ(ShiftCharUS('a'), 'A');
    EXPECT_EQ(ShiftCharUS('z'), 'Z');
    EXPECT_EQ(ShiftCharUS('Q'), 'q');
    for (char c : std::string(" ~!{\t"))
        EXPECT_EQ(ShiftCharUS(c), c) << c;
    EXPECT_EQ(ShiftCharUS(static_cast<char>(0xE9)), static_cast<char>(0xE9));
    EXPECT_EQ(ShiftCharUS(0), 0);
}

TEST(HookTextKeys, KeyCharFollowsCtrlCapsLockAndShift)
{
    const struct {
        char mapped;
        BOOL ctrl, caps, shift;
        char expected;
    } cases[] = {
        {'A', 0, 0, 0, 'a'}, {'A', 0, 1, 0, 'A'}, {'A', 0, 0, 1, 'A'}, {'A', 0, 1, 1, 'a'},
        {'1', 0, 0, 1, '!'}, {'1', 0, 1, 0, '1'}, {'A', 1, 0, 0, 0},   {'1', 1, 0, 1, 0},
        {0, 0, 0, 1, 0},     {' ', 0, 0, 1, ' '},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TranslateKeyChar(c.mapped, c.ctrl, c.caps, c.shift), c.expected)
            << c.mapped << " ctrl " << c.ctrl << " caps " << c.caps << " shift " << c.shift;
}

TEST(HookTextKeys, HotKeyMatchesKeyExtensionAndModifiers)
{
    const UINT F12 = 0x7B, CONTROL = 0x11, SHIFT = 0x10, MENU = 0x12, LWIN = 0x5B, HOME = 0x24;
    const struct {
        UINT code, vk, flags, held;
        BOOL expected;
    } cases[] = {
        // Ctrl+F12: only with Ctrl and nothing else held.
        {F12, F12, KEYMOD_CTRL, KEYMOD_CTRL, TRUE},
        {F12, F12, KEYMOD_CTRL, 0, FALSE},
        {F12, F12, KEYMOD_CTRL, KEYMOD_CTRL | KEYMOD_SHIFT, FALSE},
        {F12, F12, KEYMOD_CTRL, KEYMOD_CTRL | KEYMOD_ALT, FALSE},
        {F12, F12, KEYMOD_CTRL, KEYMOD_CTRL | KEYMOD_WIN, FALSE},
        {0x7A, F12, KEYMOD_CTRL, KEYMOD_CTRL, FALSE},
        {F12 | HOOK_KEY_EXTENDED, F12, KEYMOD_CTRL, KEYMOD_CTRL, FALSE},
        // Right Ctrl stored: either Ctrl key, and Ctrl itself is held.
        {CONTROL | HOOK_KEY_EXTENDED, CONTROL, KEYMOD_EXT, KEYMOD_CTRL, TRUE},
        {CONTROL, CONTROL, KEYMOD_EXT, KEYMOD_CTRL, TRUE},
        {CONTROL, CONTROL, KEYMOD_EXT, KEYMOD_CTRL | KEYMOD_SHIFT, FALSE},
        // A modifier key itself is held while it is pressed.
        {SHIFT, SHIFT, 0, KEYMOD_SHIFT, TRUE},
        {MENU, MENU, 0, KEYMOD_ALT, TRUE},
        {LWIN | HOOK_KEY_EXTENDED, LWIN, KEYMOD_EXT, KEYMOD_WIN, TRUE},
        {SHIFT, SHIFT, 0, KEYMOD_SHIFT | KEYMOD_ALT, FALSE},
        // Extended keys must agree with the stored flag.
        {HOME | HOOK_KEY_EXTENDED, HOME, KEYMOD_EXT, 0, TRUE},
        {HOME, HOME, KEYMOD_EXT, 0, FALSE},
        {HOME, HOME, 0, 0, TRUE},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MatchHotKey(c.code, c.vk, c.flags, c.held), c.expected)
            << std::hex << c.code << " " << c.vk << " " << c.flags << " " << c.held;
}

TEST(HookTextKeys, NavigationKeysArePageHomeEndAndArrows)
{
    for (UINT vk = 0; vk < 0x100; ++vk)
        EXPECT_EQ(IsNavigationKey(vk), vk >= 0x21 && vk <= 0x28 ? TRUE : FALSE) << vk;
}

TEST_F(HookTextBuffer, TypedCharactersEditTheBuffer)
{
    for (char c : std::string("it's a_b, ok"))
        UpdateCharBuf(c);
    EXPECT_STREQ(CharBuf, "it's a_b, ok");
    UpdateCharBuf(8);
    EXPECT_STREQ(CharBuf, "it's a_b, o");
    UpdateCharBuf('\n');
    UpdateCharBuf(0);
    UpdateCharBuf(27);
    UpdateCharBuf(static_cast<char>(0xD7));
    EXPECT_STREQ(CharBuf, "it's a_b, o");
    UpdateCharBuf(static_cast<char>(0xE9));  // printable, a delimiter while Latin-1 is off
    EXPECT_STREQ(CharBuf, "it's a_b, o\xE9");
    UpdateCharBuf('\t');
    EXPECT_STREQ(CharBuf, "");
    UpdateCharBuf(8);
    EXPECT_STREQ(CharBuf, "");
    UpdateCharBuf('x');
    UpdateCharBuf('\r');
    EXPECT_STREQ(CharBuf, "");
}

TEST_F(HookTextBuffer, FullBufferDropsItsOldestCharacter)
{
    std::string typed;
    for (int i = 0; i < 258; ++i)
        typed += static_cast<char>('a' + i % 26);
    for (char c : typed)
        UpdateCharBuf(c);
    EXPECT_EQ(std::string(CharBuf), typed);
    UpdateCharBuf('!');
    EXPECT_EQ(std::string(CharBuf), typed.substr(1) + "!");
    EXPECT_EQ(SharedStringLength(CharBuf), 258u);

    // An unterminated buffer (overwritten by another process) stays bounded.
    std::memset(CharBuf, 'q', sizeof CharBuf);
    UpdateCharBuf(8);
    EXPECT_EQ(SharedStringLength(CharBuf), 257u);
    std::memset(CharBuf, 'q', sizeof CharBuf);
    UpdateCharBuf('z');
    EXPECT_EQ(SharedStringLength(CharBuf), 258u);
    EXPECT_EQ(CharBuf[257], 'z');

    SetSharedString(WordBuffer, "word");
    ClearHookBuffers();
    EXPECT_STREQ(CharBuf, "");
    EXPECT_STREQ(WordBuffer, "");
}

TEST_F(HookTextAppList, TokensMatchProgramNameOrTitle)
{
    const struct {
        const char *list, *title, *program;
        BOOL expected;
    } cases[] = {
        {"Notepad", "Untitled - Notepad", "notepad.exe", TRUE},
        {"notepad", "readme.txt - Editor", "notepad.exe", FALSE},
        {"notepad.exe", "anything", "notepad.exe", TRUE},
        {"  NOTEPAD.EXE ", "anything", "Notepad.exe", TRUE},
        {"winword.exe", "winword.exe - title", "other.exe", FALSE},  // .exe tokens never match titles
        {"foo;Microsoft Outlook;bar.exe", "Inbox - Microsoft Outlook", "outlook.exe", TRUE},
        {"a.exe;;b.exe", "title", "b.exe", TRUE},
        {"c:\\tools\\app.exe", "title", "app.exe", FALSE},
        {"", "title", "app.exe", FALSE},
        {" ; ", "title", "app.exe", FALSE},
        {"x", "", "", FALSE},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MatchAppList(c.list, c.title, c.program), c.expected) << c.list << " | " << c.title << " | " << c.program;
    EXPECT_EQ(HookProgramName("C:\\Program Files\\Editor\\NotePad.EXE"), CString("notepad.exe"));
}

TEST_F(HookTextEnable, RulesDecideInOrder)
{
    SetSharedString(ProcessIncluded, "notepad.exe;iexplore.exe;explorer.exe;devenv.exe;firefox.exe");
    struct Case {
        BOOL test, password;
        const char *cls, *program;
        BOOL expected;
    };
    const Case cases[] = {
        {0, 0, "Edit", "notepad.exe", TRUE},
        {0, 1, "Edit", "notepad.exe", FALSE},
        {0, 1, "RichEdit20A", "notepad.exe", FALSE},
        {0, 1, "Static", "notepad.exe", TRUE},
        {1, 1, "Edit", "notepad.exe", TRUE},
        {1, 0, "Edit", "other.exe", TRUE},
        {0, 0, "SysListView32", "notepad.exe", FALSE},
        {0, 0, "SysTreeView32", "notepad.exe", FALSE},
        {0, 0, "msctls_hotkey32", "notepad.exe", FALSE},
        {0, 0, "sysListView32", "notepad.exe", TRUE},
        {0, 0, "Edit", "other.exe", FALSE},
        {0, 0, "VsTextEditPane", "devenv.exe", TRUE},
        {0, 0, "HwndWrapper[DefaultDomain;;1]", "devenv.exe", TRUE},
        {0, 0, "Edit", "devenv.exe", FALSE},
        {0, 0, "hwndwrapper", "devenv.exe", FALSE},
        {0, 0, "Edit", "iexplore.exe", FALSE},
        {0, 0, "Internet Explorer_Server", "iexplore.exe", FALSE},  // g_bEnableInIE off
        {0, 0, "Edit", "firefox.exe", FALSE},
        {0, 0, "MozillaWindowClass", "firefox.exe", TRUE},
        {0, 0, "DirectUIHWND", "explorer.exe", TRUE},
    };
    auto decide = [](const Case &c, const char *title) {
        HookWindowFacts facts = {c.test, c.password, c.cls, c.program, title};
        return DecideHookEnabled(facts);
    };
    for (const auto &c : cases)
        EXPECT_EQ(decide(c, ""), c.expected) << c.cls << " in " << c.program;

    const Case ieOther = {0, 0, "Internet Explorer_Server", "iexplore.exe", FALSE};
    const Case ieEdit = {0, 0, "Edit", "iexplore.exe", FALSE};
    const Case explorer = {0, 0, "DirectUIHWND", "explorer.exe", FALSE};
    const Case password = {0, 1, "Edit", "notepad.exe", FALSE};
    const Case listView = {0, 0, "SysListView32", "notepad.exe", FALSE};
    g_bEnableInIE = 1;
    SetSharedString(ProcessIncluded, "");
    EXPECT_TRUE(decide(ieOther, ""));  // whatever the lists say
    EXPECT_FALSE(decide(ieEdit, ""));
    g_bDisableInExp = 1;
    SetSharedString(ProcessIncluded, "explorer.exe");
    EXPECT_FALSE(decide(explorer, ""));

    // Forced programs win over the Explorer switch and the lists, but not over
    // password boxes and list views.
    SetSharedString(g_szForceEnable, "explorer.exe;notepad.exe");
    EXPECT_TRUE(decide(explorer, ""));
    EXPECT_FALSE(decide(password, ""));
    EXPECT_FALSE(decide(listView, ""));
    SetSharedString(g_szForceEnable, "Shell Window");
    EXPECT_TRUE(decide(explorer, "My Shell Window"));
    EXPECT_FALSE(decide(explorer, "Other"));
}

TEST_F(HookTextEnable, IncludeAllExceptUsesTheExcludedList)
{
    auto decide = [](const char *program, const char *title) {
        HookWindowFacts facts = {FALSE, FALSE, "Edit", program, title};
        return DecideHookEnabled(facts);
    };
    SetSharedString(ProcessIncluded, "notepad.exe");
    SetSharedString(ProcessExcluded, "calc.exe;Secret Vault");
    EXPECT_TRUE(decide("notepad.exe", ""));
    EXPECT_FALSE(decide("wordpad.exe", ""));
    s_bIncludeAllExcept = 1;
    EXPECT_TRUE(decide("wordpad.exe", ""));
    EXPECT_FALSE(decide("calc.exe", ""));
    EXPECT_FALSE(decide("wordpad.exe", "secret vault - notes"));
    // An unterminated list is read within its array.
    std::memset(ProcessExcluded, 'x', sizeof ProcessExcluded);
    EXPECT_TRUE(decide("wordpad.exe", "title"));
}

TEST_F(HookTextEnable, ProgramTestsByWindowFacts)
{
    EXPECT_TRUE(IsWordDocumentFor("Report.doc - Microsoft Word", "_WwG"));
    EXPECT_FALSE(IsWordDocumentFor("Report.doc - Microsoft Word", "_wwg"));
    EXPECT_FALSE(IsWordDocumentFor("Report.doc - microsoft word", "_WwG"));

    EXPECT_TRUE(IsDelphiEditorFor("c:\\borland\\delphi7\\bin\\delphi32.exe", "TEditControl"));
    EXPECT_TRUE(IsDelphiEditorFor("c:\\cbuilder\\bin\\bcb.exe", "TEditControl"));
    EXPECT_FALSE(IsDelphiEditorFor("c:\\tools\\editor.exe", "TEditControl"));
    EXPECT_FALSE(IsDelphiEditorFor("c:\\delphi\\delphi32.exe", "Edit"));

    const struct {
        const char *title, *cls, *path;
        BOOL expected;
    } caret[] = {
        {"Deck - Microsoft PowerPoint", "paneClassDC", "c:\\office\\powerpnt.exe", TRUE},
        {"Doc - Microsoft Word", "_WwG", "c:\\office\\winword.exe", TRUE},
        {"Doc - Microsoft Word", "Edit", "c:\\office\\winword.exe", FALSE},
        {"GNU emacs", "Emacs", "c:\\bin\\runemacs.exe", TRUE},
        {"GNU EMACS", "Emacs", "c:\\bin\\runemacs.exe", FALSE},
        {"Chat", "X", "c:\\apps\\trillian.exe", TRUE},
        {"Chat", "X", "c:\\apps\\trillian2.exe", FALSE},
        {"Doc", "X", "c:\\apps\\abiword.exe", TRUE},
        {"Notes", "Edit", "c:\\windows\\notepad.exe", FALSE},
    };
    for (const auto &c : caret)
        EXPECT_EQ(IsCaretUnreliableFor(c.title, c.cls, c.path), c.expected) << c.title << " " << c.path;
    SetSharedString(g_szForceEnable, "notepad.exe");
    EXPECT_TRUE(IsCaretUnreliableFor("Notes", "Edit", "c:\\windows\\notepad.exe"));

    const struct {
        const char *title, *cls, *program;
        BOOL expected;
    } charBuf[] = {
        {"Orders - Microsoft Access", "OKttbx", "msaccess.exe", TRUE},
        {"Inbox", "Edit", "outlook.exe", TRUE},
        {"Inbox - Foxmail", "Edit", "mail.exe", TRUE},
        {"Doc", "_WwG", "winword.exe", TRUE},
        {"Page", "Internet Explorer_Server", "app.exe", TRUE},
        {"Solution", "HwndWrapper[x]", "devenv.exe", TRUE},
        {"Solution", "HwndWrapper[x]", "app.exe", FALSE},
        {"Notes", "Edit", "notepad.exe", FALSE},
    };
    for (const auto &c : charBuf)
        EXPECT_EQ(IsCharBufAppFor(c.title, c.cls, c.program), c.expected) << c.title << " " << c.program;
    SetSharedString(g_szAppListForceCharBuf, "notepad.exe");
    EXPECT_TRUE(IsCharBufAppFor("Notes", "Edit", "notepad.exe"));
}
