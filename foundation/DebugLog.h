// The debug log: entries appended to a text file that is cut back to its
// newest part once it grows past a limit, written only while the
// "EnableDebugLog" setting is on.
#pragma once

#include "CString.h"

enum {
    DEBUGLOG_SHOW = 1,      // also show the text in a message box
    DEBUGLOG_SUPPRESS = 2,  // write nothing at all
};

// Once the file has reached limit bytes, keeps only its last
// limit * percent / 100 bytes (the cut may fall inside a line). Bytes are
// moved as they are, line breaks included.
void TrimFileHead(const char *path, int limit, int percent);

// The log's limit and what a cut keeps of it.
const int kDebugLogLimit = 100000;
const int kDebugLogKeepPercent = 60;

// Cuts the log if due, then appends the text and a line break (CR LF on
// Windows). A file that cannot be opened gets nothing.
void AppendDebugLogEntry(const char *path, const char *text);

// "EnableDebugLog" of section "Settings", read anew on every call.
bool IsDebugLogEnabled();

#ifdef _WIN32
// The default log: <application data>\<program name>\<program name>.log.
CString GetDebugLogPath();
// Unless flags has DEBUGLOG_SUPPRESS and while the log is enabled: shows the
// text with DEBUGLOG_SHOW, then appends it to the log file (empty: the
// default one, whose folder is made when missing).
void WriteDebugLog(const char *text, int flags, const char *logFile = "");
// A formatted entry (a line break added when missing) to the default log.
void DebugLogFormat(const char *format, ...) LX_PRINTF_FORMAT(1, 2);
// The text with the current time's milliseconds after a colon.
void DebugLogTimed(const char *text);
#endif

// A place for tracing notes; they go nowhere.
inline void TraceMsg(const char *) {}
