// Drives a modal dialog of the program from a test: runs it for real, calls a
// script inside its modal loop once the dialog is on the screen, and ends a
// dialog that the script left open, so a failing test cannot hang the run.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Dialog.h"

struct ModalScript {
    static inline std::function<void(HWND)> script;
    static inline CDialog *dialog = nullptr;
    static inline bool ran = false;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        if (ran || !dialog->m_hWnd || !IsWindowVisible(dialog->m_hWnd))
            return;
        KillTimer(nullptr, id);
        ran = true;
        script(dialog->m_hWnd);
    }
    static void CALLBACK Guard(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        if (dialog->m_hWnd)
            EndDialog(dialog->m_hWnd, -2);
    }
};

// The dialog's DoModal result: what the script chose, or -2 when the dialog
// was still open after 20 seconds.
inline INT_PTR RunModal(CDialog &dialog, std::function<void(HWND)> script)
{
    ModalScript::script = std::move(script);
    ModalScript::dialog = &dialog;
    ModalScript::ran = false;
    const UINT_PTR tick = SetTimer(nullptr, 0, 50, &ModalScript::Tick);
    const UINT_PTR guard = SetTimer(nullptr, 0, 20000, &ModalScript::Guard);
    const INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, tick);
    KillTimer(nullptr, guard);
    return result;
}

// A button pressed as the user presses it: the command its parent gets.
inline void Click(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline std::string ItemText(HWND dialog, int id)
{
    char text[4096] = {0};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
