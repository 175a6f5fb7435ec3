#include "game/hotkey_value.h"

namespace korvex {

unsigned HotkeyFlagsToModifiers(unsigned flags) {
    unsigned modifiers = 0;
    if (flags & kHotkeyFlagShift) modifiers |= kModifierShift;
    if (flags & kHotkeyFlagControl) modifiers |= kModifierControl;
    if (flags & kHotkeyFlagAlt) modifiers |= kModifierAlt;
    return modifiers;
}

}  // namespace korvex
