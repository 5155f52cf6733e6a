#include "KeyFlags.h"

namespace {
struct FlagPair {
    uint16_t control;
    uint16_t program;
};

constexpr FlagPair kFlagPairs[] = {
    {HKCTRL_SHIFT, KEYMOD_SHIFT},
    {HKCTRL_CONTROL, KEYMOD_CTRL},
    {HKCTRL_ALT, KEYMOD_ALT},
    {HKCTRL_EXT, KEYMOD_EXT},
};

uint16_t WithFlags(uint16_t value, unsigned flags) { return static_cast<uint16_t>((value & 0xFF) | (flags << 8)); }
}  // namespace

uint16_t HotKeyCtrlToModifiers(uint16_t value)
{
    const unsigned from = value >> 8;
    unsigned to = 0;
    for (const FlagPair &pair : kFlagPairs)
        if (from & pair.control)
            to |= pair.program;
    return WithFlags(value, to);
}

uint16_t ModifiersToHotKeyCtrl(uint16_t value)
{
    const unsigned from = value >> 8;
    unsigned to = 0;
    for (const FlagPair &pair : kFlagPairs)
        if (from & pair.program)
            to |= pair.control;
    return WithFlags(value, to);
}
