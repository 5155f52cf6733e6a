// Plain messages and OK/Cancel questions to the user (boxes with the
// program's caption on Windows), callable from portable code.
#pragma once

// Shows the text and returns when the user has closed it.
void ShowMessage(const char *text);

// Asks the question; true when the user chose OK.
bool AskOkCancel(const char *text);

// Shows an internal error text only while the "DebugMsg" setting is on.
void DebugMessage(const char *text);

// Where messages go instead of the screen while set (tests of portable code
// on the host); nullptr restores the screen.
typedef void (*MessageSink)(const char *text);
void SetMessageSink(MessageSink sink);
// The same for questions: the sink gives the answer (true for OK).
typedef bool (*QuestionSink)(const char *text);
void SetQuestionSink(QuestionSink sink);

// The platform's own display; ShowMessage and AskOkCancel call them when no
// sink is set.
void PlatformShowMessage(const char *text);
bool PlatformAskOkCancel(const char *text);
