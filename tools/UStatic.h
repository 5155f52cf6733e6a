// A static control that shows the program's hand cursor while the mouse is
// over it.
#pragma once

#include "Wnd.h"

class CUStatic : public CStatic {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
