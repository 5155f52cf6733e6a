#include "FileSystem.h"

#include <io.h>
#include <windows.h>

bool FsFind(const char *pattern, std::vector<FsEntry> &entries)
{
    entries.clear();
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        FsEntry entry;
        entry.name = data.cFileName;
        entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isReparsePoint = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entries.push_back(entry);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true;
}

bool FsAccess(const char *path) { return _access(path, 0) == 0; }

bool FsCanRead(const char *path) { return _access(path, 4) == 0; }

long long FsFileSize64(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    LARGE_INTEGER size;
    const BOOL ok = GetFileSizeEx(file, &size);
    CloseHandle(file);
    return ok ? size.QuadPart : -1;
}

bool FsMakeDir(const char *path) { return CreateDirectoryA(path, nullptr) != 0; }

bool FsCopyFile(const char *from, const char *to, bool failIfExists)
{
    return CopyFileA(from, to, failIfExists ? TRUE : FALSE) != 0;
}

bool FsReplaceFile(const char *source, const char *target)
{
    FsIoStep();
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool FsFlushFile(FILE *file)
{
    FsIoStep();
    if (std::fflush(file) != 0)
        return false;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool FsDeleteFile(const char *path) { return DeleteFileA(path) != 0; }

bool FsTruncateFile(FILE *file, long long size)
{
    return std::fflush(file) == 0 && _chsize_s(_fileno(file), size) == 0;
}

unsigned long FsProcessId() { return GetCurrentProcessId(); }

void FsSleep(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }
