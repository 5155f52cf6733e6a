#include "WindowHelpers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "TestWindow.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {
const char *const kClassName = TestWindow::kDefaultClass;

RECT WindowRect(HWND hwnd)
{
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return rect;
}

RECT DesktopRect() { return WindowRect(GetDesktopWindow()); }

// Pixels of an icon's colour bitmap, top row first, as 0xAARRGGBB.
std::vector<uint32_t> IconPixels(HICON icon, int *width = nullptr)
{
    std::vector<uint32_t> pixels;
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return pixels;
    BITMAP bitmap = {};
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap)) {
        BITMAPINFO header = {};
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = bitmap.bmWidth;
        header.bmiHeader.biHeight = -bitmap.bmHeight;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;
        pixels.resize(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
        HDC dc = GetDC(nullptr);
        if (GetDIBits(dc, info.hbmColor, 0, bitmap.bmHeight, pixels.data(), &header, DIB_RGB_COLORS) == 0)
            pixels.clear();
        ReleaseDC(nullptr, dc);
        if (width)
            *width = bitmap.bmWidth;
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

std::vector<BYTE> MaskBits(HICON icon)
{
    std::vector<BYTE> bits;
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return bits;
    BITMAP bitmap = {};
    GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    bits.resize(static_cast<size_t>(bitmap.bmWidthBytes) * bitmap.bmHeight);
    GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data());
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bits;
}

BYTE Red(uint32_t p) { return static_cast<BYTE>(p >> 16); }
BYTE Green(uint32_t p) { return static_cast<BYTE>(p >> 8); }
BYTE Blue(uint32_t p) { return static_cast<BYTE>(p); }
}  // namespace

// ---------------------------------------------------------------------------
// Sizes

