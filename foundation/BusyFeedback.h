// Busy feedback (wait cursor and wait message) for portable code, which
// cannot call Windows itself: the calls go to a handler that the program
// installs at start-up. Until then, and after SetBusyFeedbackHandler(nullptr),
// they do nothing.
#pragma once

#include "wintypes.h"

struct BusyFeedbackHandler {
    void (*showWaitCursor)(BOOL on);        // FALSE also hides the wait message
    void (*setWaitMessage)(const char *text);
};

// The handler is kept by address, so it must outlive its installation (a
// static object). nullptr restores the default, which does nothing.
void SetBusyFeedbackHandler(const BusyFeedbackHandler *handler);

void ShowWaitCursor(BOOL on);
void SetWaitMessage(const char *text);
