// Path texts. A path's separator is decided per path: '\' when the text holds
// one, else '/' when it holds one, else none; every function works with the
// separator of its own argument, so URLs and Windows paths go through the same
// code. Folder paths handed out by the folder functions end with a separator.
#pragma once

#include "CString.h"

char GetPathSeparator(const char *path);
bool EndsWithSeparator(const char *path);
CString AddTrailingSeparator(const char *path);
CString RemoveTrailingSeparator(const char *path);
CString GetParentFolder(const char *path);
CString GetFileName(const char *path, bool withoutExtension = false);
CString RemoveExtension(const char *path);
CString GetFileExtension(const char *path, bool lowerCase = false);
// separator 0: the folder's own separator, else '\'.
CString JoinPath(const char *folder, const char *name, char separator = 0);
bool IsSamePath(const char *a, const char *b);
bool IsRelativePath(const char *path);
bool IsRootPath(const char *path);
CString GetRelativePath(const char *base, const char *path);
CString ShortenPath(const char *path, int maxLength);
