// The Windows side of the busy feedback that portable code asks for: the
// application's wait cursor and the global wait window.
#pragma once

// Routes ShowWaitCursor and SetWaitMessage to the wait cursor and to
// g_dlgWaitMsg. The program installs it at start-up.
void InstallWaitFeedback();