TEST(WindowHelpersSizes, FrameSizeIsWhatTheFrameAddsToTheClientArea)
{
    struct Case {
        const char *name;
        DWORD style, exStyle;
    } cases[] = {
        {"overlapped", WS_OVERLAPPEDWINDOW, 0},
        {"bare popup", WS_POPUP, 0},
        {"popup with border and client edge", WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE},
        {"tool window with caption", WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow window(c.style, c.exStyle, 40, 30, 300, 200);
        ASSERT_TRUE(window.Get());
        const SIZE size = GetWindowSize(window.Get());
        EXPECT_EQ(size.cx, 300);
        EXPECT_EQ(size.cy, 200);
        RECT client = {};
        GetClientRect(window.Get(), &client);
        const SIZE frame = GetFrameSize(window.Get());
        EXPECT_EQ(frame.cx, 300 - client.right);
        EXPECT_EQ(frame.cy, 200 - client.bottom);
    }
}

// ---------------------------------------------------------------------------
// KeepWindowOnDesktop

TEST(WindowHelpersDesktop, PopupIsMirroredOnlyAsFarAsNeeded)
{
    const RECT desk = DesktopRect();
    const int w = 200, h = 150;
    struct Case {
        const char *name;
        int x, y;              // placed here
        int expectX, expectY;  // expected afterwards
    } cases[] = {
        {"fits", desk.left + 100, desk.top + 100, desk.left + 100, desk.top + 100},
        // Mirroring both ways would fit too; the smaller change wins.
        {"over the right edge", desk.right - 100, desk.top + 300, desk.right - 300, desk.top + 300},
        {"over the bottom edge", desk.left + 100, desk.bottom - 50, desk.left + 100, desk.bottom - 200},
        {"over right and bottom", desk.right - 100, desk.bottom - 50, desk.right - 300, desk.bottom - 200},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow popup(WS_POPUP, WS_EX_TOOLWINDOW, c.x, c.y, w, h);
        ASSERT_TRUE(popup.Get());
        KeepWindowOnDesktop(popup.Get());
        const RECT after = WindowRect(popup.Get());
        EXPECT_EQ(after.left, c.expectX);
        EXPECT_EQ(after.top, c.expectY);
        EXPECT_EQ(after.right - after.left, w);
        EXPECT_EQ(after.bottom - after.top, h);
    }
}

TEST(WindowHelpersDesktop, PopupThatFitsNowhereStays)
{
    const RECT desk = DesktopRect();
    const int w = desk.right - desk.left - 100;  // too wide for either side of its left edge
    TestWindow popup(WS_POPUP, WS_EX_TOOLWINDOW, desk.left + 150, desk.top + 100, w, 100);
    ASSERT_TRUE(popup.Get());
    KeepWindowOnDesktop(popup.Get());
    const RECT after = WindowRect(popup.Get());
    EXPECT_EQ(after.left, desk.left + 150);
    EXPECT_EQ(after.top, desk.top + 100);
}

// ---------------------------------------------------------------------------
// MakeGrayIcon

TEST(WindowHelpersIcons, ColourIconBecomesGreyWithItsMask)
{
    const int size = 16;
    // Pixels as 0xAARRGGBB and the grey each must become: the weighted sum
    // 0.299 R + 0.587 G + 0.114 B, truncated.
    const struct {
        uint32_t colour;
        BYTE grey;
    } samples[] = {
        {0x00FF0000, 76},   // red: 76.245
        {0x0000FF00, 149},  // green: 149.685 (rounding would give 150)
        {0x000000FF, 29},   // blue: 29.07
        {0x000AC81E, 123},  // (10, 200, 30): 123.81
        {0x00FFFFFF, 255},  // greys stay as they are
        {0x00C3C3C3, 195},
        {0x00000000, 0},
    };
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = size;
    header.bmiHeader.biHeight = -size;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(colour && bits);
    uint32_t *pixels = static_cast<uint32_t *>(bits);
    for (int i = 0; i < size * size; ++i)
        pixels[i] = 0x00FF8000;  // orange
    for (size_t i = 0; i < sizeof samples / sizeof samples[0]; ++i)
        pixels[i] = samples[i].colour;
    std::vector<BYTE> maskBits(size * size / 8, 0);
    maskBits[size / 8 * 3] = 0xF0;  // some transparent pixels in row 3
    HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    ASSERT_TRUE(icon);

    HICON grey = MakeGrayIcon(icon);
    ASSERT_TRUE(grey);
    EXPECT_NE(grey, icon);
    int width = 0;
    const std::vector<uint32_t> result = IconPixels(grey, &width);
    ASSERT_EQ(result.size(), static_cast<size_t>(size * size));
    ASSERT_EQ(width, size);
    for (size_t i = 0; i < sizeof samples / sizeof samples[0]; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Red(result[i]), samples[i].grey);
        EXPECT_EQ(Green(result[i]), samples[i].grey);
        EXPECT_EQ(Blue(result[i]), samples[i].grey);
    }
    for (size_t i = 0; i < result.size(); ++i)
        ASSERT_TRUE(Red(result[i]) == Green(result[i]) && Green(result[i]) == Blue(result[i])) << "pixel " << i;
    EXPECT_EQ(MaskBits(grey), MaskBits(icon));

    DestroyIcon(grey);
    DestroyIcon(icon);
}

TEST(WindowHelpersIcons, MonochromeIconIsCopied)
{
    std::vector<BYTE> andBits(32 * 32 / 8), xorBits(32 * 32 / 8);
    for (size_t i = 0; i < andBits.size(); ++i) {
        andBits[i] = static_cast<BYTE>(i % 3 ? 0xF0 : 0x00);
        xorBits[i] = static_cast<BYTE>(i % 5 ? 0x0F : 0xAA);
    }
    HICON icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andBits.data(), xorBits.data());
    ASSERT_TRUE(icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    const bool monochrome = info.hbmColor == nullptr;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    ASSERT_TRUE(monochrome);

    HICON grey = MakeGrayIcon(icon);
    ASSERT_TRUE(grey);
    EXPECT_NE(grey, icon);
    EXPECT_TRUE(IconPixels(grey).empty());  // still monochrome
    EXPECT_FALSE(MaskBits(grey).empty());
    EXPECT_EQ(MaskBits(grey), MaskBits(icon));
    DestroyIcon(grey);
    DestroyIcon(icon);
}

TEST(WindowHelpersIcons, NoIconGivesNone) { EXPECT_EQ(MakeGrayIcon(nullptr), nullptr); }

