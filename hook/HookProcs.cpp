// Hook procedures and the per-process hook handles. Only the program's own
// process gives the handles values; everywhere else they stay NULL.
//
// These run inside every GUI process on the desktop, on every key event and
// every queued message, so they stay cheap (messages that are not ours are
// passed on before any lookup), never let an exception out, read shared
// window handles only after IsWindow, and call the next hook on every path
// that does not swallow the event.
#include "HookProcs.h"

#include <cstring>

#include "CharClasses.h"
#include "HookMessages.h"
#include "HookProcState.h"
#include "HookSpellCheck.h"
#include "HookTextWin.h"
#include "KeyFlags.h"
#include "LatencyStamps.h"
#include "MainWindowLookup.h"
#include "Offer.h"
#include "SharedSection.h"
#include "TextHelpers.h"
#include "WindowHelpers.h"
#include "WithinThread.h"

extern "C" {
HHOOK hHookKeyboard = nullptr;
HHOOK hHookWndProc = nullptr;
HHOOK hHookGetMsg = nullptr;

void testfun() {}
}

namespace {

HookProcState s_state;

enum KeyResult { PassOn, Swallow };

bool ValidWindow(HWND window) { return window && IsWindow(window); }

void Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    if (ValidWindow(window))
        PostMessageA(window, message, wParam, lParam);
}

void PostRequestPrompt(HWND mainWindow, LPARAM lParam)
{
    StampLatency(LATENCY_REQUEST_POSTED);
    Post(mainWindow, WM_REQUEST_PROMPT, 0, lParam);
}

// A word ended: its text goes with the message, through a slot of the shared
// ring, so that the program learns what was typed then, not what the line
// holds by the time it looks.
void PostWordEnded(HWND mainWindow, char last)
{
    if (!ValidWindow(mainWindow))
        return;
    LONG seq = InterlockedIncrement(&g_nWordEndSeq);
    if (seq == 0)  // 0 names no word
        seq = InterlockedIncrement(&g_nWordEndSeq);
    WordEnd &slot = g_WordEnds[static_cast<unsigned long>(seq) % WORD_END_SLOTS];
    InterlockedExchange(&slot.seq, 0);
    SetSharedString(slot.text, WordBuffer);
    slot.last = last;
    InterlockedExchange(&slot.seq, seq);
    PostMessageA(mainWindow, WM_WORD_ENDED, static_cast<WPARAM>(seq), 0);
}

bool ProgramListed(const char *list)
{
    char title[sizeof s_szFocusTitle];
    std::memcpy(title, s_szFocusTitle, sizeof title);
    title[sizeof title - 1] = 0;
    return MatchAppList(list, title, HookProgramName(GetLowerModulePath())) != FALSE;
}

// Where the caret cannot be read, words are still followed when the settings
// say so: everywhere, or in the programs listed for prompting.
bool TrackWithoutCaret()
{
    if (g_bPromptAllCaretFail)
        return true;
    if (s_bIncludeAllExcept)
        return false;
    char included[sizeof ProcessIncluded];
    SetSharedString(included, ProcessIncluded);
    return ProgramListed(included);
}

bool LastWordBufferCharIs(bool (*test)(char))
{
    const size_t length = SharedStringLength(WordBuffer);
    return length > 0 && test(WordBuffer[length - 1]);
}

bool IsWordCharTest(char c) { return IsHookWordChar(c) != FALSE; }

// The custom selection keys are kept in the hot-key control's form: the
// virtual key in the low byte, the control's extended flag in bit 11.
bool CustomKeyIs(int stored, UINT vk, bool extended)
{
    if (stored == 0 || LOBYTE(stored) != vk)
        return false;
    const bool storedExtended = ((stored >> 8) & HKCTRL_EXT) != 0;
    return !storedExtended || extended;
}

bool IsClassName(const CString &className, const char *name) { return std::strcmp(className, name) == 0; }

// ---------------------------------------------------------------------------
// Typing an entry into the focus window from the window's own thread

// A character posted to the window: taken before any later keyboard input,
// and marked as the program's own, so nothing here takes it for typing.
void PostOwnChar(HWND window, char c)
{
    PostMessageA(window, WM_CHAR, static_cast<BYTE>(c), static_cast<LPARAM>(OWN_CHAR_MARK | 1));
}

bool IsRichEditClass(const CString &className) { return className.Left(8).CompareNoCase("RichEdit") == 0; }

// Posting types into the edit controls, whose text before the caret the hook
// reads too; elsewhere the program types with real keys.
bool PostingTypesInto(const CString &className)
{
    return className.Left(4).CompareNoCase("Edit") == 0 || IsRichEditClass(className);
}

