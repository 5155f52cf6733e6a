// Windows on a real desktop in tests: letting them paint, and saving what
// the screen shows of one into build/<tree>/screenshots/<name>.bmp.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "ProgramPath.h"

// Lets the windows of this thread paint and settle.
inline void Pump(int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

// Copies the window's screen area into build/<name>/screenshots/<file>.bmp
// and returns the number of distinct colours in it.
inline size_t SaveScreenshot(HWND window, const std::string &file)
{
    Pump(300);
    RECT r;
    GetWindowRect(window, &r);
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    if (cx <= 0 || cy <= 0)
        return 0;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, cx, cy, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info;
    std::memset(&info, 0, sizeof info);
    info.biSize = sizeof info;
    info.biWidth = cx;
    info.biHeight = cy;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (cx * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * cy);
    GetDIBits(memory, bitmap, 0, cy, pixels.data(), reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    std::string folder = OwnProgramPath();
    folder.erase(folder.find_last_of('\\'));            // bin
    folder.erase(folder.find_last_of('\\') + 1);        // the build tree
    folder += "screenshots";
    CreateDirectoryA(folder.c_str(), nullptr);
    BITMAPFILEHEADER header;
    std::memset(&header, 0, sizeof header);
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = static_cast<DWORD>(header.bfOffBits + pixels.size());
    std::ofstream out(folder + "\\" + file + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char *>(&header), sizeof header);
    out.write(reinterpret_cast<const char *>(&info), sizeof info);
    out.write(reinterpret_cast<const char *>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    if (!out)
        return 0;

    std::set<unsigned> colours;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x) {
            const unsigned char *p = &pixels[static_cast<size_t>(y) * stride + x * 3];
            colours.insert(p[0] | p[1] << 8 | p[2] << 16);
        }
    return colours.size();
}
