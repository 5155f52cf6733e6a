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
#include "SharedSection.h"
#include "TextHelpers.h"
#include "WindowHelpers.h"

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

// An entry is to be typed: the keys the user types meanwhile are held by the
// program from now on, or they would reach the window before the entry.
void PostAccept(HWND mainWindow, WPARAM row, LPARAM flag)
{
    if (!ValidWindow(mainWindow))
        return;
    g_bRedirectKey = 1;
    PostMessageA(mainWindow, WM_ACCEPT_ITEM, row, flag);
}

void PostRequestPrompt(HWND mainWindow, LPARAM lParam)
{
    StampLatency(LATENCY_REQUEST_POSTED);
    Post(mainWindow, WM_REQUEST_PROMPT, 0, lParam);
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

// Whether this key event is one the program is typing again for the user:
// the one it named, or, while keys are away, one without a scan code, which
// no key of a keyboard sends. The name is claimed, so that a second identical
// event is not taken for it.
bool ClaimKeyTypedAgain(UINT vk, LPARAM lParam)
{
    const LONG expected = g_nKeyTypedAgain;
    const bool marked = g_nKeysAway > 0 && ((lParam >> 16) & 0xFF) == 0;
    // Only a key typed again with its scan code (a modifier) goes by name:
    // a later key of the user's may be the same.
    const bool named = !marked && expected != 0 && ScanTypedAgain(vk, lParam) != 0 &&
                       expected == KeyTypedAgainId(vk, lParam);
    if (named || (marked && expected != 0))
        InterlockedCompareExchange(&g_nKeyTypedAgain, 0, expected);
    return named || marked;
}

bool LastWordBufferCharIs(bool (*test)(char))
{
    const size_t length = SharedStringLength(WordBuffer);
    return length > 0 && test(WordBuffer[length - 1]);
}

bool IsWordCharTest(char c) { return IsHookWordChar(c) != FALSE; }
bool IsSpaceTest(char c) { return c == ' '; }

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

// One key event in the thread with the focus. Returns whether it is swallowed;
// everything the finish step does is done here.
KeyResult HandleKey(UINT vk, LPARAM lParam)
{
    HookProcState &s = s_state;
    const bool down = (lParam & 0x80000000) == 0;  // auto-repeats count as down

    // Finish: remember the last key-down, or re-read the line after a release.
    auto finish = [&]() {
        if (down) {
            g_nLastKeyDown = vk;
            g_tkLastKeyDown = GetTickCount();
        } else {
            RefreshWordBuffer();
        }
        return PassOn;
    };

    if (!bEnablePrompt)
        return PassOn;
    const HWND mainWindow = FindMainWindow();
    if (!mainWindow)
        return PassOn;
    const HWND focus = GetFocus();
    if (!focus)
        return PassOn;
    hFocusEdit = focus;
    const CString focusClass = GetWindowClassName(focus);
    if (IsClassName(focusClass, "msctls_hotkey32") || IsClassName(focusClass, "BrainchildEditControl32"))
        return PassOn;
    // Keys typed into a password field are neither looked at nor forwarded,
    // and nothing typed before stays in the shared buffers. The program's own
    // keys (it may type a stored password) are still counted off.
    if (IsPasswordField(focus)) {
        ClearHookBuffers();
        nLastChar = 0;
        if (!down && g_nSendKey > 0)
            --g_nSendKey;
        return PassOn;
    }

    // While the program holds the user's keys (password fields aside) they
    // go to it, before anything here looks at them: the held key's own state
    // (nLastChar) must stay as it was. Until the keys it types again have
    // come back, so do the keys typed after them. The program's own counted
    // keys pass.
    const bool typedAgain = s.typedAgain != FALSE;
    if (g_nSendKey <= 0 && (g_bRedirectKey || (g_nKeysAway > 0 && !typedAgain))) {
        if (!typedAgain)
            InterlockedIncrement(&g_nKeysAway);
        s.forwarded = TRUE;
        PostMessageA(mainWindow, down ? WM_KEYDOWN : WM_KEYUP, vk | (typedAgain ? FORWARDED_AGAIN : 0), lParam);
        return Swallow;
    }

    KeyCode = vk;
    const bool enabled = IsHookEnabledFor(focus) != FALSE;
    if (g_nSendKey < 0)
        g_nSendKey = 0;

    // Only a shown prompt has entries worth asking about; asking costs a
    // synchronous call into the program, so a busy program must not slow
    // typing anywhere else.
    const HWND prompt = hPromptWnd;
    const bool promptShown = ValidWindow(prompt) && IsWindowVisible(prompt);
    LRESULT listed = 0;
    if (promptShown && g_nSendKey <= 0 && !QueryMainWindow(mainWindow, 0, 0, &listed))
        listed = 0;
    const bool visible = promptShown && listed > 0;

    const bool extended = (lParam & (1L << 24)) != 0;
    const UINT eventCode = vk | (extended ? HOOK_KEY_EXTENDED : 0);
    const UINT held = GetHeldModifiersAsync();
    const bool ctrl = (held & KEYMOD_CTRL) != 0, alt = (held & KEYMOD_ALT) != 0, win = (held & KEYMOD_WIN) != 0;
    const bool anyModifier = held != 0;
    const bool fKey = vk >= VK_F1 && vk <= VK_F12;

    s.altReleased = !down && (vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU);

    if (down) {
        nLastChar = IsDelphiEditor() ? VkToCharToAscii(vk, (lParam >> 16) & 0xFF, GetKeyboardLayout(0)) : VkToChar(vk);
    } else if (vk == VK_BACK && g_nSendKey == 0 && enabled &&
               (IsClassName(focusClass, "Internet Explorer_Server") || IsClassName(focusClass, "VsTextEditPane"))) {
        // These controls send no WM_CHAR for Backspace.
        RefreshWordBuffer();
        UpdateCaretPos();
        PostRequestPrompt(mainWindow, 0);
    }
    const char typed = nLastChar;
    if (focus != hWndManualActivate)
        hWndManualActivate = nullptr;

    // The caret.
    const CString focusTitle = GetFocusTopTitle();
    SetSharedString(s_szFocusTitle, sizeof s_szFocusTitle, focusTitle);
    if (!GetRootWindow(focus))
        return finish();
    if (IsCaretUnreliableApp()) {
        CaretPos.x = CaretPos.y = -1;
    } else {
        POINT caret = {0, 0};
        const BOOL read = GetCaretPos(&caret);
        if (read)
            CaretPos = caret;
        if (!(read && caret.x >= 1 && caret.y >= 0)) {
            if (!TrackWithoutCaret()) {
                // The program's own keys are counted off here too, or a
                // window without a caret would leave the hook ignoring the
                // user's keys until the program's timer gives up.
                if (!down && g_nSendKey > 0)
                    --g_nSendKey;
                return finish();
            }
            CaretPos.x = CaretPos.y = -1;
        }
    }

    // While the program types, its own key events are only counted.
    if (g_nSendKey > 0) {
        if (!down) {
            --g_nSendKey;
            RefreshWordBuffer();
            return PassOn;
        }
        goto record;
    }

    if (down && !IsHookWordChar(typed))
        g_bAlterPrompt = 0;
    if (g_nLastComp > 0)
        --g_nLastComp;
    if (!ValidWindow(hPromptWnd))
        return finish();
    if (CaretPos.x == 1 && CaretPos.y == 1 && !down) {
        Post(mainWindow, WM_HIDE_PROMPT);
        RefreshWordBuffer();
        return PassOn;
    }

    // Expand Alias hot key.
    if (down && MatchHotKey(vk, LOWORD(s_nExpAliasKeyCode), LOWORD(s_nExpAliasKeyFlag))) {
        s.navigated = FALSE;
        s.compKeyDown = FALSE;
        LRESULT canExpand = 0;
        if (QueryMainWindow(mainWindow, 1, 0, &canExpand) && canExpand) {
            Post(mainWindow, WM_EXPAND_ALIAS);
            return Swallow;
        }
    }

    if (vk == VK_ESCAPE && visible) {
        g_tkLastKeyDown = GetTickCount();
        g_nLastKeyDown = VK_ESCAPE;
        Post(mainWindow, WM_HIDE_PROMPT);
        hWndManualActivate = nullptr;
        return Swallow;
    }

    // Line keys move the prompt's selection (only without modifiers).
    if (!anyModifier) {
        bool lineKey = false;
        switch (g_nSWKeyOption) {
        case 0:
            lineKey = (vk == VK_UP || vk == VK_DOWN) && extended;
            break;
        case 1:
            lineKey = (vk == VK_UP || vk == VK_DOWN) && !extended;
            break;
        case 2:
            lineKey = CustomKeyIs(g_nPrevKey, vk, extended) || CustomKeyIs(g_nNextKey, vk, extended);
            break;
        default:
            break;
        }
        if (lineKey) {
            UINT lineVk = vk;
            if (CustomKeyIs(g_nNextKey, vk, extended))
                lineVk = VK_DOWN;
            else if (CustomKeyIs(g_nPrevKey, vk, extended))
                lineVk = VK_UP;
            KeyCode = lineVk;
            if (visible) {
                if (down) {
                    Post(hPromptWnd, WM_PROMPT_LINE, lineVk, 0);
                    s.navigated = TRUE;
                }
                return Swallow;
            }
        }
    }

    // Page keys (also with modifiers).
    {
        bool pageKey = false;
        switch (g_nSWKeyOption) {
        case 0:
            pageKey = (vk == VK_PRIOR || vk == VK_NEXT) && extended;
            break;
        case 1:
            pageKey = (vk == VK_PRIOR || vk == VK_NEXT) && !extended;
            break;
        case 2:
            pageKey = (g_nPgupKey && LOBYTE(g_nPgupKey) == vk) || (g_nPgdnKey && LOBYTE(g_nPgdnKey) == vk);
            break;
        default:
            break;
        }
        if (pageKey && visible) {
            UINT pageVk = vk;
            if (g_nPgupKey && LOBYTE(g_nPgupKey) == vk)
                pageVk = VK_PRIOR;
            else if (g_nPgdnKey && LOBYTE(g_nPgdnKey) == vk)
                pageVk = VK_NEXT;
            if (down) {
                Post(hPromptWnd, WM_PROMPT_PAGE, pageVk, 0);
                s.navigated = TRUE;
            }
            return Swallow;
        }
    }

    // Manual activation: armed at the key-down, requested at the release once
    // the key and every modifier are up, so no part of it reaches the
    // application.
    if (visible) {
        s.activateDown = FALSE;
    } else if (s.activateDown) {
        if (down) {
            s.activateDown = FALSE;
        } else if (!AreKeysHeldAtRelease(LOBYTE(g_nActivatePromptKey), vk)) {
            s.activateDown = FALSE;
            if (ValidWindow(mainWindow)) {
                hWndManualActivate = focus;
                if (IsHookEnabledFor(focus)) {
                    PostRequestPrompt(mainWindow, 1);
                } else {
                    hWndManualActivate = nullptr;
                    ClearHookBuffers();
                }
            }
            s.altReleased = FALSE;
            return Swallow;
        }
    } else if (down && g_nActivatePromptKey &&
               MatchHotKey(eventCode, LOBYTE(g_nActivatePromptKey), HIBYTE(LOWORD(g_nActivatePromptKey)))) {
        s.activateDown = TRUE;
        return Swallow;
    }

    {
        const bool full = g_bFullSHMatch && g_bExpandFullSHAtDlmt && typed != '[';

        // Punctuation typed after a space: the program removes the space.
        if (!visible && down && enabled && g_bRemoveSpaceBeforePunctuation && (IsClosingPunct(typed) || typed == '\'')) {
            RefreshWordBuffer();
            if (LastWordBufferCharIs(IsSpaceTest)) {
                Post(mainWindow, WM_PUNCT_AFTER_SPACE, static_cast<BYTE>(typed), 0);
                return Swallow;
            }
        }

        // Completion by a typed key, shown prompt or not.
        if (bEnablePrompt && down && enabled &&
            ((eventCode == VK_SPACE && CompWordKey == VK_SPACE) || (vk == VK_RETURN && s.navigated) ||
             (g_bAutoCompleteUponDelimiter &&
              ((IsHookDelimiterChar(typed) && !g_bCompleteUponPunctOnly) || IsClosingPunct(typed))))) {
            RefreshWordBuffer();
            if (LastWordBufferCharIs(IsWordCharTest) && g_nLastKeyDown != VK_ESCAPE) {
                PostAccept(mainWindow, static_cast<WPARAM>(-1), 0);
                return Swallow;
            }
        }

        // The completion key while the prompt is shown, acted on at its release.
        if (!visible) {
            s.compKeyDown = FALSE;
        } else if (s.compKeyDown) {
            if (down) {
                s.compKeyDown = FALSE;
            } else if (!AreKeysHeldAtRelease(LOBYTE(CompWordKey), vk)) {
                if (s.compKeyEvent)
                    g_bFullSHMatch = 0;
                PostAccept(mainWindow, static_cast<WPARAM>(-1), (vk == VK_RETURN && s.navigated) ? 1 : 0);
                s.compKeyDown = FALSE;
                s.navigated = FALSE;
                s.altReleased = FALSE;
                return Swallow;
            }
        } else {
            s.compKeyEvent = CompWordKey != VK_SPACE && CompWordKey &&
                             MatchHotKey(eventCode, LOBYTE(CompWordKey), HIBYTE(LOWORD(CompWordKey)));
            if (down && s.compKeyEvent) {
                s.compKeyDown = TRUE;
                return Swallow;
            }
            if (down && full && !alt && !ctrl && IsHookDelimiterChar(VkToChar(vk))) {
                s.compKeyDown = TRUE;
                return Swallow;
            }
        }
    }

    // Digits (and, after navigating, letters) choose a row at their release.
    {
        int index = -1;
        if (vk >= '0' && vk <= '9' && ((g_bDigitSelect && !g_bNumpadDigit) || s.navigated))
            index = vk == '0' ? 9 : static_cast<int>(vk - '1');
        else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9 && ((g_bDigitSelect && g_bNumpadDigit) || s.navigated))
            index = vk == VK_NUMPAD0 ? 9 : static_cast<int>(vk - VK_NUMPAD1);
        else if (s.navigated && vk >= 'A' && vk <= 'Z')
            index = 10 + static_cast<int>(vk - 'A');
        if (index >= 0)
            s.lastSelIndex = index;
        if (index >= 0 && visible && !anyModifier && index < listed) {
            if (down) {
                s.digitDown = TRUE;
                return Swallow;
            }
            if (s.digitDown) {
                s.digitDown = FALSE;
                PostAccept(mainWindow, static_cast<WPARAM>(index), 0);
                return Swallow;
            }
        }
        s.digitDown = FALSE;
        s.navigated = FALSE;
    }

    if (visible && g_bFunSel && down && fKey && !anyModifier) {
        const int index = static_cast<int>(vk - VK_F1);
        s.lastSelIndex = index;
        if (index < listed) {
            PostAccept(mainWindow, static_cast<WPARAM>(index), 0);
            return Swallow;
        }
    }

    // Word end by a key that sends no delimiter character the hook can see.
    if (g_nLastComp == 0 && IsHookDelimiterChar(typed) && down &&
        (IsDelphiEditor() || vk == VK_RETURN || vk == VK_TAB)) {
        RefreshWordBuffer();
        if (ValidWindow(mainWindow) && enabled)
            Post(mainWindow, WM_WORD_ENDED);
    }
    if (down && !IsHookWordChar(typed) && !fKey && vk != LOBYTE(CompWordKey) && vk != VK_BACK && vk != VK_MENU &&
        vk != VK_SHIFT && !ctrl && !alt && !win)
        Post(mainWindow, WM_HIDE_PROMPT);
    if (!down)
        return finish();

record:
    // Enter, Tab and Backspace reach CharBuf here; other characters through
    // their WM_CHAR.
    if (vk == VK_RETURN || vk == VK_TAB || vk == VK_BACK || IsDelphiEditor()) {
        if (enabled)
            UpdateCharBufFor(focus, typed);
    }
    if (IsNavigationKey(vk) || vk == VK_ESCAPE)
        SetSharedString(CharBuf, "");
    return finish();
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
    if (message != WM_CHAR && message != WM_HOOK_GETCARET && message != WM_HOOK_SPELLCHECK && !isDelayed)
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
                    Post(again, WM_WORD_ENDED);
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
    RefreshWordBuffer();
    UpdateCaretPos();
    if (IsFocusHookEnabled())
        PostRequestPrompt(mainWindow, 0);
    return true;
}

void HandleSetFocus(HWND window)
{
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
        const bool typedAgain = ClaimKeyTypedAgain(static_cast<UINT>(wParam), lParam);
        s_state.typedAgain = typedAgain;
        s_state.forwarded = FALSE;
        bool swallow = false;
        try {
            swallow = HandleKey(static_cast<UINT>(wParam), lParam) == Swallow;
        } catch (...) {
            // Whatever went wrong, the key goes on to the application.
        }
        // A key typed again has come through, and whatever it started (an
        // accept) is posted ahead of this: the program may type the next.
        if (typedAgain && !s_state.forwarded) {
            if (InterlockedDecrement(&g_nKeysAway) < 0)
                InterlockedExchange(&g_nKeysAway, 0);
            Post(FindMainWindow(), WM_KEY_TYPED_AGAIN);
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