// The n characters before the caret go: selected and cleared by messages
// both kinds of edit control take in order with the characters (a posted
// Backspace key would have its character translated behind them).
void PostErase(HWND window, int n)
{
    if (n <= 0)
        return;
    DWORD start = 0, end = 0;
    QueryControlWithinThread(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const DWORD from = start > static_cast<DWORD>(n) ? start - static_cast<DWORD>(n) : 0;
    PostMessageA(window, EM_SETSEL, from, start);
    PostMessageA(window, WM_CLEAR, 0, 0);
}

// A line break: the rich edit control breaks the line at Enter's key-down and
// ignores its character, which its thread's TranslateMessage queues behind
// everything posted here; the plain edit control takes the character. The
// mark carried into that character keeps the hook from taking it for typing.
void PostLineBreak(HWND window, bool richEdit)
{
    if (!richEdit) {
        PostOwnChar(window, '\r');
        return;
    }
    const LPARAM flags =
        static_cast<LPARAM>(MapVirtualKeyA(VK_RETURN, MAPVK_VK_TO_VSC) & 0xFF) << 16 | static_cast<LPARAM>(OWN_CHAR_MARK) | 1;
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, flags);
    PostMessageA(window, WM_KEYUP, VK_RETURN, flags | static_cast<LPARAM>(0xC0000000UL));
}

void PostText(HWND window, const char *text, int length, bool richEdit)
{
    for (int i = 0; i < length; ++i) {
        if (text[i] == '\r')
            PostLineBreak(window, richEdit);
        else
            PostOwnChar(window, text[i]);
    }
}

void PostEntry(HWND window, const OfferRow &entry, const CString &tail)
{
    const bool richEdit = IsRichEditClass(GetWindowClassName(window));
    PostErase(window, entry.erase);
    PostText(window, entry.body, entry.length, richEdit);
    PostText(window, tail.GetString(), tail.GetLength(), richEdit);
}

// Whether a key with character c chooses as the completion key does: the
// completion key's own character, a digit, or a choice made in the prompt.
bool KeyDriven(char c, bool flag)
{
    const char completion = static_cast<char>(MapVirtualKeyA(CompWordKey & 0xFF, MAPVK_VK_TO_CHAR) & 0xFF);
    return flag || (completion != 0 && c == completion) || (c >= '0' && c <= '9');
}

enum AcceptResult { NotCurrent, Accepted };

// A key chose a row of the prompt (-1: the selected one). When the offer is
// current for the focus window, the entry replaces the key: typed here, or by
// the program when posting cannot type it. The program then records the use.
// Otherwise the key stands as typed.
AcceptResult AcceptFromOffer(HWND mainWindow, HWND focus, int row, char last, bool keyDriven)
{
    OfferChoice choice;
    if (!ValidWindow(mainWindow) || g_nOfferMoves > 0 || !ReadOfferRow(g_Offer, row, choice) ||
        choice.target != focus)
        return NotCurrent;
    RefreshWordBuffer();
    if (std::strncmp(choice.word, WordBuffer, sizeof choice.word) != 0)
        return NotCurrent;
    const bool here = choice.entry.length != OFFER_PROGRAM_TYPES && PostingTypesInto(GetWindowClassName(focus));
    if (here)
        PostEntry(focus, choice.entry, AcceptTail(choice.entry.tail, last, keyDriven));
    PostMessageA(mainWindow, WM_ENTRY_CHOSEN, static_cast<WPARAM>(choice.id),
                 EntryChosenParam(choice.row, last, keyDriven, here));
    return Accepted;
}

// ---------------------------------------------------------------------------
// The keyboard procedure's stages. Each takes the key events its comment
// names and says what becomes of them; Next hands the event to the next stage.

enum Step { Next, StepPass, StepSwallow, StepFinish, StepRecord };

// After the control has processed a typed character: the line before the
// caret and the caret are read again and the prompt is requested.
void DelayedKeyDownWork(HWND mainWindow)
{
    RefreshWordBuffer();
    UpdateCaretPos();
    if (IsFocusHookEnabled())
        PostRequestPrompt(mainWindow, 0);
}

// A key-down while delayed key-down work waits for a paint: the next key must
// meet the line as it stands, so the work is done now.
void FinishWaitingWork()
{
    HookProcState &s = s_state;
    if (!s.afterPaintWindow)
        return;
    s.afterPaintWindow = nullptr;
    if (const HWND mainWindow = FindMainWindow())
        DelayedKeyDownWork(mainWindow);
}