// ---------------------------------------------------------------------------
// IsKeyDown

TEST(WindowHelpersKeys, KeyDownReadsTheThreadsKeyState)
{
    BYTE saved[256], state[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    memcpy(state, saved, sizeof state);
    const struct {
        BYTE state;
        BOOL down;
    } cases[] = {{0x80, TRUE}, {0x81, TRUE}, {0x01, FALSE}, {0x00, FALSE}};  // 0x01: toggled, not down
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        state[VK_F13] = c.state;
        ASSERT_TRUE(SetKeyboardState(state));
        EXPECT_EQ(IsKeyDown(VK_F13), c.down);
    }
    SetKeyboardState(saved);
}

// ---------------------------------------------------------------------------
// Menus

namespace {
class Menu {
public:
    Menu() : m_menu(CreatePopupMenu()) {}
    ~Menu() { DestroyMenu(m_menu); }
    Menu(const Menu &) = delete;
    Menu &operator=(const Menu &) = delete;
    HMENU Get() const { return m_menu; }

private:
    HMENU m_menu;
};

struct ItemSnapshot {
    UINT type, state, id;
    HMENU submenu;
    ULONG_PTR data;
    std::string text;
    bool operator==(const ItemSnapshot &o) const
    {
        return type == o.type && state == o.state && id == o.id && submenu == o.submenu && data == o.data &&
               text == o.text;
    }
};

// Everything about an item but its column break.
ItemSnapshot Snapshot(HMENU menu, int pos)
{
    char text[256] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &info);
    return {info.fType & ~static_cast<UINT>(MFT_MENUBARBREAK), info.fState, info.wID, info.hSubMenu,
            info.dwItemData, text};
}

std::vector<int> ColumnBreaks(HMENU menu)
{
    std::vector<int> breaks;
    for (int pos = 0; pos < GetMenuItemCount(menu); ++pos) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &info);
        if (info.fType & MFT_MENUBARBREAK)
            breaks.push_back(pos);
    }
    return breaks;
}

void AddTextItems(HMENU menu, int count)
{
    for (int i = 0; i < count; ++i)
        AppendMenuA(menu, MF_STRING, 1000 + i, ("Item " + std::to_string(i)).c_str());
}
}  // namespace

TEST(WindowHelpersMenus, FindsItemByTextWithoutMnemonicsOrCase)
{
    Menu menu;
    AppendMenuA(menu.Get(), MF_STRING, 1, "&Open");
    AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu.Get(), MF_STRING, 2, "Save &As...");
    AppendMenuA(menu.Get(), MF_STRING, 3, "Tom && &Jerry");
    AppendMenuA(menu.Get(), MF_STRING, 4, "E&xit");
    AppendMenuA(menu.Get(), MF_STRING, 5, "Exit");
    HMENU sub = CreatePopupMenu();
    AppendMenuA(menu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Recent files");
    const std::string longText(1024, 'L');
    AppendMenuA(menu.Get(), MF_STRING, 6, longText.c_str());

    const struct {
        const char *text;
        int pos;
    } cases[] = {
        {"&Open", 0},
        {"open", 0},
        {"O&PEN", 0},            // '&' before another letter
        {"save as...", 2},
        {"&Save As...", 2},
        {"Tom && Jerry", 3},
        {"tom && jer&ry", 3},
        {"Tom & Jerry", -1},     // a single '&' is no "&&"
        {"Tom Jerry", -1},
        {"Tom &&&Jerry", -1},    // the spaces differ
        {"exit", 4},             // first match wins
        {"recent files", 6},     // submenu items count too
        {"Open file", -1},
        {"Ope", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FindMenuItemPos(menu.Get(), c.text), c.pos);
    }
    EXPECT_EQ(FindMenuItemPos(menu.Get(), longText.c_str()), 7);
    EXPECT_EQ(FindMenuItemPos(menu.Get(), (longText + "L").c_str()), -1);
}

TEST(WindowHelpersMenus, MenuThatFitsTheScreenIsLeftAlone)
{
    Menu menu;
    AddTextItems(menu.Get(), 10);
    SplitMenuIntoColumns(menu.Get());
    EXPECT_TRUE(ColumnBreaks(menu.Get()).empty());

    Menu empty;
    SplitMenuIntoColumns(empty.Get());
    EXPECT_EQ(GetMenuItemCount(empty.Get()), 0);
}

