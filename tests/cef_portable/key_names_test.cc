// Windows virtual keys to the "key" and "code" names of the page's keyboard events.
#include "browser/key_names.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct Case {
    int vk;
    bool shift;
    const char* key;
    const char* code;
};

constexpr Case kCases[] = {
    // Letters: lower case, upper case with Shift; the code names the key.
    {'A', false, "a", "KeyA"},
    {'A', true, "A", "KeyA"},
    {'M', false, "m", "KeyM"},
    {'Z', true, "Z", "KeyZ"},
    // Digit row, and its shifted characters.
    {'0', false, "0", "Digit0"},
    {'1', false, "1", "Digit1"},
    {'9', false, "9", "Digit9"},
    {'1', true, "!", "Digit1"},
    {'2', true, "@", "Digit2"},
    {'5', true, "%", "Digit5"},
    {'8', true, "*", "Digit8"},
    {'9', true, "(", "Digit9"},
    {'0', true, ")", "Digit0"},
    // Function keys F1 to F24.
    {0x70, false, "F1", "F1"},
    {0x79, false, "F10", "F10"},
    {0x7B, true, "F12", "F12"},
    {0x87, false, "F24", "F24"},
    // Arrows and editing keys; Shift changes nothing.
    {0x25, false, "ArrowLeft", "ArrowLeft"},
    {0x26, true, "ArrowUp", "ArrowUp"},
    {0x27, false, "ArrowRight", "ArrowRight"},
    {0x28, false, "ArrowDown", "ArrowDown"},
    {0x24, false, "Home", "Home"},
    {0x23, false, "End", "End"},
    {0x21, false, "PageUp", "PageUp"},
    {0x22, false, "PageDown", "PageDown"},
    {0x2D, false, "Insert", "Insert"},
    {0x2E, false, "Delete", "Delete"},
    {0x08, false, "Backspace", "Backspace"},
    {0x09, true, "Tab", "Tab"},
    {0x0D, false, "Enter", "Enter"},
    {0x1B, false, "Escape", "Escape"},
    {0x20, false, " ", "Space"},
    {0x20, true, " ", "Space"},
    // Modifiers, generic and sided.
    {0x10, false, "Shift", "ShiftLeft"},
    {0x11, false, "Control", "ControlLeft"},
    {0x12, false, "Alt", "AltLeft"},
    {0xA1, true, "Shift", "ShiftRight"},
    {0xA3, false, "Control", "ControlRight"},
    {0xA5, false, "Alt", "AltRight"},
    {0x5B, false, "Meta", "MetaLeft"},
    {0x5C, false, "Meta", "MetaRight"},
    {0x14, false, "CapsLock", "CapsLock"},
    // Numeric keypad; Shift changes nothing.
    {0x60, false, "0", "Numpad0"},
    {0x65, true, "5", "Numpad5"},
    {0x69, false, "9", "Numpad9"},
    {0x6A, false, "*", "NumpadMultiply"},
    {0x6B, false, "+", "NumpadAdd"},
    {0x6D, false, "-", "NumpadSubtract"},
    {0x6E, false, ".", "NumpadDecimal"},
    {0x6F, true, "/", "NumpadDivide"},
    {0x90, false, "NumLock", "NumLock"},
    // Punctuation, plain and shifted.
    {0xBA, false, ";", "Semicolon"},
    {0xBA, true, ":", "Semicolon"},
    {0xBB, false, "=", "Equal"},
    {0xBB, true, "+", "Equal"},
    {0xBC, false, ",", "Comma"},
    {0xBC, true, "<", "Comma"},
    {0xBD, false, "-", "Minus"},
    {0xBD, true, "_", "Minus"},
    {0xBE, false, ".", "Period"},
    {0xBE, true, ">", "Period"},
    {0xBF, false, "/", "Slash"},
    {0xBF, true, "?", "Slash"},
    {0xC0, false, "`", "Backquote"},
    {0xC0, true, "~", "Backquote"},
    {0xDB, false, "[", "BracketLeft"},
    {0xDB, true, "{", "BracketLeft"},
    {0xDC, false, "\\", "Backslash"},
    {0xDC, true, "|", "Backslash"},
    {0xDD, false, "]", "BracketRight"},
    {0xDD, true, "}", "BracketRight"},
    {0xDE, false, "'", "Quote"},
    {0xDE, true, "\"", "Quote"},
    // Unknown: no names at all, whatever the number.
    {0x00, false, "", ""},
    {0x07, false, "", ""},
    {0x0A, true, "", ""},
    {0x3A, false, "", ""},  // between the digits and the letters
    {0x40, false, "", ""},
    {0x5E, false, "", ""},  // reserved, between the Windows keys and the keypad
    {0x88, false, "", ""},  // just past F24
    {0xFF, false, "", ""},
    {0x100, false, "", ""},
    {-1, false, "", ""},
    {INT_MIN, true, "", ""},
    {INT_MAX, false, "", ""},
};

TEST(KeyNames, KeyAndCodeOfVirtualKeys) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message()
                     << "virtual key 0x" << std::hex << c.vk << " shift " << c.shift);
        const cef_detail::KeyNames names = cef_detail::KeyNamesFor(c.vk, c.shift);
        EXPECT_EQ(names.key, c.key);
        EXPECT_EQ(names.code, c.code);
    }
}

// A key the page is told about always has both names, and Shift never changes its code.
TEST(KeyNames, EveryKeyHasBothNamesAndShiftKeepsTheCode) {
    for (int vk = 0; vk < 0x100; ++vk) {
        const cef_detail::KeyNames plain = cef_detail::KeyNamesFor(vk, false);
        const cef_detail::KeyNames shifted = cef_detail::KeyNamesFor(vk, true);
        EXPECT_EQ(plain.key.empty(), plain.code.empty()) << "virtual key 0x" << std::hex << vk;
        EXPECT_EQ(plain.code, shifted.code) << "virtual key 0x" << std::hex << vk;
        EXPECT_EQ(plain.key.empty(), shifted.key.empty()) << "virtual key 0x" << std::hex << vk;
    }
}

}  // namespace
