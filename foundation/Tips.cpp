#include "Tips.h"

#include "Files.h"
#include "Folders.h"
#include "TextHelpers.h"

namespace {

// The file is read in pieces of at most 255 bytes, each ending at a line
// break: a longer line comes in several pieces, and a piece that happens to
// read "[tip]" is a marker too.
template <typename OnPiece>
bool ForEachPiece(const char *path, OnPiece onPiece)
{
    CString text;
    if (ReadTextFile(path ? path : GetTipsFilePath().GetString(), text) <= 0)
        return false;
    const int length = text.GetLength();
    for (int start = 0; start < length;) {
        int end = start;
        while (end < length && end - start < 255 && text[end] != '\n')
            ++end;
        if (end < length && end - start < 255)
            ++end;  // the line break belongs to its piece
        const CString piece = text.Mid(start, end - start);
        if (!onPiece(piece, TrimmedCopy(piece) == "[tip]"))
            break;
        start = end;
    }
    return true;
}

}  // namespace

CString GetTipsFilePath() { return GetProgramFolder() + "tips.txt"; }

int GetTipCount(const char *path)
{
    int count = 0;
    ForEachPiece(path, [&](const CString &, bool marker) {
        if (marker)
            ++count;
        return true;
    });
    return count;
}

CString GetTipText(int n, const char *path)
{
    if (n < 0)
        return CString();
    int markers = 0;
    CString tip;
    ForEachPiece(path, [&](const CString &piece, bool marker) {
        if (marker)
            return ++markers <= n + 1;
        if (markers == n + 1)
            tip += piece;
        return true;
    });
    tip.Replace("\n", "\r\n");
    tip.Trim();
    return tip;
}