TEST(WindowHelpersMenus, TallMenuIsSplitIntoColumnsKeepingItsItems)
{
    const int count = 250;  // at least 20 pixels an item: taller than any test screen
    // Learn where the breaks go with plain items...
    Menu probe;
    AddTextItems(probe.Get(), count);
    SplitMenuIntoColumns(probe.Get());
    const std::vector<int> breaks = ColumnBreaks(probe.Get());
    ASSERT_GE(breaks.size(), 3u);

    // ...columns: the first holds `rows` items, the middle ones one more, the
    // last one no more than fits (rows).
    const int rows = breaks[0];
    const int available = GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU) - GetSystemMetrics(SM_CYCAPTION);
    EXPECT_GT(rows, 0);
    EXPECT_LE(rows * 20, available);
    for (size_t i = 1; i < breaks.size(); ++i)
        EXPECT_EQ(breaks[i] - breaks[i - 1], rows + 1) << "column " << i;
    EXPECT_LE(count - breaks.back(), rows);

    // ...then put a submenu, an owner-drawn item, a checked and greyed text
    // item and a separator at those positions: each keeps what it is.
    Menu menu;
    std::vector<HMENU> subs;
    for (int pos = 0; pos < count; ++pos) {
        const size_t kind = std::find(breaks.begin(), breaks.end(), pos) - breaks.begin();
        if (kind == 0) {
            subs.push_back(CreatePopupMenu());
            AppendMenuA(subs.back(), MF_STRING, 1, "inside");
            AppendMenuA(menu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(subs.back()), "Sub&menu");
        } else if (kind == 1) {
            AppendMenuA(menu.Get(), MF_OWNERDRAW, 700, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(0xC0FFEE)));
        } else if (kind == 2) {
            AppendMenuA(menu.Get(), MF_STRING | MF_CHECKED | MF_GRAYED, 701, "&Checked");
        } else if (kind == 3) {
            AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menu.Get(), MF_STRING, 1000 + pos, ("Item " + std::to_string(pos)).c_str());
        }
    }
    std::vector<ItemSnapshot> before;
    for (int pos = 0; pos < count; ++pos)
        before.push_back(Snapshot(menu.Get(), pos));
    SplitMenuIntoColumns(menu.Get());
    EXPECT_EQ(ColumnBreaks(menu.Get()), breaks);
    ASSERT_EQ(GetMenuItemCount(menu.Get()), count);
    for (int pos = 0; pos < count; ++pos)
        EXPECT_TRUE(Snapshot(menu.Get(), pos) == before[pos]) << "item " << pos;
    for (HMENU sub : subs)
        EXPECT_TRUE(IsMenu(sub));
}

// ---------------------------------------------------------------------------
// GetWindowClassName

TEST(WindowHelpersClassName, NamesOwnBuiltInAndMissingWindows)
{
    EXPECT_EQ(GetWindowClassName(nullptr), "");

    TestWindow frame(WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 100);
    ASSERT_TRUE(frame.Get());
    EXPECT_EQ(GetWindowClassName(frame.Get()), kClassName);
    TestWindow button(WS_CHILD, 0, 0, 0, 50, 20, "Button", frame.Get());
    ASSERT_TRUE(button.Get());
    EXPECT_EQ(GetWindowClassName(button.Get()), "Button");

    HWND gone = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    ASSERT_TRUE(gone);
    DestroyWindow(gone);
    EXPECT_EQ(GetWindowClassName(gone), "");
}

TEST(WindowHelpersClassName, LongNameIsCutToTheBuffer)
{
    const std::string longName = "LexantoLongClass" + std::string(100, 'x');
    RegisterTestClass(longName.c_str());
    TestWindow window(WS_POPUP, 0, 0, 0, 10, 10, longName.c_str());
    ASSERT_TRUE(window.Get());
    EXPECT_EQ(GetWindowClassName(window.Get()), longName.substr(0, 63).c_str());
}
