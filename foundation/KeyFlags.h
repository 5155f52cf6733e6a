// Conversion between the two forms of a hot key: the program's own (kept in
// the settings and the hot-key table) and the hot-key control's. Both keep the
// virtual key in bits 0-7 and modifier flags in bits 8-15; only the flags
// differ.
#pragma once

#include <cstdint>

// Modifier flags of the program's form.
enum KeyModifierFlag : uint16_t {
    KEYMOD_ALT = 0x01,
    KEYMOD_CTRL = 0x02,
    KEYMOD_SHIFT = 0x04,
    KEYMOD_WIN = 0x08,  // no counterpart in the hot-key control
    KEYMOD_EXT = 0x10,  // extended key
};

// Modifier flags of the hot-key control (the values of its HOTKEYF_ flags,
// named apart so that this builds without the Windows headers).
enum HotKeyCtrlFlag : uint16_t {
    HKCTRL_SHIFT = 0x01,
    HKCTRL_CONTROL = 0x02,
    HKCTRL_ALT = 0x04,
    HKCTRL_EXT = 0x08,
};

// Control form (HKM_GETHOTKEY) to the program's form.
uint16_t HotKeyCtrlToModifiers(uint16_t value);
// Program's form to the control form (HKM_SETHOTKEY); the Win flag is dropped.
uint16_t ModifiersToHotKeyCtrl(uint16_t value);
