// The keyboard backend of the desktop: the system's input synthesis and the
// layout of the target window's thread.
#include "Typing.h"

#include <windows.h>

namespace {

struct SystemKeyboardBackend : KeyboardBackend {
    void KeyEvent(BYTE vk, BYTE scan, DWORD flags, uintptr_t extra) override
    {
        keybd_event(vk, scan, flags, static_cast<ULONG_PTR>(extra));
    }
    short VkKeyScan(char ch, void *layout) override { return VkKeyScanExA(ch, static_cast<HKL>(layout)); }
    BYTE ScanCode(BYTE vk, void *layout) override
    {
        return static_cast<BYTE>(MapVirtualKeyExA(vk, 0 /* virtual key to scan code */, static_cast<HKL>(layout)));
    }
    // A window that no longer exists gives thread 0, whose layout is that of
    // the calling thread.
    void *LayoutOf(HWND target) override { return GetKeyboardLayout(GetWindowThreadProcessId(target, nullptr)); }
    bool CapsLockOn() override { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
    void PostChar(HWND target, uintptr_t wParam, intptr_t lParam) override
    {
        PostMessageA(target, WM_CHAR, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    }
    void Sleep(int ms) override { ::Sleep(static_cast<DWORD>(ms > 0 ? ms : 0)); }
};

}  // namespace

KeyboardBackend *DefaultKeyboardBackend()
{
    static SystemKeyboardBackend backend;
    return &backend;
}
