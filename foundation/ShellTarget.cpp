#include "ShellTarget.h"

#include "Files.h"
#include "PathText.h"
#include "TextHelpers.h"

namespace {

struct SchemeKind {
    const char *scheme;
    int kind;
};

// Schemes that need a host after "//".
const SchemeKind kHostSchemes[] = {
    {"http", URL_KIND_HTTP}, {"https", URL_KIND_HTTPS}, {"ftp", URL_KIND_FTP},
    {"gopher", URL_KIND_GOPHER}, {"nntp", URL_KIND_NNTP}, {"telnet", URL_KIND_TELNET},
};
// Schemes whose rest is free text.
const SchemeKind kOpaqueSchemes[] = {
    {"file", URL_KIND_FILE}, {"mailto", URL_KIND_MAILTO}, {"news", URL_KIND_NEWS},
};

bool IsSchemeChar(char c) { return IsAsciiLetter(c) || IsDigitChar(c) || c == '+' || c == '-' || c == '.'; }

int ParseUrlKind(const CString &text)
{
    const int colon = text.Find(':');
    if (colon <= 0)
        return URL_KIND_UNKNOWN;
    // "C:\..." or "C:/...": a drive path.
    if (colon == 1 && IsAsciiLetter(text[0]) && (text.GetLength() == 2 || text[2] == '\\' || text[2] == '/'))
        return URL_KIND_FILE;
    for (int i = 0; i < colon; ++i)
        if (!IsSchemeChar(text[i]))
            return URL_KIND_UNKNOWN;
    CString scheme = text.Left(colon);
    scheme.MakeLower();
    const CString rest = text.Mid(colon + 1);
    for (const SchemeKind &s : kOpaqueSchemes)
        if (scheme == s.scheme)
            return rest.IsEmpty() ? URL_KIND_UNKNOWN : s.kind;
    for (const SchemeKind &s : kHostSchemes) {
        if (scheme != s.scheme)
            continue;
        if (!StartsWith(rest, "//", true))
            return URL_KIND_UNKNOWN;
        const CString host = rest.Mid(2).SpanExcluding("/?#");
        const int at = host.ReverseFind('@');
        const CString name = (at >= 0 ? host.Mid(at + 1) : host).SpanExcluding(":");
        return name.IsEmpty() ? URL_KIND_UNKNOWN : s.kind;
    }
    return URL_KIND_UNKNOWN;
}

}  // namespace

int GetUrlKind(const char *text)
{
    CString url = text ? text : "";
    if (url.IsEmpty())
        return URL_KIND_UNKNOWN;
    // A bare host name or address is taken as a web address.
    if (url.Find(':') < 0 && !StartsWith(url, "\\\\", true) && url.Find('.') >= 0)
        url = "http://" + url;
    return ParseUrlKind(url);
}

ShellOpenRequest PrepareShellOpen(const char *target, const char *workingFolder)
{
    ShellOpenRequest request;
    request.file = TrimmedCopy(target ? target : "");
    request.folder = workingFolder ? workingFolder : "";
    // What exists on disk is opened as it stands: a file may contain '@' and
    // dots, or spaces, and is still one target.
    if (!FileExists(request.file)) {
        if (IsEmailAddress(request.file) && request.file.Left(7).CompareNoCase("mailto:") != 0)
            request.file = "mailto:" + request.file;
        request.parameters = SplitCommandLine(request.file);
    }
    if (request.folder.IsEmpty() && GetUrlKind(request.file) == URL_KIND_FILE) {
        // A file URL has no folder that the shell could start in.
        const CString parent = GetParentFolder(request.file);
        if (FolderExists(parent))
            request.folder = parent;
    }
    return request;
}
