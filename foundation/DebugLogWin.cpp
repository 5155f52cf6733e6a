#include "DebugLog.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>

#include "Files.h"
#include "Folders.h"
#include "PathText.h"
#include "UserMessage.h"

CString GetDebugLogPath()
{
    const CString name = GetFileName(GetModulePath(), true);
    const CString folder = GetSpecialFolderPath(CSIDL_APPDATA);
    if (folder.IsEmpty() || name.IsEmpty())
        return CString();
    return JoinPath(JoinPath(folder, name), name + ".log");
}

void WriteDebugLog(const char *text, int flags, const char *logFile)
{
    if ((flags & DEBUGLOG_SUPPRESS) || !IsDebugLogEnabled())
        return;
    if (flags & DEBUGLOG_SHOW)
        ShowMessage(text);
    CString path = logFile ? logFile : "";
    if (path.IsEmpty()) {
        path = GetDebugLogPath();
        // Nothing else makes the program-named folder; without it every entry
        // of an enabled log would be lost.
        if (!path.IsEmpty())
            CreateFolderPath(GetParentFolder(path));
    }
    AppendDebugLogEntry(path, text);
}

void DebugLogFormat(const char *format, ...)
{
    if (!IsDebugLogEnabled())
        return;
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    if (text.IsEmpty() || text[text.GetLength() - 1] != '\n')
        text += '\n';
    WriteDebugLog(text, 0);
}

void DebugLogTimed(const char *text)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    DebugLogFormat("%s:%d", text ? text : "", static_cast<int>(now.wMilliseconds));
}
