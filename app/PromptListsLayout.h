// The arithmetic of the prompt's lists without windows: row labels, the
// shortened texts of the horizontal list, which entries fit one line, and
// which row a point lies in. Widths come from a measuring function, so the
// Windows lists pass their font metrics and the tests plain numbers.
// Portable.
#pragma once

#include <functional>
#include <vector>

#include "CString.h"

// The text as a row of the horizontal list shows it: labelled like the
// vertical list ("1. " to "9. ", "0. ", "a. " to "y. ", then "*. "), since
// these are the keys that choose the rows.
CString FormatRowLabel(int row, const CString &text);

// A text of more than 40 characters: its first 37 and "...".
CString ShortenForHList(const CString &text);

// width(index, rowInPage): the painted width of an entry on that row.
using RowWidth = std::function<int(int index, int rowInPage)>;

// Rows of the horizontal list that fill a line of clientWidth from entry
// first on: one after the other with gap pixels between them, stopping at
// the first that would reach the right edge; the first row is always taken.
int FitRowsForward(const RowWidth &width, int first, int count, int clientWidth, int gap);

// The first entry of the page before the one that starts at first: walking
// back, entries are taken while their widths and gaps stay below
// clientWidth; the entry just before first is always taken. first when it
// is 0.
int WalkBackFirst(const RowWidth &width, int first, int clientWidth, int gap);

// The row whose painted range holds x: rows are painted from start on, each
// width wide with gap pixels between them. -1 in a gap, before the first row
// or after the last one.
int HitTestRow(const std::vector<int> &widths, int start, int gap, int x);
