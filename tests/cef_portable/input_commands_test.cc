// Mouse, wheel, key and text input as the page receives it, built from plain values.
#include <gtest/gtest.h>

#include <string>

#include "devtools/commands.h"

namespace {

using namespace cef_detail;

TEST(InputCommands, ModifierKeysBecomeTheProtocolsBits) {
    struct Row {
        ModifierKeys keys;
        int bits;
    };
    const Row rows[] = {
        {{}, 0},
        {{.alt = true}, 1},
        {{.ctrl = true}, 2},
        {{.meta = true}, 4},
        {{.shift = true}, 8},
        {{.alt = true, .shift = true}, 9},
        {{.ctrl = true, .meta = true}, 6},
        {{.alt = true, .ctrl = true, .meta = true, .shift = true}, 15},
    };
    for (const Row& r : rows) EXPECT_EQ(ModifierBits(r.keys), r.bits) << r.bits;
    EXPECT_EQ(kModifierAlt | kModifierCtrl | kModifierMeta | kModifierShift, 15);
}

TEST(InputCommands, PressedButtonsGiveBitsAndTheButtonAMoveReports) {
    struct Row {
        PressedButtons pressed;
        int bits;
        MouseButton first;
    };
    const Row rows[] = {
        {{}, 0, MouseButton::kNone},
        {{.left = true}, 1, MouseButton::kLeft},
        {{.right = true}, 2, MouseButton::kRight},
        {{.middle = true}, 4, MouseButton::kMiddle},
        {{.left = true, .right = true}, 3, MouseButton::kLeft},
        {{.right = true, .middle = true}, 6, MouseButton::kRight},
        {{.left = true, .right = true, .middle = true}, 7, MouseButton::kLeft},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ButtonBits(r.pressed), r.bits);
        EXPECT_EQ(FirstPressed(r.pressed), r.first) << r.bits;
    }
}

TEST(InputCommands, MouseEventsCarryTypeButtonClicksAndPlace) {
    struct Row {
        MouseInput input;
        const char* params;
    };
    const Row rows[] = {
        {{MouseAction::kMoved, 10, 20, MouseButton::kNone, {}, 0, 0},
         R"({"type":"mouseMoved","x":10,"y":20,"button":"none","buttons":0,"clickCount":0,
             "modifiers":0})"},
        {{MouseAction::kMoved, 5, 6, MouseButton::kLeft, {.left = true}, 0, 8},
         R"({"type":"mouseMoved","x":5,"y":6,"button":"left","buttons":1,"clickCount":0,
             "modifiers":8})"},
        {{MouseAction::kPressed, 1, 2, MouseButton::kLeft, {.left = true}, 1, 0},
         R"({"type":"mousePressed","x":1,"y":2,"button":"left","buttons":1,"clickCount":1,
             "modifiers":0})"},
        {{MouseAction::kPressed, 1, 2, MouseButton::kRight, {.right = true}, 2, 2},
         R"({"type":"mousePressed","x":1,"y":2,"button":"right","buttons":2,"clickCount":2,
             "modifiers":2})"},
        {{MouseAction::kReleased, 300, 400, MouseButton::kMiddle, {}, 1, 0},
         R"({"type":"mouseReleased","x":300,"y":400,"button":"middle","buttons":0,"clickCount":1,
             "modifiers":0})"},
        {{MouseAction::kReleased, -3, -4, MouseButton::kLeft, {.right = true}, 1, 1},
         R"({"type":"mouseReleased","x":-3,"y":-4,"button":"left","buttons":2,"clickCount":1,
             "modifiers":1})"},
    };
    for (const Row& r : rows) {
        const Command command = MouseEvent(r.input);
        EXPECT_EQ(command.method, "Input.dispatchMouseEvent");
        EXPECT_EQ(command.params, Json::parse(r.params)) << r.params;
    }
    const Command left = MouseLeft(4);
    EXPECT_EQ(left.method, "Input.dispatchMouseEvent");
    EXPECT_EQ(left.params, Json::parse(R"({"type":"mouseMoved","x":-1,"y":-1,"button":"none",
                                           "buttons":0,"clickCount":0,"modifiers":4})"));
}

TEST(InputCommands, WheelTurnsScrollThePageTheWayTheyPoint) {
    struct Row {
        WheelAxis axis;
        int delta;
        int delta_x;
        int delta_y;
    };
    const Row rows[] = {
        {WheelAxis::kVertical, 120, 0, -120},   // away from the user: the page goes up
        {WheelAxis::kVertical, -240, 0, 240},   // towards the user: down
        {WheelAxis::kHorizontal, 120, 120, 0},  // to the right
        {WheelAxis::kHorizontal, -60, -60, 0},  // to the left, a fine step
    };
    for (const Row& r : rows) {
        const Command command = MouseWheel(7, 8, r.axis, r.delta, 2);
        EXPECT_EQ(command.method, "Input.dispatchMouseEvent");
        const Json expected = {
            {"type", "mouseWheel"}, {"x", 7},        {"y", 8}, {"deltaX", r.delta_x},
            {"deltaY", r.delta_y},  {"modifiers", 2}};
        EXPECT_EQ(command.params, expected) << r.delta;
    }
}

