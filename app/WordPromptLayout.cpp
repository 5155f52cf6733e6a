#include "WordPromptLayout.h"

bool BoxesIntersect(const PromptBox &a, const PromptBox &b)
{
    if (a.left >= a.right || a.top >= a.bottom || b.left >= b.right || b.top >= b.bottom)
        return false;
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool BoxInside(const PromptBox &inner, const PromptBox &outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

void PromptCandidateBoxes(const CaretPlacement &p, PromptBox boxes[4])
{
    const int h = p.lineHeight ? p.lineHeight : 25;
    const int x = p.caretX, y = p.caretY;
    const int below = y + h + 5, above = y - 5;
    boxes[0] = {x + 5, below, x + 5 + p.cx, below + p.cy};
    boxes[1] = {x + 5 - p.cx, below, x + 5, below + p.cy};
    boxes[2] = {x + 5, above - p.cy, x + 5 + p.cx, above};
    boxes[3] = {x + 5 - p.cx, above - p.cy, x + 5, above};
}

int ChoosePromptBox(const CaretPlacement &p, PromptBox &box)
{
    PromptBox boxes[4];
    PromptCandidateBoxes(p, boxes);
    int penalty[4] = {0, 1, 2, 3};
    for (const PromptBox &window : p.windows)
        for (int i = 0; i < 4; ++i)
            if (BoxesIntersect(boxes[i], window))
                penalty[i] += 8;
    for (int i = 0; i < 4; ++i)
        if (!BoxInside(boxes[i], p.desktop))
            penalty[i] += 4;
    int best = 0;
    for (int i = 1; i < 4; ++i)
        if (penalty[i] < penalty[best])
            best = i;
    // Compare in doubles: 0.4 of the screen need not be a whole number.
    if (p.cx > 0.4 * p.screenCx || p.cy > 0.4 * p.screenCy)
        best = 0;
    box = boxes[best];
    return best;
}
