#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "EngineSettings.h"
#include "HookMessages.h"
#include "SharedSection.h"
#include "Typing.h"

namespace {

int g_fakeLayoutTag;
void *const kFakeLayout = &g_fakeLayoutTag;
HWND const kTarget = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));

struct Event {
    BYTE vk;
    BYTE scan;
    DWORD flags;
    bool operator==(const Event &o) const { return vk == o.vk && scan == o.scan && flags == o.flags; }
};

struct Post {
    uintptr_t wParam;
    intptr_t lParam;
};

// A layout where lower-case letters are plain keys, capitals and a few
// symbols need Shift, and @ needs AltGr. Scan codes depend on the layout, so
// a wrong layout shows in the recorded scans.
class RecordingKeyboard : public KeyboardBackend {
public:
    std::vector<Event> events;
    std::vector<Post> posts;
    std::vector<int> sleeps;
    std::vector<HWND> layoutQueries;
    bool capsLock = false;

    void KeyEvent(BYTE vk, BYTE scan, DWORD flags, uintptr_t) override { events.push_back({vk, scan, flags}); }
    short VkKeyScan(char ch, void *layout) override
    {
        if (layout != kFakeLayout)
            return -1;
        if (ch >= 'a' && ch <= 'z')
            return static_cast<short>(ch - 'a' + 'A');
        if (ch >= 'A' && ch <= 'Z')
            return static_cast<short>(0x100 | ch);
        if (ch >= '0' && ch <= '9')
            return ch;
        switch (ch) {
        case ' ': return 0x20;
        case '\\': return 0xDC;
        case '\n': return KEY_RETURN;
        case '^': return 0x100 | '6';
        case '!': return 0x100 | '1';
        case '@': return 0x600 | 'Q';
        default: return -1;
        }
    }
    BYTE ScanCode(BYTE vk, void *layout) override { return layout == kFakeLayout ? static_cast<BYTE>(vk ^ 0x80) : 0; }
    void *LayoutOf(HWND target) override
    {
        layoutQueries.push_back(target);
        return kFakeLayout;
    }
    bool CapsLockOn() override { return capsLock; }
    void PostChar(HWND target, uintptr_t wParam, intptr_t lParam) override
    {
        EXPECT_EQ(target, kTarget);
        posts.push_back({wParam, lParam});
    }
    void Sleep(int ms) override { sleeps.push_back(ms); }

    // "+41 -41": key down and key up by virtual key.
    std::string Keys() const
    {
        std::string out;
        for (const Event &e : events) {
            char item[8];
            std::snprintf(item, sizeof(item), "%s%c%02X", out.empty() ? "" : " ", (e.flags & KEY_RELEASE) ? '-' : '+',
                          e.vk);
            out += item;
        }
        return out;
    }
};

BYTE Scan(BYTE vk) { return static_cast<BYTE>(vk ^ 0x80); }

class TypingBackend : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetKeyboardBackend(&kb);
        m_sendKey = g_nSendKey;
    }
    void TearDown() override
    {
        SetKeyboardBackend(nullptr);
        g_nSendKey = m_sendKey;
    }
    RecordingKeyboard kb;

private:
    int m_sendKey = 0;
};

struct KeyCase {
    const char *text;
    BOOL tokens;
    bool capsLock;
    const char *keys;
    int count;
};

const KeyCase kKeyCases[] = {
    {"a", TRUE, false, "+41 -41", 1},
    {"A", TRUE, false, "+10 +41 -41 -10", 2},
    {"@", TRUE, false, "+12 +11 +51 -51 -12 -11", 2},
    {"\\cr", TRUE, false, "+0D -0D", 1},
    {"\\CR", TRUE, false, "+0D -0D", 1},
    {"\\cr", FALSE, false, "+DC -DC +43 -43 +52 -52", 3},
    {"\\xy", TRUE, false, "+DC -DC +58 -58 +59 -59", 3},
    {"\\\\cr", TRUE, false, "+DC -DC +43 -43 +52 -52", 3},
    {"\\\\\\cr", TRUE, false, "+DC -DC +DC -DC +43 -43 +52 -52", 4},
    {"\\up\\dn\\lt\\rt\\pu\\pd\\hm\\en\\bk", TRUE, false,
     "+26 -26 +28 -28 +25 -25 +27 -27 +21 -21 +22 -22 +24 -24 +23 -23 +08 -08", 9},
    {"\\dl5", TRUE, false, "", 0},
    {"\\dl", TRUE, false, "", 0},
    {"\\dl12a", TRUE, false, "+41 -41", 1},
    {"\\", TRUE, false, "+DC -DC", 1},
    {"\\c", TRUE, false, "+DC -DC +43 -43", 2},
    {"^a", TRUE, false, "+11 +41 -41 -11", 2},
    {"^a", FALSE, false, "+11 +41 -41 -11", 2},
    {"\\^a", TRUE, false, "+DC -DC +10 +36 -36 -10 +41 -41", 4},
    {"a^", TRUE, false, "+41 -41 +10 +36 -36 -10", 3},
    {"^A", TRUE, false, "+10 +11 +41 -41 -10 -11", 3},
    {"A", TRUE, true, "+41 -41", 1},
    {"a", TRUE, true, "+10 +41 -41 -10", 2},
    {"!", TRUE, true, "+10 +31 -31 -10", 2},
    {"a\r\nb", TRUE, false, "+41 -41 +0D -0D +42 -42", 3},
    {"\xE9", TRUE, false, "+12 +60 -60 +62 -62 +63 -63 +63 -63 -12", 5},
    {"\xFF", TRUE, false, "+12 +60 -60 +62 -62 +65 -65 +65 -65 -12", 5},
};

TEST_F(TypingBackend, KeySequencesAndCounts)
{
    for (const KeyCase &c : kKeyCases) {
        SCOPED_TRACE(c.text);
        kb.events.clear();
        kb.capsLock = c.capsLock;
        EXPECT_EQ(SendKeysToWindow(kTarget, c.text, c.tokens, FALSE, TRUE), c.count);
        EXPECT_EQ(kb.Keys(), c.keys);
        EXPECT_TRUE(kb.posts.empty());
    }
}

TEST_F(TypingBackend, CountingWithoutSendingTypesNothingAndCountsTheSame)
{
    for (const KeyCase &c : kKeyCases) {
        SCOPED_TRACE(c.text);
        kb.capsLock = c.capsLock;
        EXPECT_EQ(SendKeysToWindow(kTarget, c.text, c.tokens, FALSE, FALSE), c.count);
        EXPECT_EQ(SendKeysToWindow(kTarget, c.text, c.tokens, TRUE, FALSE), c.text[0] == '\xE9' || c.text[0] == '\xFF' ? 5 : 0);
    }
    EXPECT_TRUE(kb.events.empty());
    EXPECT_TRUE(kb.posts.empty());
}

TEST_F(TypingBackend, ModifiersCarryTheirOwnScanCodes)
{
    EXPECT_EQ(SendKeysToWindow(kTarget, "A", TRUE, FALSE, TRUE), 2);
    const std::vector<Event> shifted = {{KEY_SHIFT, Scan(KEY_SHIFT), 0},
                                        {'A', Scan('A'), 0},
                                        {'A', Scan('A'), KEY_RELEASE},
                                        {KEY_SHIFT, Scan(KEY_SHIFT), KEY_RELEASE}};
    EXPECT_EQ(kb.events, shifted);

    kb.events.clear();
    EXPECT_EQ(SendKeysToWindow(kTarget, "^a", TRUE, FALSE, TRUE), 2);
    const std::vector<Event> controlled = {{KEY_CONTROL, Scan(KEY_CONTROL), 0},
                                           {'A', Scan('A'), 0},
                                           {'A', Scan('A'), KEY_RELEASE},
                                           {KEY_CONTROL, Scan(KEY_CONTROL), KEY_RELEASE}};
    EXPECT_EQ(kb.events, controlled);

    kb.events.clear();
    TypeAltNumpad(0x41, kFakeLayout);
    ASSERT_EQ(kb.events.size(), 10u);
    EXPECT_EQ(kb.events[0], (Event{KEY_ALT, Scan(KEY_ALT), 0}));
    EXPECT_EQ(kb.events[6], (Event{KEY_NUMPAD0 + 6, Scan(KEY_NUMPAD0 + 6), KEY_RELEASE}));
    EXPECT_EQ(kb.events[9], (Event{KEY_ALT, Scan(KEY_ALT), KEY_RELEASE}));
    EXPECT_EQ(kb.layoutQueries.size(), 2u);
    EXPECT_EQ(kb.layoutQueries[0], kTarget);
}

