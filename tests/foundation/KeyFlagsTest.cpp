#include "KeyFlags.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
// The local names must carry the hot-key control's real values.
static_assert(HKCTRL_SHIFT == HOTKEYF_SHIFT && HKCTRL_CONTROL == HOTKEYF_CONTROL && HKCTRL_ALT == HOTKEYF_ALT &&
                  HKCTRL_EXT == HOTKEYF_EXT,
              "hot-key control flags");
#endif

namespace {
// Both forms as numbers: control flags Shift 1, Ctrl 2, Alt 4, extended 8;
// program flags Alt 1, Ctrl 2, Shift 4, Win 8, extended 0x10 (bits 8-15).
struct KeyForms {
    const char *name;
    uint16_t control;
    uint16_t program;
};

const KeyForms kCases[] = {
    {"plain F1", 0x0070, 0x0070},
    {"Ctrl+Shift+F5", 0x0374, 0x0674},
    {"Alt+A", 0x0441, 0x0141},
    {"Shift+Z", 0x015A, 0x045A},
    {"Ctrl+extended Right", 0x0A27, 0x1227},
    {"all four on 0xFF", 0x0FFF, 0x17FF},
};
}  // namespace

TEST(KeyFlags, ConvertsEachModifierBothWays)
{
    for (const KeyForms &c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HotKeyCtrlToModifiers(c.control), c.program);
        EXPECT_EQ(ModifiersToHotKeyCtrl(c.program), c.control);
    }
}

TEST(KeyFlags, WinFlagHasNoControlCounterpart)
{
    EXPECT_EQ(ModifiersToHotKeyCtrl(0x0857), 0x0057);  // Win+W
    EXPECT_EQ(ModifiersToHotKeyCtrl(0x0A57), 0x0257);  // Win+Ctrl+W
}
