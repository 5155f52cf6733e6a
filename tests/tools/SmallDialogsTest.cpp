// The wait window and the small tool dialogs, shown for real on the desktop.
// Each test saves a screenshot of its window into the build tree
// (build/<name>/screenshots) and checks that the picture is not blank.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "BusyFeedback.h"
#include "DialogDriver.h"
#include "Folders.h"
#include "MessageBoxCatcher.h"
#include "ProgramPath.h"
#include "Screenshot.h"
#include "TempDir.h"
#include "TextToolDialogs.h"
#include "TipsDialog.h"
#include "TopMsgDlg.h"
#include "UStatic.h"
#include "WaitFeedback.h"
#include "WaitMsgDlg.h"
#include "WinApp.h"
#include "resource.h"

namespace {

int WindowWidth(HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    return r.right - r.left;
}

int WindowHeight(HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    return r.bottom - r.top;
}

bool IsTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

class HelpCountingApp : public CWinApp {
public:
    void OnHelp() override { ++helps; }
    int helps = 0;
};
}

TEST(WaitWindow, ShowsTheTemplateTextFirstThenFollowsTheTextWidthAtAFixedHeight)
{
    const CString product = g_strProductName;
    g_strProductName = "Typist";
    CWaitMsgDlg wait;
    wait.m_strCompanyName = "Acme";

    wait.ShowWaitMessage("");
    ASSERT_TRUE(wait.IsWindow());
    HWND w = wait.m_hWnd;
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_TRUE(IsTopmost(w));
    EXPECT_EQ("Waiting message to be displayed here.", ItemText(w, IDC_WAITMSG_TEXT));
    EXPECT_EQ("Typist", CWnd::FromHandlePermanent(w)->GetWindowText().Str());
    const int height = WindowHeight(w);
    const int templateWidth = WindowWidth(w);

    wait.ShowWaitMessage("Sorting the lines of a rather long selection, please wait...");
    EXPECT_EQ("Sorting the lines of a rather long selection, please wait...", ItemText(w, IDC_WAITMSG_TEXT));
    const int longWidth = WindowWidth(w);
    EXPECT_GT(longWidth, templateWidth);
    EXPECT_GT(SaveScreenshot(w, "wait_message"), 4u);

    wait.ShowWaitMessage("Packing...");
    EXPECT_LT(WindowWidth(w), templateWidth);
    EXPECT_EQ(height, WindowHeight(w));

    // Centred on the desktop.
    RECT r, desk;
    GetWindowRect(w, &r);
    GetWindowRect(GetDesktopWindow(), &desk);
    EXPECT_LE(std::abs((r.left + r.right) - (desk.left + desk.right)), 2);

    wait.HideWaitMessage();
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_TRUE(IsWindow(w));
    wait.ShowWaitMessage(nullptr);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ("Packing...", ItemText(w, IDC_WAITMSG_TEXT));
    EXPECT_EQ(w, wait.m_hWnd);  // one window, reused
    g_strProductName = product;
}

TEST(WaitWindow, BusyFeedbackOfPortableCodeDrivesTheGlobalWaitWindow)
{
    InstallWaitFeedback();
    SetWaitMessage("Reducing the user library...");
    ASSERT_TRUE(g_dlgWaitMsg.IsWindow());
    EXPECT_TRUE(IsWindowVisible(g_dlgWaitMsg.m_hWnd));
    EXPECT_EQ("Reducing the user library...", ItemText(g_dlgWaitMsg.m_hWnd, IDC_WAITMSG_TEXT));

    HelpCountingApp app;
    ShowWaitCursor(TRUE);
    EXPECT_EQ(1, app.m_nWaitCursorCount);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_WAIT), GetCursor());
    ShowWaitCursor(FALSE);
    EXPECT_EQ(0, app.m_nWaitCursorCount);
    EXPECT_FALSE(IsWindowVisible(g_dlgWaitMsg.m_hWnd));

    SetWaitMessage("Again");
    EXPECT_TRUE(IsWindowVisible(g_dlgWaitMsg.m_hWnd));
    SetWaitMessage("");
    EXPECT_FALSE(IsWindowVisible(g_dlgWaitMsg.m_hWnd));
    SetBusyFeedbackHandler(nullptr);
}

