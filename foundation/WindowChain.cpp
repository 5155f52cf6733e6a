// The window chain of a control. Only user32, so the hook library links it too.
#include "InputHelpers.h"

HWND GetRootWindow(HWND w)
{
    // Bounded against a parent chain that a dying window can leave cyclic.
    for (int depth = 0; w && depth < 256; ++depth) {
        HWND parent = GetParent(w);
        if (!parent)
            break;
        w = parent;
    }
    return w;
}

HWND GetTopLevelWindow(HWND w)
{
    HWND parent = GetParent(w);
    if (!parent)
        return w;
    w = parent;
    for (int depth = 0; depth < 256 && (GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD) && (parent = GetParent(w)) != nullptr;
         ++depth)
        w = parent;
    return w;
}