TEST(InputCommands, KeyEventsNameTheKeyAndTellRepeatsAndSystemKeys) {
    struct Row {
        KeyInput input;
        const char* type;
        const char* key;   // nullptr: no key field
        const char* code;  // nullptr: no code field
        bool auto_repeat;
        bool system;
    };
    const Row rows[] = {
        {{KeyAction::kDown, 'A', 0, false, false}, "rawKeyDown", "a", "KeyA", false, false},
        {{KeyAction::kDown, 'A', kModifierShift, false, false},
         "rawKeyDown",
         "A",
         "KeyA",
         false,
         false},
        {{KeyAction::kDown, 'A', 0, true, false}, "rawKeyDown", "a", "KeyA", true, false},
        // A key that was down before is no repeat when it goes up.
        {{KeyAction::kUp, 'A', 0, true, false}, "keyUp", "a", "KeyA", false, false},
        {{KeyAction::kDown, 0x0D, kModifierCtrl, false, false},
         "rawKeyDown",
         "Enter",
         "Enter",
         false,
         false},
        {{KeyAction::kDown, 0x73, kModifierAlt, false, true},
         "rawKeyDown",
         "F4",
         "F4",
         false,
         true},
        {{KeyAction::kUp, 0x12, 0, false, true}, "keyUp", "Alt", "AltLeft", false, true},
        {{KeyAction::kDown, '1', kModifierShift, false, false},
         "rawKeyDown",
         "!",
         "Digit1",
         false,
         false},
        {{KeyAction::kDown, 0xFF, 0, false, false}, "rawKeyDown", nullptr, nullptr, false, false},
    };
    for (const Row& r : rows) {
        const Command command = KeyEvent(r.input);
        SCOPED_TRACE(std::to_string(r.input.virtual_key) + " " + r.type);
        EXPECT_EQ(command.method, "Input.dispatchKeyEvent");
        Json expected = {{"type", r.type},
                         {"windowsVirtualKeyCode", r.input.virtual_key},
                         {"nativeVirtualKeyCode", r.input.virtual_key},
                         {"modifiers", r.input.modifiers},
                         {"autoRepeat", r.auto_repeat},
                         {"isSystemKey", r.system}};
        if (r.key) expected["key"] = r.key;
        if (r.code) expected["code"] = r.code;
        EXPECT_EQ(command.params, expected);
    }
}

TEST(InputCommands, CharactersAndInputMethodTextArriveAsUtf8) {
    struct Row {
        std::u16string text;
        const char* utf8;
    };
    const Row rows[] = {
        {u"a", "a"},
        {u"\u00e9", "\xc3\xa9"},
        {u"\u4e2d", "\xe4\xb8\xad"},
        {u"\U0001F600", "\xf0\x9f\x98\x80"},  // a surrogate pair
    };
    for (const Row& r : rows) {
        const Command command = CharEvent(r.text, 8);
        EXPECT_EQ(command.method, "Input.dispatchKeyEvent");
        const Json expected = {{"type", "char"},
                               {"text", r.utf8},
                               {"unmodifiedText", r.utf8},
                               {"key", r.utf8},
                               {"modifiers", 8}};
        EXPECT_EQ(command.params, expected) << r.utf8;
    }
    const Command insert = InsertText("\xe4\xb8\xad\xe6\x96\x87");
    EXPECT_EQ(insert.method, "Input.insertText");
    EXPECT_EQ(insert.params, Json({{"text", "\xe4\xb8\xad\xe6\x96\x87"}}));
    // The caret goes after the composed text, counted in UTF-16 units as the engine counts.
    const struct {
        const char* text;
        int caret;
    } compositions[] = {
        {"ni", 2},
        {"\xe4\xbd\xa0\xe5\xa5\xbd", 2},  // two Chinese characters, six bytes
        {"a\xf0\x9f\x98\x80", 3},         // a character outside the BMP takes two units
        {"", 0},
    };
    for (const auto& c : compositions) {
        const Command compose = SetComposition(c.text);
        EXPECT_EQ(compose.method, "Input.imeSetComposition");
        EXPECT_EQ(compose.params,
                  Json({{"text", c.text}, {"selectionStart", c.caret}, {"selectionEnd", c.caret}}))
            << c.text;
    }
}

TEST(InputCommands, CharacterJoinerPairsSurrogatesAndDropsStrayHalves) {
    struct Row {
        std::u16string units;       // successive character messages
        std::u16string characters;  // what comes out, in order
    };
    const Row rows[] = {
        {u"ab", u"ab"},
        {u"\xD83D\xDE00", u"\xD83D\xDE00"},        // a pair
        {u"\xDE00x", u"x"},                        // a low half alone is dropped
        {u"\xD83Dx", u"x"},                        // a high half followed by a character is dropped
        {u"\xD83D\xD83D\xDE00", u"\xD83D\xDE00"},  // the newer high half wins
        {u"\xD83D\xDE00\xDE00", u"\xD83D\xDE00"},  // a low half does not reuse a paired high one
    };
    for (const Row& r : rows) {
        CharacterJoiner joiner;
        std::u16string out;
        for (char16_t unit : r.units) out += joiner.Take(unit);
        EXPECT_EQ(out, r.characters) << r.units.size();
    }
}

}  // namespace
