#include "DebugLog.h"

#include <cstdio>
#include <vector>

#include "FileSystem.h"
#include "Files.h"
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

bool IsDebugLogEnabled() { return GetSettingInt("EnableDebugLog", 0, "Settings") != 0; }
