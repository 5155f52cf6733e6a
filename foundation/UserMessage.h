// Plain messages to the user (an OK box with the program's caption on
// Windows), callable from portable code.
#pragma once

// Shows the text and returns when the user has closed it.
void ShowMessage(const char *text);

// Shows an internal error text only while the "DebugMsg" setting is on.
void DebugMessage(const char *text);

// Where messages go instead of the screen while set (tests of portable code
// on the host); nullptr restores the screen.
typedef void (*MessageSink)(const char *text);
void SetMessageSink(MessageSink sink);

// The platform's own display; ShowMessage calls it when no sink is set.
void PlatformShowMessage(const char *text);
