// The boss key's stored value and its conversion for global hotkey registration. Win32-free:
// the constants carry the values of the system's HOTKEYF_* flags and MOD_* modifiers (the
// Windows code checks that they agree).
//
// A stored value packs a key the way the hotkey control reports it: the virtual-key code in
// bits 0 to 7, the control's modifier flags in bits 8 to 15, bits 16 to 31 zero. 0 means that
// no key is set.
#pragma once

#include <cstdint>

namespace korvex {

// The hotkey control's modifier flags (HOTKEYF_*).
inline constexpr unsigned kHotkeyFlagShift = 0x01;    // HOTKEYF_SHIFT
inline constexpr unsigned kHotkeyFlagControl = 0x02;  // HOTKEYF_CONTROL
inline constexpr unsigned kHotkeyFlagAlt = 0x04;      // HOTKEYF_ALT
inline constexpr unsigned kHotkeyFlagExt = 0x08;      // HOTKEYF_EXT: a key of the extended block

// The modifiers of global hotkey registration (MOD_*).
inline constexpr unsigned kModifierAlt = 0x0001;       // MOD_ALT
inline constexpr unsigned kModifierControl = 0x0002;   // MOD_CONTROL
inline constexpr unsigned kModifierShift = 0x0004;     // MOD_SHIFT
inline constexpr unsigned kModifierWin = 0x0008;       // MOD_WIN
inline constexpr unsigned kModifierNoRepeat = 0x4000;  // MOD_NOREPEAT

// The registration modifiers for the hotkey control's flags: Shift, Control and Alt map to
// their modifiers; HOTKEYF_EXT and every other bit are ignored. The Windows key and the
// no-repeat modifier are never set, so a held key repeats.
unsigned HotkeyFlagsToModifiers(unsigned flags);

// The virtual-key code of a stored value (bits 0 to 7).
constexpr std::uint8_t HotkeyVirtualKey(std::uint32_t value) {
    return static_cast<std::uint8_t>(value & 0xFFu);
}

// The hotkey control's flags of a stored value (bits 8 to 15).
constexpr std::uint8_t HotkeyFlags(std::uint32_t value) {
    return static_cast<std::uint8_t>((value >> 8) & 0xFFu);
}

// The stored value for a virtual key and the control's flags.
constexpr std::uint32_t PackHotkey(std::uint8_t virtualKey, std::uint8_t flags) {
    return static_cast<std::uint32_t>(virtualKey) | (static_cast<std::uint32_t>(flags) << 8);
}

// The word the hotkey control is set with (HKM_SETHOTKEY): the virtual key in the low byte and
// the flags in the high byte. Bits 16 to 31 of the value play no part.
constexpr std::uint16_t HotkeyControlWord(std::uint32_t value) {
    return static_cast<std::uint16_t>(PackHotkey(HotkeyVirtualKey(value), HotkeyFlags(value)));
}

}  // namespace korvex
