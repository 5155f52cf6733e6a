// The few disk operations that the portable file code needs, implemented over
// Win32 in Windows builds and over POSIX in the host build, so that the file
// helpers behave the same in both and run natively under the sanitizers.
#pragma once

#include <cstdio>
#include <vector>

#include "CString.h"

struct FsEntry {
    CString name;
    bool isDirectory = false;
    bool isReparsePoint = false;  // a junction or symbolic link (it may lead back up the tree)
    unsigned long long size = 0;
};

// Entries that match a pattern (wildcards in its last component), "." and
// ".." included as Windows lists them. False when nothing matches.
bool FsFind(const char *pattern, std::vector<FsEntry> &entries);
bool FsAccess(const char *path);  // a file or folder of that name exists
bool FsCanRead(const char *path);  // it exists and may be read (a folder: listed)
long long FsFileSize64(const char *path);  // -1 when it can't be opened
bool FsMakeDir(const char *path);
bool FsCopyFile(const char *from, const char *to, bool failIfExists);
// Moves source over target, replacing it, and waits until the move is on disk.
bool FsReplaceFile(const char *source, const char *target);
// Pushes a stream's data through to the disk.
bool FsFlushFile(FILE *file);
bool FsDeleteFile(const char *path);
// Cuts or extends an open file to size bytes.
bool FsTruncateFile(FILE *file, long long size);

// Writes all bytes in chunks; false on any short write.
bool FsWriteAll(FILE *file, const void *data, size_t size);

// One step of a file write-back (a chunk written, a flush, a rename). When the
// environment variable LEXANTO_KILL_AFTER_IO_STEPS is set to n, the process
// ends abruptly at step n: the crash-safety tests kill a writer at many points.
void FsIoStep();
unsigned long FsProcessId();
void FsSleep(int milliseconds);