TEST_F(TypingBackend, DelayTokenPausesInHundredsOfMillisecondsEvenWhenOnlyCounting)
{
    const struct {
        const char *text;
        std::vector<int> sleeps;
    } cases[] = {
        {"\\dl5", {500}},
        {"\\DL5", {500}},
        {"\\dl", {}},
        {"\\dl0x", {}},
        {"a\\dl12b\\dl3", {1200, 300}},
        {"\\dl99999999999999999999999", {MAX_TYPING_PAUSE_UNITS * 100}},
        {"\\\\dl5", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        for (BOOL send : {FALSE, TRUE}) {
            kb.sleeps.clear();
            SendKeysToWindow(kTarget, c.text, TRUE, FALSE, send);
            EXPECT_EQ(kb.sleeps, c.sleeps);
        }
    }
    kb.events.clear();
    EXPECT_EQ(SendKeysToWindow(kTarget, "\\dl99999999999999999999999z", TRUE, FALSE, TRUE), 1);
    EXPECT_EQ(kb.Keys(), "+5A -5A");
}

TEST_F(TypingBackend, CharacterModePostsMarkedCharactersAndCountsNothing)
{
    EXPECT_EQ(SendKeysToWindow(kTarget, "a\\up\\cr", TRUE, TRUE, TRUE), 0);
    EXPECT_TRUE(kb.events.empty());
    ASSERT_EQ(kb.posts.size(), 3u);
    const intptr_t mark = 0x1E000001;
    EXPECT_EQ(kb.posts[0].wParam, uintptr_t('a'));
    EXPECT_EQ(kb.posts[0].lParam, (intptr_t(Scan('A')) << 16) + mark);
    EXPECT_EQ(kb.posts[1].wParam, 0u);
    EXPECT_EQ(kb.posts[1].lParam, (intptr_t(Scan(KEY_UP)) << 16) + mark);
    EXPECT_EQ(kb.posts[2].wParam, 13u);
    EXPECT_EQ(kb.posts[2].lParam, (intptr_t(Scan(KEY_RETURN)) << 16) + mark);

    // Characters beyond ASCII still go as Alt + keypad and count.
    kb.posts.clear();
    EXPECT_EQ(SendKeysToWindow(kTarget, "\xE9", TRUE, TRUE, TRUE), 5);
    EXPECT_TRUE(kb.posts.empty());
    EXPECT_EQ(kb.events.size(), 10u);
}

TEST_F(TypingBackend, FixedCombinations)
{
    const struct {
        void (*send)();
        const char *keys;
        int sendKey;
    } cases[] = {
        {[] { SendPasteKeys(FALSE); }, "+11 +56 -11 -56", 2},
        {[] { SendPasteKeys(TRUE); }, "+10 +2D -10 -2D", 2},
        {[] { SendCopyKeys(FALSE, 40); }, "+11 +43 -11 -43", 2},
        {[] { SendCopyKeys(TRUE, 40); }, "+11 +2D -11 -2D", 2},
        {[] { SendSelectAllKeys(); }, "+11 +41 -11 -41", 7},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.keys);
        kb.events.clear();
        g_nSendKey = 7;
        c.send();
        EXPECT_EQ(kb.Keys(), c.keys);
        EXPECT_EQ(g_nSendKey, c.sendKey);
        for (const Event &e : kb.events)
            EXPECT_EQ(e.scan, 0);
    }
    kb.sleeps.clear();
    SendCopyKeys(FALSE, 250);
    EXPECT_EQ(kb.sleeps, std::vector<int>{250});
}

