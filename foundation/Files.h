// Files and folders on disk: existence, sizes, creating and copying folders,
// reading and writing whole text files, and reading a text file backwards.
#pragma once

#include <cstdio>

#include "CString.h"

bool FileExists(const char *path);  // files and folders alike
bool FolderExists(const char *path);
int GetFileLength(const char *path);          // low 32 bits; -1 when missing
long long GetFileSize64(const char *path);    // -1 when it can't be opened

// Creates the folder and any missing parents. True when the path is a folder
// afterwards; a file of that name is not a folder.
bool CreateFolderPath(const char *path);

enum {
    COPYTREE_OVERWRITE = 1,    // overwrite existing files
    COPYTREE_NO_SUBFOLDERS = 4,
    COPYTREE_SHORTEN = 8,      // shorten target paths to fit 259 characters
};
bool CopyFolderTree(const char *source, const char *target, bool copyIntoTarget, int flags);

bool IsPathInFolder(const char *folder, const char *path);
bool IsFolderEmpty(const char *folder);
int CountFilesInTree(const char *folder, const char *pattern, bool recurse);

// Reads at most size bytes (0: the whole file) into text, CR LF reduced to
// LF. Returns the bytes read, 0 when the file can't be opened and -1 (text
// untouched) when it is missing.
int ReadTextFile(const char *path, CString &text, int size = 0);

// Writes text to a temporary file beside path and moves it over path, so a
// failure or a kill mid-write leaves the old file whole. Text mode writes each
// LF as CR LF. The code page is accepted and ignored: the bytes are written
// as they are. Up to retries + 1 attempts, 500 ms apart; false when none
// succeeded.
bool WriteTextFile(const char *path, const char *text, int codePage = 0, int retries = 0, bool binary = false);

// Backwards reading of a text file, newest lines first. The caller positions
// the stream on the last byte; atStart is set once the first byte has been
// read (or nothing can be read). A CR LF pair counts as one line break.
int ReadCharBackward(FILE *file, bool &atStart);
void ReadLineBackward(FILE *file, CString &line, bool &atStart);
