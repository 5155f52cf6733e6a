#include "Typing.h"

#include "CharClasses.h"
#include "EngineDiagnostics.h"
#include "EngineSettings.h"
#include "HookMessages.h"
#include "SharedSection.h"
#include "TextHelpers.h"

// The platform's backend; TypingWin.cpp on Windows.
KeyboardBackend *DefaultKeyboardBackend();

namespace {

KeyboardBackend *g_backend = nullptr;

KeyboardBackend &Backend()
{
    return g_backend ? *g_backend : *DefaultKeyboardBackend();
}

bool IsAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsAsciiLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

struct KeyToken {
    const char *name;
    BYTE vk;
    char ch;
};

const KeyToken kKeyTokens[] = {
    {"cr", KEY_RETURN, 13}, {"up", KEY_UP, 0},    {"dn", KEY_DOWN, 0}, {"lt", KEY_LEFT, 0},
    {"rt", KEY_RIGHT, 0},   {"pu", KEY_PRIOR, 0}, {"pd", KEY_NEXT, 0}, {"hm", KEY_HOME, 0},
    {"en", KEY_END, 0},     {"bk", KEY_BACK, 8},
};

char LowerAscii(char c) { return IsAsciiUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

void Press(BYTE vk, BYTE scan) { SendKeyEvent(vk, scan, 0); }
void Release(BYTE vk, BYTE scan) { SendKeyEvent(vk, scan, KEY_RELEASE); }

// Modifier down, key down, modifier up, key up: the fixed clipboard combinations.
void SendCombination(BYTE modifier, BYTE key)
{
    Press(modifier, 0);
    Press(key, 0);
    Release(modifier, 0);
    Release(key, 0);
}

#ifndef _WIN32
// Without a desktop there is nothing to type into and no layout to ask.
struct NullKeyboardBackend : KeyboardBackend {
    void KeyEvent(BYTE, BYTE, DWORD, uintptr_t) override {}
    short VkKeyScan(char, void *) override { return -1; }
    BYTE ScanCode(BYTE, void *) override { return 0; }
    void *LayoutOf(HWND) override { return nullptr; }
    bool CapsLockOn() override { return false; }
    void PostChar(HWND, uintptr_t, intptr_t) override {}
    void Sleep(int) override {}
};
#endif

}  // namespace

#ifndef _WIN32
KeyboardBackend *DefaultKeyboardBackend()
{
    static NullKeyboardBackend backend;
    return &backend;
}
#endif

void SetKeyboardBackend(KeyboardBackend *backend) { g_backend = backend; }

void SendKeyEvent(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra)
{
    Backend().KeyEvent(vk, scan, flags, extra);
    KeyEventPause();
}

void TypeAltNumpad(BYTE ch, void *layout)
{
    KeyboardBackend &kb = Backend();
    const BYTE altScan = kb.ScanCode(KEY_ALT, layout);
    Press(KEY_ALT, altScan);
    const int digits[4] = {0, ch / 100, (ch % 100) / 10, ch % 10};
    for (int digit : digits) {
        const BYTE vk = static_cast<BYTE>(KEY_NUMPAD0 + digit);
        const BYTE scan = kb.ScanCode(vk, layout);
        Press(vk, scan);
        Release(vk, scan);
    }
    Release(KEY_ALT, altScan);
}

int SendKeysToWindow(HWND target, const CString &source, BOOL tokens, BOOL charMode, BOOL send)
{
    CString text = source;
    text.Replace("\r\n", "\n");
    KeyboardBackend &kb = Backend();
    void *layout = kb.LayoutOf(target);
    const BYTE ctrlScan = kb.ScanCode(KEY_CONTROL, layout);
    const int length = text.GetLength();
    int events = 0;

    for (int i = 0; i < length; ++i) {
        BYTE vk = 0;
        char ch = 0;
        bool shift = false, ctrl = false, altGr = false;
        bool keyToken = false;

        if (tokens && text[i] == '\\') {
            if (i < length - 1 && text[i + 1] == '\\') {
                ++i;  // the second backslash is typed as itself
            } else if (i < length - 2 && (i == 0 || text[i - 1] != '\\')) {
                const char a = LowerAscii(text[i + 1]);
                const char b = LowerAscii(text[i + 2]);
                if (a == 'd' && b == 'l') {
                    int j = i + 3;
                    int units = 0;
                    for (; j < length && IsAsciiDigit(text[j]); ++j) {
                        if (units < MAX_TYPING_PAUSE_UNITS)
                            units = units * 10 + (text[j] - '0');
                    }
                    if (units > MAX_TYPING_PAUSE_UNITS)
                        units = MAX_TYPING_PAUSE_UNITS;
                    if (units > 0)
                        kb.Sleep(units * 100);
                    i = j - 1;
                    continue;
                }
                for (const KeyToken &token : kKeyTokens) {
                    if (token.name[0] == a && token.name[1] == b) {
                        vk = token.vk;
                        ch = token.ch;
                        keyToken = true;
                        i += 2;
                        break;
                    }
                }
            }
        }

        // A trailing caret has nothing to hold Ctrl for and is typed as itself.
        if (!keyToken && text[i] == '^' && (i == 0 || text[i - 1] != '\\') && i < length - 1) {
            ctrl = true;
            ++i;
        }

        if (!keyToken) {
            ch = text[i];
            const unsigned short r = static_cast<unsigned short>(kb.VkKeyScan(ch, layout));
            vk = static_cast<BYTE>(r & 0xFF);
            const unsigned high = r >> 8;
            shift = (high & 1) != 0;
            altGr = (high & 6) == 6;
        }

        const BYTE scan = kb.ScanCode(vk, layout);
        if (kb.CapsLockOn() && (IsAsciiUpper(ch) || IsAsciiLower(ch)))
            shift = !shift;

        const BYTE code = static_cast<BYTE>(ch);
        if (code >= 0x80) {
            if (send)
                TypeAltNumpad(code, layout);
            events += 5;
            continue;
        }

        if (charMode) {
            if (send)
                kb.PostChar(target, code, (static_cast<intptr_t>(scan) << 16) + 0x1E000001);
            continue;
        }

        const BYTE shiftScan = kb.ScanCode(KEY_SHIFT, layout);
        const BYTE altScan = kb.ScanCode(KEY_ALT, layout);
        if (send) {
            if (shift)
                Press(KEY_SHIFT, shiftScan);
            if (ctrl)
                Press(KEY_CONTROL, ctrlScan);
            if (altGr) {
                Press(KEY_ALT, altScan);
                Press(KEY_CONTROL, ctrlScan);
            }
            Press(vk, scan);
            Release(vk, scan);
        }
        ++events;
        if (shift) {
            if (send)
                Release(KEY_SHIFT, shiftScan);
            ++events;
        }
        if (ctrl) {
            if (send)
                Release(KEY_CONTROL, ctrlScan);
            ++events;
        }
        if (altGr) {
            if (send) {
                Release(KEY_ALT, altScan);
                Release(KEY_CONTROL, ctrlScan);
            }
            ++events;
        }
    }
    return events;
}

void SendPasteKeys(BOOL shiftInsert)
{
    g_nSendKey = 2;
    if (shiftInsert)
        SendCombination(KEY_SHIFT, KEY_INSERT);
    else
        SendCombination(KEY_CONTROL, 'V');
}

void SendCopyKeys(BOOL ctrlInsert, int ms)
{
    g_nSendKey = 2;
    SendCombination(KEY_CONTROL, ctrlInsert ? KEY_INSERT : 'C');
    Backend().Sleep(ms);
}

void SendSelectAllKeys() { SendCombination(KEY_CONTROL, 'A'); }

void SendBackspaces(HWND target, int n)
{
    KeyboardBackend &kb = Backend();
    const BYTE scan = kb.ScanCode(KEY_BACK, kb.LayoutOf(target));
    for (int k = 0; k < n; ++k) {
        Press(KEY_BACK, scan);
        Release(KEY_BACK, scan);
    }
}

CString ExpandShorthandParams(const CString &args, const CString &expansion)
{
    CString parts[10];
    int n = 0;
    if (!args.IsEmpty()) {
        int start = 0;
        while (n < 10) {
            const int comma = args.Find(',', start);
            if (comma < 0) {
                parts[n++] = args.Mid(start);
                break;
            }
            parts[n++] = args.Mid(start, comma - start);
            start = comma + 1;
        }
    }

    CString text = expansion;
    int i = 0;
    // Every round either moves i forward or shortens the text, so this ends.
    while (i < text.GetLength() - 1) {
        if (text[i] != '%' || (i > 0 && text[i - 1] == '%')) {
            ++i;
            continue;
        }
        const char c = text[i + 1];
        if (c == '%') {
            text.Delete(i, 1);
            i += 2;
        } else if (c >= '1' && c <= '9' && c - '1' < n) {
            const CString &part = parts[c - '1'];
            text.Delete(i, 2);
            text.Insert(i, part.GetString());
            i += part.GetLength();
        } else {
            text.Delete(i, 2);
        }
    }
    return text;
}

void MatchPrefixCase(const CString &prefix, CString &completion, int mode)
{
    if (prefix.IsEmpty() || completion.IsEmpty())
        return;
    const CString typed = mode == 1 ? prefix.Left(2) : prefix;
    bool upper = false, lower = false, innerUpper = false;
    for (int k = 0; k < typed.GetLength(); ++k) {
        upper = upper || IsAsciiUpper(typed[k]);
        lower = lower || IsAsciiLower(typed[k]);
        innerUpper = innerUpper || (k > 0 && IsAsciiUpper(typed[k]));
    }
    const bool allCaps = g_bOneCharAllCap ? (upper && !lower) : (typed.GetLength() >= 2 && !lower && innerUpper);
    if (allCaps && !IsCapitalizedWord(completion))
        completion.MakeUpper();
    if (IsAsciiUpper(typed[0]))
        completion.SetAt(0, ToUpperAscii(completion[0]));
}

void ApplyPunctuationSpacing(CString &text, char ch)
{
    if (text.IsEmpty() || ch == 0)
        return;
    const char prev = text[text.GetLength() - 1];
    text += ch;
    for (int n = PunctuationSpaces(prev, ch, g_bSpaceAfterPunct != 0, g_bDoubleSpace != 0); n > 0; --n)
        text += ' ';
}

void ProtectTitleAbbreviations(CString &text)
{
    static const char *const kTitles[] = {"Dr.", "Mr.", "Ms.", "Mrs."};
    for (const char *title : kTitles) {
        const CString spaced = CString(title) + ' ';
        const CString joined = CString(title) + '\xA0';
        text.Replace(spaced.GetString(), joined.GetString());
    }
}

bool EncodePostedKeys(const CString &source, BOOL tokens, CString &out)
{
    CString text = source;
    text.Replace("\r\n", "\n");
    out.Empty();
    const int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        const char c = text[i];
        if (tokens && c == '\\') {
            if (i < length - 1 && text[i + 1] == '\\') {
                out += '\\';
                ++i;
                continue;
            }
            if (i < length - 2 && (i == 0 || text[i - 1] != '\\')) {
                const char a = LowerAscii(text[i + 1]);
                const char b = LowerAscii(text[i + 2]);
                if (a == 'c' && b == 'r') {
                    out += '\r';
                    i += 2;
                    continue;
                }
                // Cursor keys, Backspace and pauses need real keys.
                if (a == 'd' && b == 'l')
                    return false;
                for (const KeyToken &token : kKeyTokens)
                    if (token.name[0] == a && token.name[1] == b)
                        return false;
            }
        }
        // A caret before a character holds Ctrl for it, as when typed.
        if (c == '^' && (i == 0 || text[i - 1] != '\\') && i < length - 1)
            return false;
        // Control characters other than Tab and line breaks have no key.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')
            return false;
        out += c == '\n' ? '\r' : c;
    }
    return true;
}
