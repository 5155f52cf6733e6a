#include "PathText.h"

#include <cstring>

#include "TextHelpers.h"

char GetPathSeparator(const char *path)
{
    if (!path)
        return 0;
    if (std::strchr(path, '\\'))
        return '\\';
    if (std::strchr(path, '/'))
        return '/';
    return 0;
}

bool EndsWithSeparator(const char *path)
{
    const char sep = GetPathSeparator(path);
    return sep != 0 && path[std::strlen(path) - 1] == sep;
}

CString AddTrailingSeparator(const char *path)
{
    CString result(path);
    if (result.IsEmpty())
        return CString('\\');
    if (!EndsWithSeparator(result)) {
        const char sep = GetPathSeparator(result);
        result += sep ? sep : '\\';
    }
    return result;
}

CString RemoveTrailingSeparator(const char *path)
{
    CString result(path);
    // A drive root such as C:\ keeps its separator.
    while (result.GetLength() >= 2 && EndsWithSeparator(result) && result[result.GetLength() - 2] != ':')
        result.Delete(result.GetLength() - 1);
    return result;
}

CString GetParentFolder(const char *path)
{
    const CString text(path);
    const char sep = GetPathSeparator(text);
    if (!sep)
        return CString();
    int i = text.GetLength() - 1;
    if (i >= 0 && text[i] == sep)
        --i;
    for (; i >= 0; --i) {
        if (text[i] == sep)
            return RemoveTrailingSeparator(text.Left(i + 1));
        if (text[i] == ':')
            break;
    }
    return CString();
}

CString GetFileName(const char *path, bool withoutExtension)
{
    CString name(path);
    const char sep = GetPathSeparator(name);
    if (sep) {
        if (name.GetLength() == 1)
            return name;
        if (name[name.GetLength() - 1] == sep)
            name.Delete(name.GetLength() - 1);
        name = name.Mid(name.ReverseFind(sep) + 1);
    }
    const int query = name.Find('?');
    if (query >= 0)
        name = name.Left(query);
    if (withoutExtension) {
        const int dot = name.ReverseFind('.');
        if (dot >= 0)
            name = name.Left(dot);
    }
    return name;
}

namespace {
// Position of the last '.' that lies after the last separator, or -1.
int ExtensionDot(const CString &path)
{
    const int dot = path.ReverseFind('.');
    const char sep = GetPathSeparator(path);
    if (dot < 0 || (sep && path.ReverseFind(sep) > dot))
        return -1;
    return dot;
}
}  // namespace

CString RemoveExtension(const char *path)
{
    const CString text(path);
    const int dot = ExtensionDot(text);
    return dot < 0 ? text : text.Left(dot);
}

CString GetFileExtension(const char *path, bool lowerCase)
{
    const CString text(path);
    const int dot = ExtensionDot(text);
    if (dot < 0)
        return CString();
    CString ext = text.Mid(dot + 1);
    if (lowerCase)
        ext.MakeLower();
    return ext;
}

CString JoinPath(const char *folder, const char *name, char separator)
{
    CString result(folder);
    if (result.IsEmpty())
        return CString(name);
    char sep = separator ? separator : GetPathSeparator(result);
    if (!sep)
        sep = '\\';
    if (result[result.GetLength() - 1] != sep)
        result += sep;
    result += name;
    return result;
}

bool IsSamePath(const char *a, const char *b)
{
    CString left(a), right(b);
    left.Replace('/', '\\');
    right.Replace('/', '\\');
    return AsciiCompareNoCase(AddTrailingSeparator(left), AddTrailingSeparator(right)) == 0;
}

bool IsRelativePath(const char *path)
{
    const CString text(path);
    if (text.GetLength() < 2)
        return true;
    return text[1] != ':' && !(text[0] == '\\' && text[1] == '\\');
}

bool IsRootPath(const char *path)
{
    const CString text(path);
    if (text == "\\" || text == "/")
        return true;
    return text.GetLength() == 3 && IsAsciiLetter(text[0]) && text[1] == ':' && (text[2] == '\\' || text[2] == '/');
}

CString GetRelativePath(const char *base, const char *path)
{
    const CString folder = AddTrailingSeparator(base);
    const CString full = AddTrailingSeparator(path);
    if (full.GetLength() >= folder.GetLength() &&
        AsciiCompareNoCaseN(full, folder, static_cast<size_t>(folder.GetLength())) == 0) {
        CString rest = full.Mid(folder.GetLength());
        rest.Trim("\\/");
        return rest;
    }
    return CString(path);
}

CString ShortenPath(const char *path, int maxLength)
{
    const CString text(path);
    const int length = text.GetLength();
    if (length <= maxLength)
        return text;
    const int dot = text.ReverseFind('.');
    int extLength = dot >= 0 ? length - dot : 0;
    if (text.ReverseFind('\\') > dot)
        extLength = 0;
    // Keep at least two characters of the head besides ".." and the extension.
    if (maxLength < extLength + 4)
        return text;
    return text.Left(maxLength - extLength - 2) + ".." + text.Right(extLength);
}
