// Where the floating prompt goes beside the caret: the arithmetic without
// windows, so it is the same on every build. Portable.
#pragma once

#include <vector>

struct PromptBox {
    int left, top, right, bottom;
};

bool BoxesIntersect(const PromptBox &a, const PromptBox &b);
// inner lies completely inside outer.
bool BoxInside(const PromptBox &inner, const PromptBox &outer);

struct CaretPlacement {
    int caretX, caretY;    // the caret point in screen coordinates
    int lineHeight;        // of the caret's line; 0 when unknown
    int cx, cy;            // the prompt's size
    PromptBox desktop;     // the desktop window's rectangle
    int screenCx, screenCy;
    std::vector<PromptBox> windows;  // visible windows the prompt should not cover
};

// The four places tried, in order of preference: below right of the caret,
// below left, above right, above left.
void PromptCandidateBoxes(const CaretPlacement &p, PromptBox boxes[4]);

// The place with the least penalty: 8 for every window it covers, 4 when it
// leaves the desktop, its rank among equals. A prompt wider or taller than
// 40 % of the screen always goes below right. Returns the index (0-3) and
// fills box.
int ChoosePromptBox(const CaretPlacement &p, PromptBox &box);
