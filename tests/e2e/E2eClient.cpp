// A small client for the end-to-end tests: a window titled "Lexanto E2E
// Client" with a plain edit (id 101), a password edit (102) and a rich edit
// (103, RichEdit20A). Standard input: "focus plain|password|rich" moves the
// focus ("OK focus" follows), "quit" ends it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

const UINT WM_DRIVER_FOCUS = WM_USER + 1;
HWND g_window = nullptr;

DWORD WINAPI ReadCommands(LPVOID)
{
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        int id = 0;
        if (line == "focus plain")
            id = 101;
        else if (line == "focus password")
            id = 102;
        else if (line == "focus rich")
            id = 103;
        else if (line == "quit")
            break;
        if (id)
            PostMessageA(g_window, WM_DRIVER_FOCUS, id, 0);
    }
    PostMessageA(g_window, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CALLBACK ClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRIVER_FOCUS:
        SetFocus(GetDlgItem(window, static_cast<int>(wParam)));
        std::printf("OK focus %d\n", GetFocus() == GetDlgItem(window, static_cast<int>(wParam)) ? 1 : 0);
        std::fflush(stdout);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main()
{
    if (!LoadLibraryA("riched20.dll")) {
        std::printf("ERR riched20.dll\n");
        return 1;
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ClientProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "LexantoE2EClient";
    RegisterClassA(&wc);
    g_window = CreateWindowExA(0, "LexantoE2EClient", "Lexanto E2E Client", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                               700, 500, nullptr, nullptr, wc.hInstance, nullptr);
    const DWORD multi = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    CreateWindowExA(0, "EDIT", "", multi, 10, 10, 660, 180, g_window, reinterpret_cast<HMENU>(101), wc.hInstance,
                    nullptr);
    CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_PASSWORD | ES_AUTOHSCROLL, 10, 200, 660, 24,
                    g_window, reinterpret_cast<HMENU>(102), wc.hInstance, nullptr);
    CreateWindowExA(0, "RichEdit20A", "", multi, 10, 235, 660, 200, g_window, reinterpret_cast<HMENU>(103),
                    wc.hInstance, nullptr);
    SetFocus(GetDlgItem(g_window, 101));
    CreateThread(nullptr, 0, ReadCommands, nullptr, 0, nullptr);
    std::printf("READY\n");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    std::_Exit(0);
}
