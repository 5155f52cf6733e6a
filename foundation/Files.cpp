#include "Files.h"

#include <atomic>
#include <vector>

#include "FileSystem.h"
#include "PathText.h"
#include "TextHelpers.h"

bool FileExists(const char *path) { return path && *path && FsAccess(path); }

bool FolderExists(const char *path)
{
    if (!path || !*path)
        return false;
    const CString folder = RemoveTrailingSeparator(path);
    if (folder.Mid(1) == ":\\")
        return true;
    std::vector<FsEntry> entries;
    return FsFind(folder, entries) && entries.front().isDirectory;
}

int GetFileLength(const char *path)
{
    std::vector<FsEntry> entries;
    if (!path || !FsFind(path, entries))
        return -1;
    return static_cast<int>(static_cast<unsigned>(entries.front().size & 0xFFFFFFFFu));
}

long long GetFileSize64(const char *path) { return path ? FsFileSize64(path) : -1; }

bool CreateFolderPath(const char *path)
{
    if (FileExists(path))
        return FolderExists(path);
    const CString parent = GetParentFolder(path);
    if (!parent.IsEmpty() && !IsRootPath(parent) && !FileExists(parent) && !CreateFolderPath(parent))
        return false;
    // Another process may have made it meanwhile; that is success too.
    return FsMakeDir(path) || FolderExists(path);
}

bool CopyFolderTree(const char *source, const char *target, bool copyIntoTarget, int flags)
{
    CString destination(target);
    if (copyIntoTarget)
        destination = JoinPath(destination, GetFileName(source));
    if (!CreateFolderPath(destination))
        return false;
    std::vector<FsEntry> entries;
    if (!FsFind(JoinPath(source, "*"), entries))
        return false;
    bool ok = true;
    for (const FsEntry &entry : entries) {
        if (entry.name == "." || entry.name == ".." || entry.name == ".svn")
            continue;
        const CString from = JoinPath(source, entry.name);
        if (entry.isDirectory) {
            if (!(flags & COPYTREE_NO_SUBFOLDERS) && !CopyFolderTree(from, destination, true, flags))
                ok = false;
            continue;
        }
        CString to = JoinPath(destination, entry.name);
        if (flags & COPYTREE_SHORTEN)
            to = ShortenPath(to, 259);
        if (!FsCopyFile(from, to, !(flags & COPYTREE_OVERWRITE)))
            ok = false;
    }
    return ok;
}

bool IsPathInFolder(const char *folder, const char *path)
{
    const CString base = AddTrailingSeparator(folder);
    const CString full = FolderExists(path) ? AddTrailingSeparator(path) : CString(path);
    return StartsWith(full, base, false);
}

bool IsFolderEmpty(const char *folder)
{
    std::vector<FsEntry> entries;
    FsFind(JoinPath(folder, "*"), entries);
    for (const FsEntry &entry : entries)
        if (entry.name != "." && entry.name != "..")
            return false;
    return true;
}

int CountFilesInTree(const char *folder, const char *pattern, bool recurse)
{
    int count = 0;
    std::vector<FsEntry> entries;
    if (FsFind(JoinPath(folder, pattern), entries))
        for (const FsEntry &entry : entries)
            if (!entry.isDirectory)
                ++count;
    if (recurse && FsFind(JoinPath(folder, "*"), entries))
        for (const FsEntry &entry : entries)
            if (entry.isDirectory && entry.name[0] != '.')
                count += CountFilesInTree(JoinPath(folder, entry.name), pattern, true);
    return count;
}

int ReadTextFile(const char *path, CString &text, int size)
{
    if (size == 0) {
        const long long fileSize = GetFileSize64(path);
        size = fileSize < 0 ? -1 : static_cast<int>(static_cast<unsigned>(fileSize & 0xFFFFFFFFu));
    }
    if (size < 0)
        return size;
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return 0;
    char *buffer = text.GetBufferSetLength(size);
    const size_t got = std::fread(buffer, 1, static_cast<size_t>(size), file);
    text.ReleaseBuffer(static_cast<int>(got));
    text.ReleaseBuffer(-1);  // the text ends at its first 0 byte
    std::fclose(file);
    text.Replace("\r\n", "\n");
    return static_cast<int>(got);
}

namespace {
std::atomic<unsigned> g_tempCounter{0};

// A name beside the target that no scan for the target's own extension
// matches: "~" + name + "." + process + "-" + counter + ".tmp".
CString TempNameBeside(const char *path)
{
    const CString target(path);
    const char sep = GetPathSeparator(target);
    const int cut = sep ? target.ReverseFind(sep) + 1 : 0;
    CString temp;
    temp.Format("%s~%s.%lu-%u.tmp", target.Left(cut).GetString(), target.Mid(cut).GetString(), FsProcessId(),
                g_tempCounter.fetch_add(1));
    return temp;
}

bool WriteOnce(const char *path, const CString &bytes)
{
    const CString temp = TempNameBeside(path);
    FILE *file = std::fopen(temp, "wb");
    if (!file)
        return false;
    bool ok = FsWriteAll(file, bytes.GetString(), static_cast<size_t>(bytes.GetLength()));
    ok = FsFlushFile(file) && ok;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && FsReplaceFile(temp, path);
    if (!ok)
        FsDeleteFile(temp);
    return ok;
}
}  // namespace

bool WriteTextFile(const char *path, const char *text, int /*codePage*/, int retries, bool binary)
{
    if (!path || !*path)
        return false;
    CString bytes(text);
    if (!binary)
        bytes.Replace("\n", "\r\n");  // what a text-mode stream writes for each LF
    for (int attempt = 0; attempt <= retries; ++attempt) {
        if (attempt > 0)
            FsSleep(500);
        if (WriteOnce(path, bytes))
            return true;
    }
    return false;
}

int ReadCharBackward(FILE *file, bool &atStart)
{
    const int c = std::fgetc(file);
    if (c == EOF) {
        // Nothing more can be read here (empty file or a read error).
        atStart = true;
        return c;
    }
    if (std::ftell(file) > 1) {
        std::fseek(file, -2, SEEK_CUR);
        atStart = false;
    } else {
        atStart = true;
    }
    return c;
}

void ReadLineBackward(FILE *file, CString &line, bool &atStart)
{
    line.Empty();
    atStart = false;
    for (;;) {
        const int c = ReadCharBackward(file, atStart);
        if (c == EOF || c == '\n')
            break;
        line.Insert(0, static_cast<char>(c));
        if (atStart)
            return;
    }
    if (atStart)
        return;
    // A CR right before the LF belongs to the same break; anything else is
    // the last character of the next line, which must still be read, even
    // when it is the first byte of the file.
    const long before = std::ftell(file);
    const int c = ReadCharBackward(file, atStart);
    if (c != '\r' && c != EOF) {
        std::fseek(file, before, SEEK_SET);
        atStart = false;
    }
}
