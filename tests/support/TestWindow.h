// Windows for tests: a window of a registered test class (or of any class),
// destroyed with the object.
#pragma once

#include <windows.h>

// Registers a window class of this program once; later calls do nothing.
inline void RegisterTestClass(const char *name, WNDPROC procedure = DefWindowProcA)
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(GetModuleHandleA(nullptr), name, &wc))
        return;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

class TestWindow {
public:
    static constexpr const char *kDefaultClass = "LexantoTestWindow";

    // className nullptr: the default test class (DefWindowProc).
    TestWindow(DWORD style, DWORD exStyle, int x, int y, int cx, int cy, const char *className = nullptr,
               HWND parent = nullptr)
    {
        if (!className) {
            RegisterTestClass(kDefaultClass);
            className = kDefaultClass;
        }
        m_hwnd = CreateWindowExA(exStyle, className, "test", style, x, y, cx, cy, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow()
    {
        if (m_hwnd)
            DestroyWindow(m_hwnd);
    }
    TestWindow(const TestWindow &) = delete;
    TestWindow &operator=(const TestWindow &) = delete;
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};
