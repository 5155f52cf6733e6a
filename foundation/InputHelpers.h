// Helpers around the target window and the user's keyboard: the window chain
// of a control, whether an input method is active, waiting for hot-key keys
// to be released, clearing the clipboard and a file dialog. Main thread only;
// they keep no state. (DebugMessage is in UserMessage.h.)
#pragma once

#include <windows.h>

#include "CString.h"

// Follows GetParent (parents, then owners) to the end; w itself when it has
// none.
HWND GetRootWindow(HWND w);
// The first ancestor that is not a child window: a dialog control gives its
// dialog; w itself when it has no parent.
HWND GetTopLevelWindow(HWND w);
// The keyboard layout of w's thread is an input method editor.
BOOL IsImeWindow(HWND w);

// Ctrl, Shift, Alt or a Windows key is down now.
BOOL IsModifierKeyDown();
// Waits until no modifier is down and vk is up, at most 10 seconds, then
// returns whatever the keys' state. The thread's messages are handled
// meanwhile: hooks in other programs wait synchronously on our windows.
void WaitKeysReleased(int vk);
// The wait of WaitKeysReleased with its key test passed in: waits while
// keysHeld(context) is TRUE, testing at least every 100 ms, at most 10
// seconds. A WM_QUIT ends the wait and is posted again for the caller's
// message loop; the result is then FALSE, else TRUE.
BOOL WaitWhileKeysHeld(BOOL (*keysHeld)(void *context), void *context);

// Empties the clipboard; FALSE when another program holds it open.
BOOL ClearClipboard();

// An open (open set) or save file dialog. The filter is in the form
// "Text files(*.txt)|*.txt|All files(*.*)|*.*||"; the default extension has no
// dot; an empty initial folder leaves the dialog's own choice. Returns the
// chosen full path, or the empty string for Cancel and for a dialog error.
CString BrowseForFile(BOOL open, const char *filter, const char *defaultExt, const char *initialFolder);