// One key event in the thread with the focus, as the stages see it.
struct KeyEvent {
    UINT vk = 0;
    LPARAM lParam = 0;
    bool down = false;  // auto-repeats count as down
    bool extended = false;
    UINT eventCode = 0;  // vk, plus HOOK_KEY_EXTENDED for an extended key
    HWND mainWindow = nullptr;
    HWND focus = nullptr;
    CString focusClass;
    bool enabled = false;
    int listed = 0;        // rows the prompt offers
    bool visible = false;  // the prompt is shown with rows
    bool ctrl = false, alt = false, win = false, anyModifier = false;
    bool fKey = false;
    char typed = 0;  // the key's character
};

// Finish: remember the last key-down, or re-read the line after a release.
KeyResult FinishKey(const KeyEvent &k)
{
    if (k.down) {
        g_nLastKeyDown = k.vk;
        g_tkLastKeyDown = GetTickCount();
    } else {
        RefreshWordBuffer();
    }
    return PassOn;
}

// Every key: whether the hook looks at it at all. Keys typed into a password
// field are neither looked at nor kept, and nothing typed before stays in the
// shared buffers; the program's own keys (it may type a stored password) are
// still counted off.
Step Enter(KeyEvent &k)
{
    if (!bEnablePrompt)
        return StepPass;
    k.mainWindow = FindMainWindow();
    if (!k.mainWindow)
        return StepPass;
    k.focus = GetFocus();
    if (!k.focus)
        return StepPass;
    hFocusEdit = k.focus;
    k.focusClass = GetWindowClassName(k.focus);
    if (IsClassName(k.focusClass, "msctls_hotkey32") || IsClassName(k.focusClass, "BrainchildEditControl32"))
        return StepPass;
    if (IsPasswordField(k.focus)) {
        ClearHookBuffers();
        nLastChar = 0;
        if (!k.down && g_nSendKey > 0)
            --g_nSendKey;
        return StepPass;
    }
    return Next;
}

// Every key: what the later stages need to know about it and the prompt.
void SetUp(KeyEvent &k)
{
    KeyCode = k.vk;
    k.enabled = IsHookEnabledFor(k.focus) != FALSE;
    if (g_nSendKey < 0)
        g_nSendKey = 0;
    // What the prompt offers is in the shared section: no call into the
    // program on a key's path.
    const HWND prompt = hPromptWnd;
    k.listed = ValidWindow(prompt) && g_nSendKey <= 0 ? ClampShared(g_Offer.rows, 0, OFFER_ROWS) : 0;
    k.visible = k.listed > 0 && IsWindowVisible(prompt);

    k.extended = (k.lParam & (1L << 24)) != 0;
    k.eventCode = k.vk | (k.extended ? HOOK_KEY_EXTENDED : 0);
    const UINT held = GetHeldModifiersAsync();
    k.ctrl = (held & KEYMOD_CTRL) != 0;
    k.alt = (held & KEYMOD_ALT) != 0;
    k.win = (held & KEYMOD_WIN) != 0;
    k.anyModifier = held != 0;
    k.fKey = k.vk >= VK_F1 && k.vk <= VK_F12;
    s_state.altReleased = !k.down && (k.vk == VK_MENU || k.vk == VK_LMENU || k.vk == VK_RMENU);

    if (k.down) {
        nLastChar = IsDelphiEditor() ? VkToCharToAscii(k.vk, (k.lParam >> 16) & 0xFF, GetKeyboardLayout(0))
                                     : VkToChar(k.vk);
    } else if (k.vk == VK_BACK && g_nSendKey == 0 && k.enabled &&
               (IsClassName(k.focusClass, "Internet Explorer_Server") || IsClassName(k.focusClass, "VsTextEditPane"))) {
        // These controls send no WM_CHAR for Backspace.
        RefreshWordBuffer();
        UpdateCaretPos();
        PostRequestPrompt(k.mainWindow, 0);
    }
    k.typed = nLastChar;
}

// Every key while the program's editing menu holds the keyboard: to the
// program, untouched. The program's own counted keys pass.
Step Redirected(const KeyEvent &k)
{
    if (!g_bRedirectKey || g_nSendKey > 0)
        return Next;
    PostMessageA(k.mainWindow, k.down ? WM_KEYDOWN : WM_KEYUP, k.vk, k.lParam);
    return StepSwallow;
}