TEST_F(TypingBackend, BackspacesUseTheTargetLayout)
{
    SendBackspaces(kTarget, 3);
    EXPECT_EQ(kb.Keys(), "+08 -08 +08 -08 +08 -08");
    for (const Event &e : kb.events)
        EXPECT_EQ(e.scan, Scan(KEY_BACK));
    ASSERT_EQ(kb.layoutQueries.size(), 1u);
    EXPECT_EQ(kb.layoutQueries[0], kTarget);

    kb.events.clear();
    SendBackspaces(kTarget, 0);
    SendBackspaces(kTarget, -2);
    EXPECT_TRUE(kb.events.empty());
}

TEST(TypingDefaultBackend, RestoredAfterReplacement)
{
    RecordingKeyboard kb;
    SetKeyboardBackend(&kb);
    SetKeyboardBackend(nullptr);
    SendKeysToWindow(kTarget, "a", TRUE, FALSE, FALSE);
    EXPECT_TRUE(kb.layoutQueries.empty());
}

TEST(TypingText, ExpandShorthandParams)
{
    const struct {
        const char *args;
        const char *expansion;
        const char *expected;
    } cases[] = {
        {"Bob,Smith", "Dear %1 %2, 100%% sure", "Dear Bob Smith, 100% sure"},
        {"Bob", "%1 and %2", "Bob and "},
        {"", "50% off", "50off"},
        {"", "", ""},
        {"", "%", "%"},
        {"X", "ends with %", "ends with %"},
        {"", "%%", "%"},
        {"X", "%%1", "%1"},
        {"X", "%0%1", "X"},
        {"a,,c", "[%1][%2][%3]", "[a][][c]"},
        {"%2,Y", "%1%2", "%2Y"},
        {",", "<%1|%2|%3>", "<||>"},
        {"1,2,3,4,5,6,7,8,9,10,11", "%9%10", "910"},
        {"", "%x%y%z", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.args) + " | " + c.expansion);
        EXPECT_STREQ(ExpandShorthandParams(c.args, c.expansion).GetString(), c.expected);
    }
}

class TypingSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_space = g_bSpaceAfterPunct;
        m_double = g_bDoubleSpace;
        m_oneChar = g_bOneCharAllCap;
    }
    void TearDown() override
    {
        g_bSpaceAfterPunct = m_space;
        g_bDoubleSpace = m_double;
        g_bOneCharAllCap = m_oneChar;
    }

private:
    int m_space = 0, m_double = 0, m_oneChar = 0;
};

TEST_F(TypingSettings, ApplyPunctuationSpacing)
{
    const struct {
        int space, doubleSpace;
        const char *text;
        char ch;
        const char *expected;
    } cases[] = {
        {1, 0, "3", '.', "3."},     {1, 0, "3", ',', "3,"},      {1, 0, "end", '.', "end. "},
        {1, 1, "end", '.', "end.  "}, {1, 1, "end", ',', "end, "},  {1, 0, "end", ',', "end, "},
        {1, 1, "why", '?', "why?  "}, {1, 1, "so", '!', "so!  "},   {1, 1, "3", ';', "3; "},
        {1, 1, "(a", ')', "(a) "},  {1, 1, "a", ':', "a: "},     {1, 1, "a", '-', "a-"},
        {0, 1, "end", '.', "end."}, {1, 1, "", '.', ""},         {1, 1, "end", '\0', "end"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.text) + c.ch);
        g_bSpaceAfterPunct = c.space;
        g_bDoubleSpace = c.doubleSpace;
        CString text = c.text;
        ApplyPunctuationSpacing(text, c.ch);
        EXPECT_STREQ(text.GetString(), c.expected);
    }
}

