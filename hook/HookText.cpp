#include "HookText.h"

#include <cstring>

#include "CharClasses.h"
#include "KeyFlags.h"
#include "PathText.h"
#include "SharedSection.h"
#include "StringArray.h"
#include "TextHelpers.h"

namespace {

// Virtual keys, named here so that this builds without the Windows headers.
enum : UINT {
    KEY_BACK = 0x08,
    KEY_TAB = 0x09,
    KEY_RETURN = 0x0D,
    KEY_SHIFT = 0x10,
    KEY_CONTROL = 0x11,
    KEY_MENU = 0x12,
    KEY_PRIOR = 0x21,
    KEY_DOWN = 0x28,
    KEY_LWIN = 0x5B,
    KEY_RWIN = 0x5C,
};

template <size_t N>
CString ReadShared(const char (&value)[N])
{
    return CString(value, static_cast<int>(SharedStringLength(value)));
}

bool Contains(const char *text, const char *part)
{
    return text && part && std::strstr(text, part) != nullptr;
}

bool Equals(const char *a, const char *b)
{
    return a && b && std::strcmp(a, b) == 0;
}

bool BeginsWith(const char *text, const char *prefix)
{
    return text && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

BOOL IsHookWordChar(int c)
{
    const unsigned char ch = static_cast<unsigned char>(c);
    if (ch == 0)
        return FALSE;
    if (g_bNonEnglishChar && IsLatin1Letter(ch))
        return TRUE;
    if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9'))
        return TRUE;
    const size_t length = SharedStringLength(NonDelimiter);
    return std::memchr(NonDelimiter, ch, length) != nullptr;
}

BOOL IsHookPrintableChar(int c)
{
    const unsigned char ch = static_cast<unsigned char>(c);
    return ch == 9 || ch == 13 || (ch >= 32 && ch <= 126) || IsLatin1Letter(ch);
}

BOOL IsHookDelimiterChar(int c)
{
    return IsHookPrintableChar(c) && !IsHookWordChar(c);
}

char ShiftCharUS(char c)
{
    static const char plain[] = "`1234567890-=[]\\;',./";
    static const char shifted[] = "~!@#$%^&*()_+{}|:\"<>?";
    static_assert(sizeof plain == sizeof shifted, "one shifted character per key");
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    if (c == 0)
        return c;
    const char *at = std::strchr(plain, c);
    return at ? shifted[at - plain] : c;
}

char TranslateKeyChar(char mapped, BOOL ctrlDown, BOOL capsLockOn, BOOL shiftDown)
{
    if (mapped == 0 || ctrlDown)
        return 0;
    char c = mapped;
    if (!capsLockOn && c >= 'A' && c <= 'Z')
        c = static_cast<char>(c - 'A' + 'a');
    return shiftDown ? ShiftCharUS(c) : c;
}

BOOL MatchHotKey(UINT code, UINT vk, UINT flags, UINT heldModifiers)
{
    if ((code & 0xFF) != vk)
        return FALSE;
    const bool codeExtended = (code & HOOK_KEY_EXTENDED) != 0;
    const bool storedExtended = (flags & KEYMOD_EXT) != 0;
    // Either Ctrl key stands for a stored Ctrl.
    if (vk != KEY_CONTROL && codeExtended != storedExtended)
        return FALSE;
    const UINT key = code & 0xFF;
    auto agrees = [&](UINT flag) { return ((heldModifiers & flag) != 0) == ((flags & flag) != 0); };
    if (vk != KEY_CONTROL && !agrees(KEYMOD_CTRL))
        return FALSE;
    if (key != KEY_SHIFT && !agrees(KEYMOD_SHIFT))
        return FALSE;
    if (key != KEY_MENU && !agrees(KEYMOD_ALT))
        return FALSE;
    if (key != KEY_LWIN && key != KEY_RWIN && !agrees(KEYMOD_WIN))
        return FALSE;
    return TRUE;
}

BOOL IsNavigationKey(UINT vk)
{
    return vk >= KEY_PRIOR && vk <= KEY_DOWN;
}

void UpdateCharBuf(char c)
{
    const unsigned char ch = static_cast<unsigned char>(c);
    if (ch == 0)
        return;
    if (ch == KEY_RETURN || ch == KEY_TAB) {
        CharBuf[0] = 0;
        return;
    }
    if (ch == KEY_BACK) {
        // Bounded to the 258 characters AppendWordChar keeps.
        size_t length = 0;
        while (length < WORD_BUFFER_SIZE - 1 && CharBuf[length])
            ++length;
        if (length)
            CharBuf[length - 1] = 0;
        return;
    }
    if (IsHookWordChar(ch) || IsHookDelimiterChar(ch))
        AppendWordChar(CharBuf, c);
}

void ClearHookBuffers()
{
    CharBuf[0] = 0;
    WordBuffer[0] = 0;
}

BOOL MatchAppList(const char *list, const char *title, const char *programName)
{
    CString lowerList(list), lowerTitle(title), lowerName(programName);
    lowerList.MakeLower();
    lowerTitle.MakeLower();
    lowerName.MakeLower();
    CStringArray tokens;
    SplitTokens(lowerList, tokens, 0, ";");
    for (int i = 0; i < tokens.GetSize(); ++i) {
        CString token = tokens.GetAt(i);
        token.Trim();
        if (token.IsEmpty())
            continue;  // a token of blanks would otherwise occur in every title
        if (token.CompareNoCase(lowerName) == 0)
            return TRUE;
        const bool exeName = token.GetLength() >= 4 && token.Right(4) == ".exe";
        if (!exeName && lowerTitle.Find(token) >= 0)
            return TRUE;
    }
    return FALSE;
}

CString HookProgramName(const char *programPath)
{
    CString name = GetFileName(programPath);
    name.MakeLower();
    return name;
}

BOOL DecideHookEnabled(const HookWindowFacts &facts)
{
    if (facts.isTestOrManualWindow)
        return TRUE;
    const char *cls = facts.className ? facts.className : "";
    const char *name = facts.programName ? facts.programName : "";
    const char *title = facts.focusTitle ? facts.focusTitle : "";
    if (facts.hasPasswordStyle && Contains(cls, "Edit"))
        return FALSE;
    if (Equals(cls, "SysListView32") || Equals(cls, "SysTreeView32") || Equals(cls, "msctls_hotkey32"))
        return FALSE;
    if (Equals(name, "devenv.exe") && !Equals(cls, "VsTextEditPane") && !BeginsWith(cls, "HwndWrapper"))
        return FALSE;
    if (MatchAppList(ReadShared(g_szForceEnable), title, name))
        return TRUE;
    if (Equals(name, "explorer.exe") && g_bDisableInExp)
        return FALSE;
    if (Equals(name, "iexplore.exe"))
        return Equals(cls, "Edit") ? FALSE : (g_bEnableInIE ? TRUE : FALSE);
    if (Equals(name, "firefox.exe") && Equals(cls, "Edit"))
        return FALSE;
    if (s_bIncludeAllExcept)
        return MatchAppList(ReadShared(ProcessExcluded), title, name) ? FALSE : TRUE;
    return MatchAppList(ReadShared(ProcessIncluded), title, name);
}

BOOL IsWordDocumentFor(const char *rootTitle, const char *className)
{
    return Contains(rootTitle, "Microsoft Word") && Equals(className, "_WwG");
}

BOOL IsDelphiEditorFor(const char *programPath, const char *className)
{
    return (Contains(programPath, "delphi") || Contains(programPath, "bcb")) && Equals(className, "TEditControl");
}

BOOL IsCaretUnreliableFor(const char *rootTitle, const char *className, const char *programPath)
{
    CString name = GetFileName(programPath, true);
    name.MakeLower();
    if (Contains(rootTitle, "Microsoft PowerPoint") || IsWordDocumentFor(rootTitle, className) ||
        Contains(rootTitle, "emacs"))
        return TRUE;
    static const char *const unreliable[] = {"trillian", "602text", "framemaker", "abiword", "citrix"};
    for (const char *candidate : unreliable)
        if (name == candidate)
            return TRUE;
    return MatchAppList(ReadShared(g_szForceEnable), rootTitle, name + ".exe");
}

BOOL IsCharBufAppFor(const char *focusTitle, const char *className, const char *programName)
{
    if (Contains(focusTitle, "Microsoft Access"))
        return TRUE;
    const CString list = ReadShared(g_szAppListForceCharBuf) + ";Foxmail;outlook.exe;winword.exe";
    if (MatchAppList(list, focusTitle, programName))
        return TRUE;
    if (Equals(className, "Internet Explorer_Server"))
        return TRUE;
    return BeginsWith(className, "HwndWrapper") && Equals(programName, "devenv.exe");
}