// Every key: the caret of the focus window. Where it cannot be read and words
// are not followed without it, the key only finishes.
Step ReadCaret(const KeyEvent &k)
{
    if (k.focus != hWndManualActivate)
        hWndManualActivate = nullptr;
    const CString focusTitle = GetFocusTopTitle();
    SetSharedString(s_szFocusTitle, sizeof s_szFocusTitle, focusTitle);
    if (!GetRootWindow(k.focus))
        return StepFinish;
    if (IsCaretUnreliableApp()) {
        CaretPos.x = CaretPos.y = -1;
        return Next;
    }
    POINT caret = {0, 0};
    const BOOL read = GetCaretPos(&caret);
    if (read)
        CaretPos = caret;
    if (read && caret.x >= 1 && caret.y >= 0)
        return Next;
    if (!TrackWithoutCaret()) {
        // The program's own keys are counted off here too, or a window
        // without a caret would leave the hook ignoring the user's keys until
        // the program's timer gives up.
        if (!k.down && g_nSendKey > 0)
            --g_nSendKey;
        return StepFinish;
    }
    CaretPos.x = CaretPos.y = -1;
    return Next;
}

// The program's own key events while it types: only counted.
Step OwnKeys(const KeyEvent &k)
{
    if (g_nSendKey <= 0)
        return Next;
    if (k.down)
        return StepRecord;
    --g_nSendKey;
    RefreshWordBuffer();
    return StepPass;
}

// Every key of the user's: the bookkeeping before the prompt's keys.
Step Bookkeeping(const KeyEvent &k)
{
    if (k.down && !IsHookWordChar(k.typed))
        g_bAlterPrompt = 0;
    if (g_nLastComp > 0)
        --g_nLastComp;
    if (!ValidWindow(hPromptWnd))
        return StepFinish;
    if (CaretPos.x == 1 && CaretPos.y == 1 && !k.down) {
        Post(k.mainWindow, WM_HIDE_PROMPT);
        RefreshWordBuffer();
        return StepPass;
    }
    return Next;
}

// The Expand Alias hot key's key-down, when the program has an alias to expand.
Step AliasKey(const KeyEvent &k)
{
    if (!k.down || !MatchHotKey(k.vk, LOWORD(s_nExpAliasKeyCode), LOWORD(s_nExpAliasKeyFlag)))
        return Next;
    s_state.navigated = FALSE;
    s_state.compKeyDown = FALSE;
    LRESULT canExpand = 0;
    if (QueryMainWindow(k.mainWindow, 1, 0, &canExpand) && canExpand) {
        Post(k.mainWindow, WM_EXPAND_ALIAS);
        return StepSwallow;
    }
    return Next;
}

// Esc, down or up, while the prompt is shown: hides it.
Step EscapeKey(const KeyEvent &k)
{
    if (k.vk != VK_ESCAPE || !k.visible)
        return Next;
    g_tkLastKeyDown = GetTickCount();
    g_nLastKeyDown = VK_ESCAPE;
    Post(k.mainWindow, WM_HIDE_PROMPT);
    hWndManualActivate = nullptr;
    return StepSwallow;
}

// A selection move posted to the prompt: until the prompt has made it and
// published its rows again, no key chooses from the offer.
void PostPromptMove(UINT message, UINT vk)
{
    InterlockedIncrement(&g_nOfferMoves);
    if (ValidWindow(hPromptWnd))
        PostMessageA(hPromptWnd, message, vk, 0);
    else
        InterlockedExchange(&g_nOfferMoves, 0);
}

// Line keys (without modifiers) move the prompt's selection while it is shown.
Step LineKey(const KeyEvent &k)
{
    if (k.anyModifier)
        return Next;
    bool lineKey = false;
    switch (g_nSWKeyOption) {
    case 0:
        lineKey = (k.vk == VK_UP || k.vk == VK_DOWN) && k.extended;
        break;
    case 1:
        lineKey = (k.vk == VK_UP || k.vk == VK_DOWN) && !k.extended;
        break;
    case 2:
        lineKey = CustomKeyIs(g_nPrevKey, k.vk, k.extended) || CustomKeyIs(g_nNextKey, k.vk, k.extended);
        break;
    default:
        break;
    }
    if (!lineKey)
        return Next;
    UINT lineVk = k.vk;
    if (CustomKeyIs(g_nNextKey, k.vk, k.extended))
        lineVk = VK_DOWN;
    else if (CustomKeyIs(g_nPrevKey, k.vk, k.extended))
        lineVk = VK_UP;
    KeyCode = lineVk;
    if (!k.visible)
        return Next;
    if (k.down) {
        PostPromptMove(WM_PROMPT_LINE, lineVk);
        s_state.navigated = TRUE;
    }
    return StepSwallow;
}