TEST(TimedMessage, ClosesItselfWithResultZeroOrWithOk)
{
    CTopMsgDlg dialog;
    dialog.m_strMessage = "The library was saved.";
    dialog.m_nSeconds = 1;
    bool topmost = false;
    std::string text;
    size_t colours = 0;
    const auto start = std::chrono::steady_clock::now();
    const INT_PTR result = RunModal(dialog, [&](HWND w) {
        topmost = IsTopmost(w);
        text = ItemText(w, IDC_TOPMSG_TEXT);
        colours = SaveScreenshot(w, "timed_message");
    });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(0, result);  // the timer, not the guard (-2)
    EXPECT_GE(seconds, 0.9);
    EXPECT_TRUE(topmost);
    EXPECT_EQ("The library was saved.", text);
    EXPECT_GT(colours, 4u);

    // 0 seconds: the first tick closes it, and the opener returns.
    const auto zeroStart = std::chrono::steady_clock::now();
    ShowTimedMessage("Done.", 0);
    EXPECT_LT(std::chrono::steady_clock::now() - zeroStart, std::chrono::seconds(5));

    CTopMsgDlg ok;
    ok.m_nSeconds = 60;
    EXPECT_EQ(IDOK, RunModal(ok, [](HWND w) { Click(w, IDOK); }));
}

