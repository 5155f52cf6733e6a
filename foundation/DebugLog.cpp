#include "DebugLog.h"

#include <cstdio>
#include <vector>

#include "FatalError.h"
#include "FileSystem.h"
#include "Files.h"
#include "Folders.h"
#include "ProfileSettings.h"

void TrimFileHead(const char *path, int limit, int percent)
{
    const long long size = GetFileLength(path);
    if (size < 0 || size < limit)
        return;
    if (percent < 0)
        percent = 0;
    if (percent > 100)
        percent = 100;
    long long keep = static_cast<long long>(limit) * percent / 100;
    if (keep > size)
        keep = size;
    // Binary: text mode would turn CR LF into LF on the way through and move
    // every byte after the first line break.
    FILE *file = std::fopen(path, "r+b");
    if (!file)
        return;
    std::vector<char> block(1024);
    bool ok = true;
    for (long long done = 0; ok && done < keep;) {
        const size_t want = static_cast<size_t>(keep - done < 1024 ? keep - done : 1024);
        ok = std::fseek(file, static_cast<long>(size - keep + done), SEEK_SET) == 0 &&
             std::fread(block.data(), 1, want, file) == want && std::fseek(file, static_cast<long>(done), SEEK_SET) == 0 &&
             std::fwrite(block.data(), 1, want, file) == want;
        done += static_cast<long long>(want);
    }
    if (ok)
        FsTruncateFile(file, keep);
    std::fclose(file);
}

void AppendDebugLogEntry(const char *path, const char *text)
{
    if (!path || !*path)
        return;
    TrimFileHead(path, kDebugLogLimit, kDebugLogKeepPercent);
    FILE *file = std::fopen(path, "a");
    if (!file)
        return;
    std::fputs(text ? text : "", file);
    std::fputs("\n", file);
    std::fclose(file);
}

namespace {

// Copies the rest of the history into the temporary file, dropping the bytes
// up to the first line break while skipping. The buffer's size limits
// nothing: a line goes through in as many reads as it takes.
HistoryTrimResult CopyHistoryLines(FILE *in, FILE *out, bool skipping)
{
    std::vector<char> buffer(4096);
    for (;;) {
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        if (got == 0)
            break;
        size_t from = 0;
        if (skipping) {
            while (from < got && buffer[from] != '\n')
                ++from;
            if (from == got)
                continue;
            ++from;
            skipping = false;
        }
        if (!FsWriteAll(out, buffer.data() + from, got - from))
            return HISTORY_CANT_WRITE_TEMP;
    }
    return std::ferror(in) ? HISTORY_CANT_OPEN : HISTORY_TRIMMED;
}

}  // namespace

HistoryTrimResult TrimHistoryFile(const char *path, const char *tempPath, long long limit, int keep)
{
    const long long size = GetFileSize64(path);
    if (size < 0 || size <= limit)
        return HISTORY_UNCHANGED;
    // Binary on both sides: the lines go through byte for byte, CR LF and all.
    FILE *in = std::fopen(path, "rb");
    if (!in)
        return HISTORY_CANT_OPEN;
    // Counted from the end, so the offset stays small however large the file.
    // The kept part starts with a whole line only when a line break lies
    // right before it.
    bool skipping = true;
    bool positioned;
    if (keep < 0 || keep >= size) {
        skipping = false;
        positioned = std::fseek(in, 0, SEEK_SET) == 0;
    } else {
        positioned = std::fseek(in, -static_cast<long>(keep) - 1, SEEK_END) == 0;
        const int before = positioned ? std::fgetc(in) : EOF;
        positioned = positioned && before != EOF;
        skipping = before != '\n';
    }
    if (!positioned) {
        std::fclose(in);
        return HISTORY_CANT_OPEN;
    }
    FILE *out = std::fopen(tempPath, "wb");
    if (!out) {
        std::fclose(in);
        return HISTORY_CANT_WRITE_TEMP;
    }
    HistoryTrimResult result = CopyHistoryLines(in, out, skipping);
    std::fclose(in);
    if (result == HISTORY_TRIMMED && !FsFlushFile(out))
        result = HISTORY_CANT_WRITE_TEMP;
    if (std::fclose(out) != 0 && result == HISTORY_TRIMMED)
        result = HISTORY_CANT_WRITE_TEMP;
    if (result == HISTORY_TRIMMED && !FsReplaceFile(tempPath, path))
        result = HISTORY_CANT_OPEN;
    if (result != HISTORY_TRIMMED)
        FsDeleteFile(tempPath);
    return result;
}

void TrimCmdHistory()
{
    const CString folder = GetAppDataFolder();
    const CString path = folder + "cmdhis.txt";
    const CString tempPath = folder + "~cmdhis.txt";
    switch (TrimHistoryFile(path, tempPath, kCmdHistoryLimit, kCmdHistoryKeep)) {
    case HISTORY_CANT_OPEN:
        FatalError("Can't open" + path);
    case HISTORY_CANT_WRITE_TEMP:
        FatalError("Can't create temporary file " + tempPath);
    default:
        break;
    }
}

bool IsDebugLogEnabled() { return GetSettingInt("EnableDebugLog", 0, "Settings") != 0; }