// Page keys (also with modifiers) page the prompt while it is shown.
Step PageKey(const KeyEvent &k)
{
    bool pageKey = false;
    switch (g_nSWKeyOption) {
    case 0:
        pageKey = (k.vk == VK_PRIOR || k.vk == VK_NEXT) && k.extended;
        break;
    case 1:
        pageKey = (k.vk == VK_PRIOR || k.vk == VK_NEXT) && !k.extended;
        break;
    case 2:
        pageKey = (g_nPgupKey && LOBYTE(g_nPgupKey) == k.vk) || (g_nPgdnKey && LOBYTE(g_nPgdnKey) == k.vk);
        break;
    default:
        break;
    }
    if (!pageKey || !k.visible)
        return Next;
    UINT pageVk = k.vk;
    if (g_nPgupKey && LOBYTE(g_nPgupKey) == k.vk)
        pageVk = VK_PRIOR;
    else if (g_nPgdnKey && LOBYTE(g_nPgdnKey) == k.vk)
        pageVk = VK_NEXT;
    if (k.down) {
        PostPromptMove(WM_PROMPT_PAGE, pageVk);
        s_state.navigated = TRUE;
    }
    return StepSwallow;
}

// The manual activation key: armed at the key-down, requested at the release
// once the key and every modifier are up, so no part of it reaches the
// application.
Step ManualActivation(const KeyEvent &k)
{
    HookProcState &s = s_state;
    if (k.visible) {
        s.activateDown = FALSE;
        return Next;
    }
    if (s.activateDown) {
        if (k.down) {
            s.activateDown = FALSE;
            return Next;
        }
        if (AreKeysHeldAtRelease(LOBYTE(g_nActivatePromptKey), k.vk))
            return Next;
        s.activateDown = FALSE;
        if (ValidWindow(k.mainWindow)) {
            hWndManualActivate = k.focus;
            if (IsHookEnabledFor(k.focus)) {
                PostRequestPrompt(k.mainWindow, 1);
            } else {
                hWndManualActivate = nullptr;
                ClearHookBuffers();
            }
        }
        s.altReleased = FALSE;
        return StepSwallow;
    }
    if (k.down && g_nActivatePromptKey &&
        MatchHotKey(k.eventCode, LOBYTE(g_nActivatePromptKey), HIBYTE(LOWORD(g_nActivatePromptKey)))) {
        s.activateDown = TRUE;
        return StepSwallow;
    }
    return Next;
}

// Closing punctuation or an apostrophe typed after a space, with the prompt
// hidden and "RemoveSpaceBeforePunctuation" on: it takes the place of the
// space or two a completion added, typed here, in its place in the stream.
Step PunctuationAfterSpace(const KeyEvent &k)
{
    if (k.visible || !k.down || !k.enabled || !g_bRemoveSpaceBeforePunctuation ||
        !(IsClosingPunct(k.typed) || k.typed == '\'') || !PostingTypesInto(k.focusClass))
        return Next;
    RefreshWordBuffer();
    const int spaces = CountReplaceableSpaces(CString(WordBuffer, static_cast<int>(SharedStringLength(WordBuffer))));
    if (spaces == 0)
        return Next;
    PostErase(k.focus, spaces);
    PostOwnChar(k.focus, k.typed);
    return StepSwallow;
}

// Completion by a typed key, shown prompt or not, after a word: the space bar
// as completion key, Enter after moving the selection, or a delimiter that
// completes. A key meeting no current offer is typed; a stale prompt goes.
Step CompletionByTypedKey(const KeyEvent &k)
{
    HookProcState &s = s_state;
    if (!bEnablePrompt || !k.down || !k.enabled)
        return Next;
    const bool byKey = (k.eventCode == VK_SPACE && CompWordKey == VK_SPACE) || (k.vk == VK_RETURN && s.navigated) ||
                       (g_bAutoCompleteUponDelimiter &&
                        ((IsHookDelimiterChar(k.typed) && !g_bCompleteUponPunctOnly) || IsClosingPunct(k.typed)));
    if (!byKey)
        return Next;
    RefreshWordBuffer();
    if (!LastWordBufferCharIs(IsWordCharTest) || g_nLastKeyDown == VK_ESCAPE)
        return Next;
    if (AcceptFromOffer(k.mainWindow, k.focus, -1, k.typed, KeyDriven(k.typed, false)) == Accepted)
        return StepSwallow;
    if (k.visible)
        Post(k.mainWindow, WM_HIDE_PROMPT);
    return Next;
}

