#include "WindowHelpers.h"

#include <vector>

namespace {
SIZE SizeOf(const RECT &rect) { return SIZE{rect.right - rect.left, rect.bottom - rect.top}; }

bool LiesWithin(const RECT &rect, const RECT &outer)
{
    RECT joined;
    UnionRect(&joined, &rect, &outer);
    return EqualRect(&joined, &outer) != FALSE;
}

// "&&" shows a literal '&'; any other '&' only marks the mnemonic.
CString WithoutMnemonics(const char *text)
{
    CString result(text);
    result.Replace("&&", "DoubleAnd");
    result.Remove('&');
    result.Replace("DoubleAnd", "&&");
    return result;
}

const int kMenuTextMax = 1024;

CString MenuItemText(HMENU menu, int pos)
{
    CString text;
    const int length = GetMenuStringA(menu, static_cast<UINT>(pos), text.GetBufferSetLength(kMenuTextMax),
                                      kMenuTextMax + 1, MF_BYPOSITION);
    text.ReleaseBuffer(length > 0 ? -1 : 0);
    return text;
}

// Height of one menu item as the menu font draws it, at least 20 pixels.
int MenuItemHeight()
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    HFONT font = nullptr;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = CreateFontIndirectA(&metrics.lfMenuFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, "Texthgp", 7, &extent);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (font)
        DeleteObject(font);
    return extent.cy + 4 < 20 ? 20 : extent.cy + 4;
}

// Starts a new column at the item; everything else about the item stays.
void SetColumnBreak(HMENU menu, int pos)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &info))
        return;
    info.fType |= MFT_MENUBARBREAK;
    SetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &info);
}
}  // namespace

SIZE GetFrameSize(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
    return SizeOf(rect);
}

SIZE GetWindowSize(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return SizeOf(rect);
}

void KeepWindowOnDesktop(HWND window)
{
    RECT desktop, rect;
    GetWindowRect(GetDesktopWindow(), &desktop);
    if (!GetWindowRect(window, &rect))
        return;

    // 0 unchanged, 1 mirrored to the left, 2 mirrored upwards, 3 both. The
    // number itself is the penalty, so on a tie the smaller change wins.
    RECT placements[4];
    for (int i = 0; i < 4; ++i) {
        placements[i] = rect;
        if (i & 1) {
            placements[i].left = 2 * rect.left - rect.right;
            placements[i].right = rect.left;
        }
        if (i & 2) {
            placements[i].top = 2 * rect.top - rect.bottom;
            placements[i].bottom = rect.top;
        }
    }
    int best = 0, bestPenalty = 0;
    for (int i = 0; i < 4; ++i) {
        const int penalty = i + (LiesWithin(placements[i], desktop) ? 0 : 4);
        if (i == 0 || penalty < bestPenalty) {
            best = i;
            bestPenalty = penalty;
        }
    }
    const RECT &target = placements[best];
    MoveWindow(window, target.left, target.top, target.right - target.left, target.bottom - target.top, TRUE);
}

HICON MakeGrayIcon(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return nullptr;
    if (!info.hbmColor) {
        DeleteObject(info.hbmMask);
        return CopyIcon(icon);
    }

    HICON result = nullptr;
    BITMAP bitmap = {};
    if (GetObjectA(info.hbmColor, sizeof bitmap, &bitmap) && bitmap.bmWidth > 0 && bitmap.bmHeight > 0) {
        BITMAPINFO header = {};
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = bitmap.bmWidth;
        header.bmiHeader.biHeight = bitmap.bmHeight;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;
        const UINT rows = static_cast<UINT>(bitmap.bmHeight);
        std::vector<BYTE> pixels(static_cast<size_t>(bitmap.bmWidth) * rows * 4);

        HDC dc = GetDC(nullptr);
        if (GetDIBits(dc, info.hbmColor, 0, rows, pixels.data(), &header, DIB_RGB_COLORS) > 0) {
            for (size_t i = 0; i < pixels.size(); i += 4) {
                // Integer weights truncate the exact value; in floating point a
                // grey such as 195 would come out as 194.
                const BYTE grey = static_cast<BYTE>((114 * pixels[i] + 587 * pixels[i + 1] + 299 * pixels[i + 2]) / 1000);
                pixels[i] = pixels[i + 1] = pixels[i + 2] = grey;
            }
            if (SetDIBits(dc, info.hbmColor, 0, rows, pixels.data(), &header, DIB_RGB_COLORS) > 0)
                result = CreateIconIndirect(&info);
        }
        ReleaseDC(nullptr, dc);
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return result;
}

BOOL IsKeyDown(int vk) { return (GetKeyState(vk) & 0x8000) ? TRUE : FALSE; }

int FindMenuItemPos(HMENU menu, const char *text)
{
    const CString wanted = WithoutMnemonics(text);
    const int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos)
        if (WithoutMnemonics(MenuItemText(menu, pos)).CompareNoCase(wanted) == 0)
            return pos;
    return -1;
}

void SplitMenuIntoColumns(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    const int itemHeight = MenuItemHeight();
    const int available = GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU) - GetSystemMetrics(SM_CYCAPTION);
    if (count <= 0 || available >= itemHeight * count)
        return;
    const int rows = available / itemHeight;
    int pos = rows;
    SetColumnBreak(menu, pos);
    while (available < (count - pos) * itemHeight) {
        pos += 1 + rows;
        if (pos >= count)
            break;
        SetColumnBreak(menu, pos);
    }
}

CString GetWindowClassName(HWND window)
{
    if (!window)
        return CString();
    char name[64];
    const int length = GetClassNameA(window, name, sizeof name);
    if (length <= 0 || length >= static_cast<int>(sizeof name))
        return CString();
    return CString(name, length);
}
