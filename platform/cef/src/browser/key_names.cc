#include "browser/key_names.h"

#include <array>

namespace cef_detail {
namespace {

struct Named {
    int vk;
    const char* key;
    const char* code;
};

// Windows virtual-key numbers of the keys that have names of their own.
constexpr std::array<Named, 31> kNamed{{
    {0x08, "Backspace", "Backspace"},
    {0x09, "Tab", "Tab"},
    {0x0D, "Enter", "Enter"},
    {0x10, "Shift", "ShiftLeft"},
    {0x11, "Control", "ControlLeft"},
    {0x12, "Alt", "AltLeft"},
    {0x13, "Pause", "Pause"},
    {0x14, "CapsLock", "CapsLock"},
    {0x1B, "Escape", "Escape"},
    {0x20, " ", "Space"},
    {0x21, "PageUp", "PageUp"},
    {0x22, "PageDown", "PageDown"},
    {0x23, "End", "End"},
    {0x24, "Home", "Home"},
    {0x25, "ArrowLeft", "ArrowLeft"},
    {0x26, "ArrowUp", "ArrowUp"},
    {0x27, "ArrowRight", "ArrowRight"},
    {0x28, "ArrowDown", "ArrowDown"},
    {0x2D, "Insert", "Insert"},
    {0x2E, "Delete", "Delete"},
    {0x5B, "Meta", "MetaLeft"},
    {0x5D, "ContextMenu", "ContextMenu"},
    {0x6A, "*", "NumpadMultiply"},
    {0x6B, "+", "NumpadAdd"},
    {0x6D, "-", "NumpadSubtract"},
    {0x6E, ".", "NumpadDecimal"},
    {0x6F, "/", "NumpadDivide"},
    {0x90, "NumLock", "NumLock"},
    {0x91, "ScrollLock", "ScrollLock"},
    {0xBA, ";", "Semicolon"},
    {0xBD, "-", "Minus"},
}};

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
    if (vk >= '0' && vk <= '9') return {std::string(1, char(vk)), Suffixed("Digit", char(vk))};
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
        if (named.vk == vk) return {named.key, named.code};
    }
    return {};
}

}  // namespace cef_detail