// The completion key (not the space bar) and a delimiter ending a full
// shorthand, while the prompt is shown: choose at the key-down; the key's
// release is swallowed too, so no half of it reaches the application.
Step CompletionKey(const KeyEvent &k)
{
    HookProcState &s = s_state;
    if (s.compKeyDown) {
        if (k.down) {
            s.compKeyDown = FALSE;
            return Next;
        }
        if (k.vk != s.compKeyVk)
            return Next;
        s.compKeyDown = FALSE;
        return StepSwallow;
    }
    if (!k.visible)
        return Next;
    s.compKeyEvent = CompWordKey != VK_SPACE && CompWordKey &&
                     MatchHotKey(k.eventCode, LOBYTE(CompWordKey), HIBYTE(LOWORD(CompWordKey)));
    const bool full = g_bFullSHMatch && g_bExpandFullSHAtDlmt && k.typed != '[';
    if (!k.down || !(s.compKeyEvent || (full && !k.alt && !k.ctrl && IsHookDelimiterChar(VkToChar(k.vk)))))
        return Next;
    if (s.compKeyEvent)
        g_bFullSHMatch = 0;
    const bool flag = k.vk == VK_RETURN && s.navigated;
    if (AcceptFromOffer(k.mainWindow, k.focus, -1, k.typed, KeyDriven(k.typed, flag)) != Accepted)
        return Next;
    s.compKeyDown = TRUE;
    s.compKeyVk = k.vk;
    s.navigated = FALSE;
    s.altReleased = FALSE;
    return StepSwallow;
}

// Digits (and, after moving the selection, letters) choose a row at their
// key-down; the release of the key that chose is swallowed too.
Step SelectionKey(const KeyEvent &k)
{
    HookProcState &s = s_state;
    if (s.digitDown && !k.down && k.vk == s.digitVk) {
        s.digitDown = FALSE;
        return StepSwallow;
    }
    int index = -1;
    if (k.vk >= '0' && k.vk <= '9' && ((g_bDigitSelect && !g_bNumpadDigit) || s.navigated))
        index = k.vk == '0' ? 9 : static_cast<int>(k.vk - '1');
    else if (k.vk >= VK_NUMPAD0 && k.vk <= VK_NUMPAD9 && ((g_bDigitSelect && g_bNumpadDigit) || s.navigated))
        index = k.vk == VK_NUMPAD0 ? 9 : static_cast<int>(k.vk - VK_NUMPAD1);
    else if (s.navigated && k.vk >= 'A' && k.vk <= 'Z')
        index = 10 + static_cast<int>(k.vk - 'A');
    if (index >= 0)
        s.lastSelIndex = index;
    if (index >= 0 && k.down && k.visible && !k.anyModifier && index < k.listed &&
        AcceptFromOffer(k.mainWindow, k.focus, index, k.typed, KeyDriven(k.typed, false)) == Accepted) {
        s.digitDown = TRUE;
        s.digitVk = k.vk;
        s.navigated = FALSE;
        return StepSwallow;
    }
    if (k.down)
        s.digitDown = FALSE;
    s.navigated = FALSE;
    return Next;
}

// Function keys choose a row while the prompt is shown ("FunSel").
Step FunctionKey(const KeyEvent &k)
{
    if (!k.visible || !g_bFunSel || !k.down || !k.fKey || k.anyModifier)
        return Next;
    const int index = static_cast<int>(k.vk - VK_F1);
    s_state.lastSelIndex = index;
    if (index < k.listed && AcceptFromOffer(k.mainWindow, k.focus, index, k.typed, KeyDriven(k.typed, false)) == Accepted)
        return StepSwallow;
    return Next;
}

// A word ended by a key whose delimiter the message hook cannot see (Enter,
// Tab, every key of some editors); other keys that are no word characters
// hide the prompt.
Step WordEnd(const KeyEvent &k)
{
    if (g_nLastComp == 0 && IsHookDelimiterChar(k.typed) && k.down &&
        (IsDelphiEditor() || k.vk == VK_RETURN || k.vk == VK_TAB)) {
        RefreshWordBuffer();
        if (k.enabled)
            PostWordEnded(k.mainWindow, k.typed);
    }
    if (k.down && !IsHookWordChar(k.typed) && !k.fKey && k.vk != CompWordKey && k.vk != VK_BACK &&
        k.vk != VK_MENU && k.vk != VK_SHIFT && !k.ctrl && !k.alt && !k.win)
        Post(k.mainWindow, WM_HIDE_PROMPT);
    return k.down ? StepRecord : StepFinish;
}

// Record (key-downs): Enter, Tab and Backspace reach CharBuf here, other
// characters through their WM_CHAR.
KeyResult Record(const KeyEvent &k)
{
    if (k.vk == VK_RETURN || k.vk == VK_TAB || k.vk == VK_BACK || IsDelphiEditor()) {
        if (k.enabled)
            UpdateCharBufFor(k.focus, k.typed);
    }
    if (IsNavigationKey(k.vk) || k.vk == VK_ESCAPE)
        SetSharedString(CharBuf, "");
    return FinishKey(k);
}