TEST(SortLinesDialog, StartsWithNoOrderChosenAndReturnsTheChoices)
{
    CSortLineDlg dialog;
    dialog.m_bCaseInsensitive = 0;
    dialog.m_bIgnoreBlanks = 0;
    bool noneChecked = false;
    size_t colours = 0;
    const INT_PTR result = RunModal(dialog, [&](HWND w) {
        noneChecked = IsDlgButtonChecked(w, IDC_SORT_ASCENDING) == BST_UNCHECKED &&
                      IsDlgButtonChecked(w, IDC_SORT_DESCENDING) == BST_UNCHECKED;
        SendDlgItemMessageA(w, IDC_SORT_DESCENDING, BM_CLICK, 0, 0);
        SendDlgItemMessageA(w, IDC_SORT_NOCASE, BM_CLICK, 0, 0);
        colours = SaveScreenshot(w, "sort_lines");
        Click(w, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(noneChecked);
    EXPECT_EQ(1, dialog.m_nOrder);
    EXPECT_EQ(1, dialog.m_bCaseInsensitive);
    EXPECT_EQ(0, dialog.m_bIgnoreBlanks);
    EXPECT_GT(colours, 4u);

    // Values set by the opener appear in the controls; Cancel keeps the members.
    CSortLineDlg again;
    again.m_nOrder = 0;
    again.m_bIgnoreBlanks = 1;
    bool shown = false;
    EXPECT_EQ(IDCANCEL, RunModal(again, [&](HWND w) {
                  shown = IsDlgButtonChecked(w, IDC_SORT_ASCENDING) == BST_CHECKED &&
                          IsDlgButtonChecked(w, IDC_SORT_TRIM) == BST_CHECKED;
                  SendDlgItemMessageA(w, IDC_SORT_DESCENDING, BM_CLICK, 0, 0);
                  Click(w, IDCANCEL);
              }));
    EXPECT_TRUE(shown);
    EXPECT_EQ(0, again.m_nOrder);
}

TEST(RepeatDialog, AcceptsCountsFromOneTo10000Only)
{
    struct Case {
        const char *count;
        bool accepted;
        int value;
    };
    const Case cases[] = {{"1", true, 1},          {"10000", true, 10000}, {" 25 ", true, 25},
                          {"0", false, 0},         {"10001", false, 0},    {"abc", false, 0},
                          {"12x", false, 0},       {"", false, 0},         {"99999999999", false, 0}};
    bool screenshotTaken = false;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.count);
        CRepeatDlg dialog;
        dialog.m_nRepeat = 1;
        MessageBoxCatcher boxes;
        bool stayedOpen = false, focusOnCount = false;
        std::string countShown;
        const INT_PTR result = RunModal(dialog, [&](HWND w) {
            countShown = ItemText(w, IDC_REPEAT_COUNT);
            SetDlgItemTextA(w, IDC_REPEAT_STRING, "Hello, ");
            SetDlgItemTextA(w, IDC_REPEAT_COUNT, c.count);
            if (!screenshotTaken) {
                screenshotTaken = SaveScreenshot(w, "repeat_string") > 4;
            }
            Click(w, IDOK);
            stayedOpen = IsWindow(w) && IsWindowVisible(w);
            focusOnCount = GetFocus() == GetDlgItem(w, IDC_REPEAT_COUNT);
            if (stayedOpen)
                Click(w, IDCANCEL);
        });
        EXPECT_EQ("1", countShown);
        if (c.accepted) {
            EXPECT_EQ(IDOK, result);
            EXPECT_EQ(c.value, dialog.m_nRepeat);
            EXPECT_EQ("Hello, ", dialog.m_strString.Str());
            EXPECT_TRUE(boxes.Boxes().empty());
        } else {
            EXPECT_EQ(IDCANCEL, result);
            EXPECT_TRUE(stayedOpen);
            EXPECT_TRUE(focusOnCount);
            ASSERT_EQ(1u, boxes.Boxes().size());
            EXPECT_EQ("Enter an integer between 1 and 10000.", boxes.Boxes()[0].text);
            EXPECT_EQ(1, dialog.m_nRepeat);
        }
    }
    EXPECT_TRUE(screenshotTaken);
}

TEST(AddHeaderDialog, ReturnsTheHeaderAsTypedAndHelpGoesToTheApplication)
{
    HelpCountingApp app;
    CAddHeaderDlg dialog;
    dialog.m_strHeader = "> ";
    std::string shown;
    bool topmost = false;
    size_t colours = 0;
    const INT_PTR result = RunModal(dialog, [&](HWND w) {
        shown = ItemText(w, IDC_LINE_HEADER);
        topmost = IsTopmost(w);
        Click(w, ID_HELP);
        SetDlgItemTextA(w, IDC_LINE_HEADER, "  // ");
        colours = SaveScreenshot(w, "line_header");
        Click(w, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("> ", shown);
    EXPECT_TRUE(topmost);
    EXPECT_EQ(1, app.helps);
    EXPECT_EQ("  // ", dialog.m_strHeader.Str());
    EXPECT_GT(colours, 4u);
}

TEST(TipsDialog, WalksTheTipsWithEscapeShowingTheNextAndStoresTheCheckBox)
{
    TempDir dir;
    const std::string tips =
        dir.Write("tips.txt", "[tip]\nFirst tip.\n[tip]\nSecond tip,\nover two lines.\n[tip]\nThird tip.\n");
    int tipNum = -1;
    CTipsDialog dialog(tipNum, tips.c_str());
    dialog.m_bShowTips = 1;
    std::vector<std::pair<int, std::string>> seen;
    bool checkShown = false;
    LOGFONTA heading, text;
    std::memset(&heading, 0, sizeof heading);
    std::memset(&text, 0, sizeof text);
    size_t colours = 0;
    const INT_PTR result = RunModal(dialog, [&](HWND w) {
        auto note = [&] { seen.emplace_back(tipNum, ItemText(w, IDC_TIP_TEXT)); };
        note();  // tip 0
        checkShown = IsDlgButtonChecked(w, IDC_SHOW_TIPS) == BST_CHECKED;
        GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(w, IDC_TIP_HEADING, WM_GETFONT, 0, 0)), sizeof heading,
                   &heading);
        GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(w, IDC_TIP_TEXT, WM_GETFONT, 0, 0)), sizeof text, &text);
        SendMessageA(w, WM_COMMAND, IDCANCEL, 0);  // what Escape sends
        note();                                     // 1
        colours = SaveScreenshot(w, "tip_of_the_day");
        Click(w, IDC_TIP_LAST);
        note();  // 2
        SendMessageA(w, WM_COMMAND, IDCANCEL, 0);
        note();  // still 2
        Click(w, IDC_TIP_PREVIOUS);
        note();  // 1
        Click(w, IDC_TIP_FIRST);
        Click(w, IDC_TIP_PREVIOUS);
        note();  // still 0
        SendDlgItemMessageA(w, IDC_SHOW_TIPS, BM_CLICK, 0, 0);
        Click(w, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(checkShown);
    const std::vector<std::pair<int, std::string>> expected = {
        {0, "First tip."}, {1, "Second tip,\r\nover two lines."}, {2, "Third tip."},
        {2, "Third tip."}, {1, "Second tip,\r\nover two lines."}, {0, "First tip."}};
    EXPECT_EQ(expected, seen);
    EXPECT_EQ(0, tipNum);
    EXPECT_EQ(0, dialog.m_bShowTips);
    EXPECT_STREQ("Courier New", heading.lfFaceName);
    EXPECT_EQ(18, heading.lfHeight);
    EXPECT_EQ(FW_BOLD, heading.lfWeight);
    EXPECT_STREQ("Courier New", text.lfFaceName);
    EXPECT_EQ(15, text.lfHeight);
    EXPECT_GT(colours, 4u);

    // Shown again, it goes on after the tip shown last.
    CTipsDialog next(tipNum, tips.c_str());
    std::string second;
    RunModal(next, [&](HWND w) {
        second = ItemText(w, IDC_TIP_TEXT);
        Click(w, IDOK);
    });
    EXPECT_EQ("Second tip,\r\nover two lines.", second);
    EXPECT_EQ(1, tipNum);
}

TEST(TipsDialog, WithoutTipsTheNumberIsMinusOneAndNothingChanges)
{
    TempDir dir;
    const std::string tips = dir.Write("tips.txt", "");
    int tipNum = 3;
    CTipsDialog dialog(tipNum, tips.c_str());
    std::vector<int> numbers;
    std::string text = "unset";
    RunModal(dialog, [&](HWND w) {
        numbers.push_back(tipNum);
        SendMessageA(w, WM_COMMAND, IDCANCEL, 0);
        numbers.push_back(tipNum);
        Click(w, IDC_TIP_LAST);
        numbers.push_back(tipNum);
        text = ItemText(w, IDC_TIP_TEXT);
        Click(w, IDOK);
    });
    EXPECT_EQ((std::vector<int>{-1, -1, -1}), numbers);
    EXPECT_EQ("", text);
}

TEST(HandStatic, ShowsTheHandCursorOverTheControl)
{
    CAddHeaderDlg dialog;
    HCURSOR during = nullptr;
    RunModal(dialog, [&](HWND w) {
        CUStatic label;
        ASSERT_TRUE(label.SubclassDlgItem(IDC_LINE_HEADER, CWnd::FromHandlePermanent(w)));
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        SendMessageA(label.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        during = GetCursor();
        Click(w, IDCANCEL);
    });
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    ASSERT_NE(nullptr, hand);
    EXPECT_EQ(hand, during);
}

TEST(SplashDialog, HasNoTemplateSoItCannotRun)
{
    CSplashDlg splash;
    EXPECT_EQ(-1, splash.DoModal());
    EXPECT_EQ(0, CDialog::ModalDepth());
}
