#include "browser/key_names.h"

#include <array>

namespace cef_detail {
namespace {

struct Named {
    int vk;
    const char* key;
    const char* shifted;  // key with Shift held; nullptr when Shift changes nothing
    const char* code;
};

// Windows virtual-key numbers of the keys that have names of their own; the punctuation keys
// (VK_OEM_*) as laid out on a US keyboard.
constexpr std::array<Named, 56> kNamed{{
    {0x08, "Backspace", nullptr, "Backspace"},
    {0x09, "Tab", nullptr, "Tab"},
    {0x0D, "Enter", nullptr, "Enter"},
    {0x10, "Shift", nullptr, "ShiftLeft"},
    {0x11, "Control", nullptr, "ControlLeft"},
    {0x12, "Alt", nullptr, "AltLeft"},
    {0x13, "Pause", nullptr, "Pause"},
    {0x14, "CapsLock", nullptr, "CapsLock"},
    {0x1B, "Escape", nullptr, "Escape"},
    {0x20, " ", nullptr, "Space"},
    {0x21, "PageUp", nullptr, "PageUp"},
    {0x22, "PageDown", nullptr, "PageDown"},
    {0x23, "End", nullptr, "End"},
    {0x24, "Home", nullptr, "Home"},
    {0x25, "ArrowLeft", nullptr, "ArrowLeft"},
    {0x26, "ArrowUp", nullptr, "ArrowUp"},
    {0x27, "ArrowRight", nullptr, "ArrowRight"},
    {0x28, "ArrowDown", nullptr, "ArrowDown"},
    {0x2C, "PrintScreen", nullptr, "PrintScreen"},
    {0x2D, "Insert", nullptr, "Insert"},
    {0x2E, "Delete", nullptr, "Delete"},
    {0x2F, "Help", nullptr, "Help"},
    {0x5B, "Meta", nullptr, "MetaLeft"},
    {0x5C, "Meta", nullptr, "MetaRight"},
    {0x5D, "ContextMenu", nullptr, "ContextMenu"},
    {0x6A, "*", nullptr, "NumpadMultiply"},
    {0x6B, "+", nullptr, "NumpadAdd"},
    {0x6D, "-", nullptr, "NumpadSubtract"},
    {0x6E, ".", nullptr, "NumpadDecimal"},
    {0x6F, "/", nullptr, "NumpadDivide"},
    {0x90, "NumLock", nullptr, "NumLock"},
    {0x91, "ScrollLock", nullptr, "ScrollLock"},
    {0xA0, "Shift", nullptr, "ShiftLeft"},
    {0xA1, "Shift", nullptr, "ShiftRight"},
    {0xA2, "Control", nullptr, "ControlLeft"},
    {0xA3, "Control", nullptr, "ControlRight"},
    {0xA4, "Alt", nullptr, "AltLeft"},
    {0xA5, "Alt", nullptr, "AltRight"},
    {0xAD, "AudioVolumeMute", nullptr, "AudioVolumeMute"},
    {0xAE, "AudioVolumeDown", nullptr, "AudioVolumeDown"},
    {0xAF, "AudioVolumeUp", nullptr, "AudioVolumeUp"},
    {0xB0, "MediaTrackNext", nullptr, "MediaTrackNext"},
    {0xB1, "MediaTrackPrevious", nullptr, "MediaTrackPrevious"},
    {0xB2, "MediaStop", nullptr, "MediaStop"},
    {0xB3, "MediaPlayPause", nullptr, "MediaPlayPause"},
    {0xBA, ";", ":", "Semicolon"},
    {0xBB, "=", "+", "Equal"},
    {0xBC, ",", "<", "Comma"},
    {0xBD, "-", "_", "Minus"},
    {0xBE, ".", ">", "Period"},
    {0xBF, "/", "?", "Slash"},
    {0xC0, "`", "~", "Backquote"},
    {0xDB, "[", "{", "BracketLeft"},
    {0xDC, "\\", "|", "Backslash"},
    {0xDD, "]", "}", "BracketRight"},
    {0xDE, "'", "\"", "Quote"},
}};

// The digit row with Shift held, from 0 to 9.
constexpr std::array<char, 10> kShiftedDigits{')', '!', '@', '#', '$', '%', '^', '&', '*', '('};

// A prefix and one character; written out so the optimiser sees no overlapping copy.
std::string Suffixed(const char* prefix, char last) {
    std::string text(prefix);
    text.push_back(last);
    return text;
}

}  // namespace

KeyNames KeyNamesFor(int vk, bool shift) {
    if (vk >= 'A' && vk <= 'Z') {
        const char lower = char(vk - 'A' + 'a');
        return {std::string(1, shift ? char(vk) : lower), Suffixed("Key", char(vk))};
    }
    if (vk >= '0' && vk <= '9') {
        const char key = shift ? kShiftedDigits[vk - '0'] : char(vk);
        return {std::string(1, key), Suffixed("Digit", char(vk))};
    }
    if (vk >= 0x60 && vk <= 0x69) {  // numeric keypad digits
        const char digit = char('0' + vk - 0x60);
        return {std::string(1, digit), Suffixed("Numpad", digit)};
    }
    if (vk >= 0x70 && vk <= 0x87) {  // F1 to F24
        std::string name = "F";
        name.append(std::to_string(vk - 0x70 + 1));
        return {name, name};
    }
    for (const Named& named : kNamed) {
        if (named.vk == vk) return {shift && named.shifted ? named.shifted : named.key, named.code};
    }
    return {};
}

}  // namespace cef_detail