// One key event in the thread with the focus, through the stages in order.
KeyResult HandleKey(UINT vk, LPARAM lParam)
{
    KeyEvent k;
    k.vk = vk;
    k.lParam = lParam;
    k.down = (lParam & 0x80000000) == 0;
    if (k.down)
        FinishWaitingWork();
    if (Enter(k) != Next)
        return PassOn;
    SetUp(k);
    using Stage = Step (*)(const KeyEvent &);
    static const Stage stages[] = {Redirected,       ReadCaret,    OwnKeys,     Bookkeeping,
                                   AliasKey,         EscapeKey,    LineKey,     PageKey,
                                   ManualActivation, PunctuationAfterSpace, CompletionByTypedKey,
                                   CompletionKey,    SelectionKey, FunctionKey, WordEnd};
    for (Stage stage : stages) {
        switch (stage(k)) {
        case Next:
            continue;
        case StepPass:
            return PassOn;
        case StepSwallow:
            return Swallow;
        case StepFinish:
            return FinishKey(k);
        case StepRecord:
            return Record(k);
        }
    }
    return FinishKey(k);
}

// While the benchmark runs: the ends of the echo and of the prompt's paint.
// What a window has finished processing is known when a message posted to it
// behind that work is taken from its queue.
void NoteLatencyMessage(const MSG &msg)
{
    const HWND window = msg.hwnd;
    if (!window)
        return;
    switch (msg.message) {
    case WM_CHAR:
        if (window == hFocusEdit && (static_cast<unsigned long>(msg.lParam) & OWN_CHAR_MARK) != OWN_CHAR_MARK)
            PostMessageA(window, WM_HOOK_LATENCY_MARK, LATENCY_CHAR_DONE, 0);
        break;
    case WM_PAINT:
        if (window == hFocusEdit) {
            if (g_qpcLatency[LATENCY_CHAR_DONE] && !g_qpcLatency[LATENCY_ECHO_PAINTED])
                PostMessageA(window, WM_HOOK_LATENCY_MARK, LATENCY_ECHO_PAINTED, 0);
        } else if (g_qpcLatency[LATENCY_PROMPT_FILLED]) {
            const HWND prompt = hPromptWnd;
            if (prompt && (window == prompt || IsChild(prompt, window)))
                PostMessageA(window, WM_HOOK_LATENCY_MARK, LATENCY_PROMPT_PAINTED, 0);
        }
        break;
    case WM_HOOK_LATENCY_MARK:
        if (msg.wParam == LATENCY_CHAR_DONE || msg.wParam == LATENCY_ECHO_PAINTED ||
            msg.wParam == LATENCY_PROMPT_PAINTED)
            StampLatency(static_cast<LatencyStamp>(msg.wParam));
        break;
    default:
        break;
    }
}

