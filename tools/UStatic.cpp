#include "UStatic.h"

#include "resource.h"

LRESULT CUStatic::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_MOUSEMOVE)
        SetCursor(LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_HAND_CURSOR)));
    return CStatic::WindowProc(msg, wParam, lParam);
}
