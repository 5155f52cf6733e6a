// Catches the message boxes that the code under test shows on this thread:
// records caption and text, and answers each box at once, so tests can check
// exact user-facing messages without anyone at the screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class MessageBoxCatcher {
public:
    struct Box {
        std::string caption;
        std::string text;
    };

    explicit MessageBoxCatcher(int answer = IDOK) : m_answer(answer)
    {
        s_current = this;
        m_hook = SetWindowsHookExA(WH_CBT, &MessageBoxCatcher::Hook, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxCatcher()
    {
        if (m_hook)
            UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    MessageBoxCatcher(const MessageBoxCatcher &) = delete;
    MessageBoxCatcher &operator=(const MessageBoxCatcher &) = delete;

    bool Installed() const { return m_hook != nullptr; }
    const std::vector<Box> &Boxes() const { return m_boxes; }

private:
    static BOOL CALLBACK FindText(HWND child, LPARAM param)
    {
        char cls[32] = {0};
        char text[2048] = {0};
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0) {
            *reinterpret_cast<std::string *>(param) = text;
            return FALSE;
        }
        return TRUE;
    }

    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        MessageBoxCatcher *self = s_current;
        if (code == HCBT_ACTIVATE && self) {
            HWND box = reinterpret_cast<HWND>(wParam);
            char cls[32] = {0};
            GetClassNameA(box, cls, sizeof cls);
            // Dialogs of the program's own window layer carry their object in
            // a property; only the system's message boxes are caught.
            // A box is activated again when another process's window took
            // the foreground before it closed: it is still one box.
            bool seen = false;
            for (HWND caughtBox : self->m_caught)
                seen = seen || caughtBox == box;
            if (!seen && lstrcmpA(cls, "#32770") == 0 && !GetPropA(box, "LexantoWndObject")) {
                self->m_caught.push_back(box);
                Box caught;
                char caption[512] = {0};
                GetWindowTextA(box, caption, sizeof caption);
                caught.caption = caption;
                EnumChildWindows(box, &MessageBoxCatcher::FindText, reinterpret_cast<LPARAM>(&caught.text));
                self->m_boxes.push_back(caught);
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(self->m_answer, BN_CLICKED), 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline MessageBoxCatcher *s_current = nullptr;
    HHOOK m_hook = nullptr;
    int m_answer;
    std::vector<Box> m_boxes;
    std::vector<HWND> m_caught;
};