// A message taken from a queue. Returns true when it was the delayed
// key-down message, which is not passed to the next hook.
bool HandleQueuedMessage(const MSG &msg)
{
    const UINT message = msg.message;
    const UINT delayed = static_cast<UINT>(g_nDelayedKeyDownMsg);
    const bool isDelayed = delayed != 0 && message == delayed;
    // Everything else in the queue is passed on before any lookup.
    if (message != WM_CHAR && message != WM_HOOK_GETCARET && message != WM_HOOK_SPELLCHECK &&
        message != WM_HOOK_ACCEPT && !isDelayed)
        return false;
    // Typed characters are nothing to the hook while prompting is off: not
    // even the lookup of the main window.
    if (message == WM_CHAR && !bEnablePrompt)
        return false;
    const HWND mainWindow = FindMainWindow();
    if (!mainWindow)
        return false;

    if (message == WM_HOOK_GETCARET) {
        if (bEnablePrompt)
            GetCaretPos(&CaretPos);
        return false;
    }
    if (message == WM_HOOK_SPELLCHECK) {
        RunSpellCheck(msg.hwnd);
        return false;
    }
    if (message == WM_HOOK_ACCEPT) {
        // The results of a manual activation choose their row: only while
        // the window still has the focus and its text is what they were
        // made for, so nothing typed meanwhile is overwritten.
        if (bEnablePrompt && msg.hwnd && msg.hwnd == GetFocus()) {
            hFocusEdit = msg.hwnd;
            AcceptFromOffer(mainWindow, msg.hwnd, static_cast<int>(msg.wParam), 0, true);
        }
        return true;
    }
    if (message == WM_CHAR) {
        if (!bEnablePrompt)
            return false;
        const HWND window = msg.hwnd;
        if (IsPasswordField(window)) {
            ClearHookBuffers();
            return false;
        }
        const char c = CharFromWmChar(window, msg.wParam);
        nLastChar = c;
        const bool own = (static_cast<unsigned long>(msg.lParam) & OWN_CHAR_MARK) == OWN_CHAR_MARK;
        const bool enabled = IsHookEnabledFor(window) != FALSE;
        if (!own && enabled && g_nSendKey == 0 && !s_state.compKeyDown && (IsHookWordChar(c) || c == '\b')) {
            const bool caretUsable = UpdateCaretPos() != FALSE;
            if (caretUsable || TrackWithoutCaret())
                Post(window, delayed, msg.wParam, msg.lParam);
        }
        if (!own && g_nLastComp == 0 && g_nSendKey == 0 && IsHookDelimiterChar(c)) {
            if (c == '\r')
                return false;
            if (c != '\t') {
                RefreshWordBuffer();
                const HWND again = FindMainWindow();
                const bool completes = (!g_bCompleteUponPunctOnly || IsClosingPunct(c)) &&
                                       ((g_bExpandFullSHAtDlmt && g_bFullSHMatch) || g_bAutoCompleteUponDelimiter) &&
                                       ValidWindow(again) && IsWindowVisible(again);
                if (ValidWindow(again) && IsFocusHookEnabled() && !completes)
                    PostWordEnded(again, c);
            }
        }
        if (c != '\r' && c != '\t' && c != '\b') {
            // A character composed with Alt and the numeric pad has no key of
            // its own: the Alt release is its key, and the control has not
            // inserted it yet.
            if (s_state.altReleased && g_nSendKey == 0 && enabled && ValidWindow(mainWindow)) {
                RefreshWordBuffer();
                UpdateCharBufFor(window, c);
                AppendWordChar(WordBuffer, c);
                PostRequestPrompt(mainWindow, 0);
            } else {
                UpdateCharBufFor(window, c);
            }
        }
        if (own)
            RefreshWordBuffer();
        return false;
    }

    // The delayed key-down message: the control has processed the character.
    // While the thread still has to paint it, the work waits for that paint.
    HookProcState &s = s_state;
    if (!s.afterPaintWindow && (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT)) {
        s.afterPaintWindow = msg.hwnd;
        s.afterPaintPosted = FALSE;
        return true;
    }
    // The work is for the focus window, whichever window the message names.
    s.afterPaintWindow = nullptr;
    DelayedKeyDownWork(mainWindow);
    return true;
}

// A paint taken from the queue while delayed key-down work waits: the work is
// posted behind it, once.
void PostWorkBehindPaint(const MSG &msg)
{
    HookProcState &s = s_state;
    if (msg.message != WM_PAINT || !s.afterPaintWindow || s.afterPaintPosted)
        return;
    s.afterPaintPosted = TRUE;
    if (!PostMessageA(s.afterPaintWindow, static_cast<UINT>(g_nDelayedKeyDownMsg), 0, 0))
        s.afterPaintWindow = nullptr;
}

void HandleSetFocus(HWND window)
{
    s_state.afterPaintWindow = nullptr;
    const HWND mainWindow = FindMainWindow();
    if (!mainWindow)
        return;
    const HWND prompt = ValidWindow(hPromptWnd) ? hPromptWnd : nullptr;
    // Focus moving around inside the program's own windows is not the user
    // switching applications.
    if (!IsSameProcessWindow(window, prompt))
        hLastFocus = window;
    hFocusEdit = GetFocus();
    if (!IsWindowOrDescendant(prompt, window))
        Post(mainWindow, WM_HIDE_PROMPT);
    if (g_bClearAtSwitch)
        SetSharedString(CharBuf, "");
}

}  // namespace

HookProcState &HookState() { return s_state; }

extern "C" {

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        if ((lParam & 0x80000000) == 0)
            StampLatency(LATENCY_KEY_DOWN);
        bool swallow = false;
        try {
            swallow = HandleKey(static_cast<UINT>(wParam), lParam) == Swallow;
        } catch (...) {
            // Whatever went wrong, the key goes on to the application.
        }
        if (swallow)
            return 1;
    }
    return CallNextHookEx(hHookKeyboard, code, wParam, lParam);
}

LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && (wParam & PM_REMOVE) && lParam) {
        try {
            if (g_bLatencyProbe)
                NoteLatencyMessage(*reinterpret_cast<const MSG *>(lParam));
            PostWorkBehindPaint(*reinterpret_cast<const MSG *>(lParam));
            if (HandleQueuedMessage(*reinterpret_cast<const MSG *>(lParam)))
                return 0;
        } catch (...) {
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code != HC_ACTION)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    try {
        const CWPSTRUCT *sent = reinterpret_cast<const CWPSTRUCT *>(lParam);
        if (sent && sent->message == WM_SETFOCUS)
            HandleSetFocus(sent->hwnd);
    } catch (...) {
    }
    CallNextHookEx(nullptr, code, wParam, lParam);
    return 0;
}
}
