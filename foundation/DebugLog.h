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

// Trimming a history file that grows by whole lines.
enum HistoryTrimResult {
    HISTORY_UNCHANGED,        // not over the limit, or missing
    HISTORY_TRIMMED,
    HISTORY_CANT_OPEN,        // the history could not be read or replaced
    HISTORY_CANT_WRITE_TEMP,  // the temporary file could not be made or written
};

// Once the file is over limit bytes, keeps the whole lines of its last keep
// bytes: a line cut by the start of that part is dropped, however long it
// is. The lines are copied as they are into tempPath, which is then moved
// over the file, so a failure or a kill leaves the old history whole; a
// failed temporary file is removed.
HistoryTrimResult TrimHistoryFile(const char *path, const char *tempPath, long long limit, int keep);

// The command history's limit and what a trim keeps of it.
const int kCmdHistoryLimit = 10000;
const int kCmdHistoryKeep = 8000;

// Trims "cmdhis.txt" of the data folder through "~cmdhis.txt" beside it.
// A failure ends the program (FatalError).
void TrimCmdHistory();

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
