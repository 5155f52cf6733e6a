#include "PromptListsLayout.h"

#include "Candidates.h"

CString FormatRowLabel(int row, const CString &text) { return FormatNumberedItem(text, row); }

CString ShortenForHList(const CString &text)
{
    if (text.GetLength() <= 40)
        return text;
    return text.Left(37) + "...";
}

int FitRowsForward(const RowWidth &width, int first, int count, int clientWidth, int gap)
{
    int x = 0, rows = 0;
    for (int index = first < 0 ? 0 : first; index < count; ++index) {
        const int w = width(index, rows);
        if (x + w >= clientWidth && rows > 0)
            break;
        x += w + gap;
        ++rows;
    }
    return rows;
}

int WalkBackFirst(const RowWidth &width, int first, int clientWidth, int gap)
{
    if (first <= 0)
        return 0;
    int sum = 0, taken = first;
    for (int index = first - 1; index >= 0; --index) {
        const int w = width(index, -1);
        if (taken != first && sum + w >= clientWidth)
            break;
        sum += w + gap;
        taken = index;
    }
    return taken;
}

int HitTestRow(const std::vector<int> &widths, int start, int gap, int x)
{
    for (size_t row = 0; row < widths.size(); ++row) {
        if (x >= start && x < start + widths[row])
            return static_cast<int>(row);
        start += widths[row] + gap;
    }
    return -1;
}