TEST_F(TypingSettings, MatchPrefixCase)
{
    const struct {
        int oneCharAllCap;
        const char *prefix;
        int mode;
        const char *completion;
        const char *expected;
    } cases[] = {
        {0, "hel", 0, "hello", "hello"},     {0, "Hel", 0, "hello", "Hello"},
        {0, "HEl", 0, "hello", "Hello"},     {0, "HEl", 1, "hello", "HELLO"},
        {0, "HeL", 0, "hello", "Hello"},     {0, "H", 0, "hello", "Hello"},
        {1, "H", 0, "hello", "HELLO"},       {1, "Hel", 1, "hello", "Hello"},
        {1, "MA", 0, "McDonald", "McDonald"}, {0, "MA", 0, "McDonald", "McDonald"},
        {0, "M1", 0, "mike", "Mike"},        {1, "M1", 0, "mike", "MIKE"},
        {0, "he", 0, "iPod", "iPod"},        {0, "", 0, "hello", "hello"},
        {1, "H", 0, "", ""},                 {0, "HELLO", 0, "hello", "HELLO"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.prefix) + " " + c.completion);
        g_bOneCharAllCap = c.oneCharAllCap;
        CString completion = c.completion;
        MatchPrefixCase(c.prefix, completion, c.mode);
        EXPECT_STREQ(completion.GetString(), c.expected);
    }
}

TEST(TypingText, ProtectTitleAbbreviations)
{
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"Dear Dr. Smith", "Dear Dr.\xA0Smith"},
        {"Mr. and Mrs. Lee, Ms. Ray", "Mr.\xA0" "and Mrs.\xA0Lee, Ms.\xA0Ray"},
        {"Dr.Smith and Dr.", "Dr.Smith and Dr."},
        {"dr. who", "dr. who"},
        {"Dr. Dr. X", "Dr.\xA0" "Dr.\xA0X"},
    };
    for (const auto &c : cases) {
        CString text = c.text;
        ProtectTitleAbbreviations(text);
        EXPECT_STREQ(text.GetString(), c.expected);
    }
}

}  // namespace

// What the hook posts for an entry: characters as themselves, line breaks as
// Enter's character; what needs real keys is left to the program.
TEST(PostedKeys, EncodeCharactersAndLineBreaks)
{
    const struct {
        const char *text;
        BOOL tokens;
        bool ok;
        const char *posted;
    } cases[] = {
        {"dear", FALSE, true, "dear"},
        {"12 Main Street\\crSpringfield", TRUE, true, "12 Main Street\rSpringfield"},
        {"one\r\ntwo\nthree", FALSE, true, "one\rtwo\rthree"},
        {"a\\\\b", TRUE, true, "a\\b"},    // a doubled backslash is one
        {"a\\crb", FALSE, true, "a\\crb"},  // tokens off: typed as it stands
        {"tab\there", FALSE, true, "tab\there"},
        {"r\xE9sum\xE9", FALSE, true, "r\xE9sum\xE9"},
        {"x^", TRUE, true, "x^"},           // a trailing caret is typed
        {"\\^b", TRUE, true, "\\^b"},       // so is an escaped one
        {"bold ^b", TRUE, false, ""},       // Ctrl+B
        {"()\\lt", TRUE, false, ""},        // a cursor key
        {"ab\\bkc", TRUE, false, ""},       // Backspace
        {"wait\\dl5", TRUE, false, ""},     // a pause
        {"bell\a", FALSE, false, ""},      // a control character
    };
    for (const auto &c : cases) {
        CString out;
        EXPECT_EQ(EncodePostedKeys(c.text, c.tokens, out), c.ok) << c.text;
        if (c.ok) {
            EXPECT_STREQ(out.GetString(), c.posted) << c.text;
        }
    }
}
