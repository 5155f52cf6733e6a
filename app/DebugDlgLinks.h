// The main window's calls into parts of the program that live elsewhere (the
// word-processor and IDE adapters, the alias list, the Quick Run window, the
// application object, the hot-key table). The application fills them at
// start-up; an empty entry means the part is absent: an adapter that does
// not apply, no alias, no Quick Run window, no modal dialog, nothing to run
// at shut-down.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "CString.h"

struct MainWindowLinks {
    // The focused edit window is a word-processor document window.
    BOOL (*isWordWindow)() = nullptr;
    // The running word-processor application object (the caller releases it).
    BOOL (*getRunningWordApp)(IDispatch *&app) = nullptr;
    // The IDE's text before the caret (lastChar left out when not 0).
    BOOL (*getVsTextBeforeCaret)(HWND focus, CString &text, char lastChar) = nullptr;
    // The word processor's text before the caret, caret point and line height
    // (either may be NULL); changes nothing when it does not apply.
    void (*getWordTextBeforeCaret)(CString &text, POINT *caret, char lastChar, int *height) = nullptr;
    // The target of the alias equal to the text ignoring case, empty for none.
    CString (*findAliasTarget)(const CString &alias) = nullptr;
    // The Quick Run window, NULL while there is none.
    HWND (*quickRunWindow)() = nullptr;
    // A modal dialog of the program is open.
    BOOL (*modalDialogOpen)() = nullptr;
    // Virtual key of the "Expand Alias" hot key, 0 when it has none.
    int (*expandAliasKey)() = nullptr;
    void (*unregisterHotKeys)() = nullptr;
    // The order check of the first open word library, quiet (the debug
    // face's "Check User"); absent until library maintenance exists.
    void (*checkUserLibrary)() = nullptr;
    // The setup wizard (the debug face's "Setup Wizard"); absent until the
    // wizard exists.
    void (*runSetupWizard)() = nullptr;
    // The application's shut-down; endSession is TRUE when Windows ends the
    // session.
    void (*shutdown)(BOOL endSession) = nullptr;
};
