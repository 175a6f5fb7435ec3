// The clipboard keys, the safe text literal the paste script carries, line ends both ways, and
// what the scripts are made of.
#include "browser/clipboard_script.h"

#include <gtest/gtest.h>

#include <string>

#include "base/utf.h"
#include "devtools/commands.h"

namespace {

using cef_detail::ClipboardAction;
using cef_detail::ClipboardActionFor;
using cef_detail::Json;
using cef_detail::JsStringLiteral;

constexpr int kCtrl = cef_detail::kModifierCtrl;
constexpr int kShift = cef_detail::kModifierShift;
constexpr int kAlt = cef_detail::kModifierAlt;
constexpr int kMeta = cef_detail::kModifierMeta;
constexpr int kInsert = 0x2D, kDelete = 0x2E;

struct KeyCase {
    const char* name;
    int key;
    int modifiers;
    ClipboardAction action;
};

const KeyCase kKeys[] = {
    {"Ctrl+C", 'C', kCtrl, ClipboardAction::kCopy},
    {"Ctrl+Insert", kInsert, kCtrl, ClipboardAction::kCopy},
    {"Ctrl+X", 'X', kCtrl, ClipboardAction::kCut},
    {"Shift+Delete", kDelete, kShift, ClipboardAction::kCut},
    {"Ctrl+V", 'V', kCtrl, ClipboardAction::kPaste},
    {"Ctrl+Shift+V", 'V', kCtrl | kShift, ClipboardAction::kPaste},
    {"Shift+Insert", kInsert, kShift, ClipboardAction::kPaste},
    {"C alone", 'C', 0, ClipboardAction::kNone},
    {"V alone", 'V', 0, ClipboardAction::kNone},
    {"Insert alone", kInsert, 0, ClipboardAction::kNone},
    {"Delete alone", kDelete, 0, ClipboardAction::kNone},
    {"Ctrl+Delete (deletes a word)", kDelete, kCtrl, ClipboardAction::kNone},
    {"Ctrl+Shift+C (not a copy)", 'C', kCtrl | kShift, ClipboardAction::kNone},
    {"Ctrl+Shift+Insert", kInsert, kCtrl | kShift, ClipboardAction::kNone},
    {"AltGr+V (Ctrl+Alt)", 'V', kCtrl | kAlt, ClipboardAction::kNone},
    {"AltGr+C (Ctrl+Alt)", 'C', kCtrl | kAlt, ClipboardAction::kNone},
    {"Win+V (the system's history)", 'V', kMeta, ClipboardAction::kNone},
    {"Ctrl+Win+C", 'C', kCtrl | kMeta, ClipboardAction::kNone},
    {"Ctrl+A", 'A', kCtrl, ClipboardAction::kNone},
    {"Shift+V (a capital)", 'V', kShift, ClipboardAction::kNone},
};

TEST(ClipboardKeys, OnlyTheWindowsClipboardKeysAreClipboardKeys) {
    for (const KeyCase& c : kKeys) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClipboardActionFor(c.key, c.modifiers), c.action);
    }
}

struct LiteralCase {
    const char* name;
    std::u16string text;
    std::string literal;
};

const LiteralCase kLiterals[] = {
    {"empty", u"", R"("")"},
    {"plain", u"tom 123456", R"("tom 123456")"},
    {"quotes and backslash", u"a\"b'c\\d", R"("a\u0022b'c\u005Cd")"},
    {"script end and template", u"</script>${x}`", R"("</script>${x}`")"},
    {"line breaks", u"a\r\nb\tc", R"("a\u000D\u000Ab\u0009c")"},
    {"JavaScript line separators", u"a\u2028b\u2029c", R"("a\u2028b\u2029c")"},
    {"nul and delete", std::u16string(u"a\0b\x7F", 4), R"("a\u0000b\u007F")"},
    {"Chinese", u"确定花费", R"("\u786E\u5B9A\u82B1\u8D39")"},
    {"emoji (a surrogate pair)", u"\U0001F600", R"("\uD83D\uDE00")"},
    {"a lone high surrogate", std::u16string(1, char16_t(0xD83D)), R"("\uD83D")"},
    {"a lone low surrogate", std::u16string(1, char16_t(0xDE00)), R"("\uDE00")"},
};

TEST(ClipboardScript, AnyTextBecomesAnAsciiStringLiteral) {
    for (const LiteralCase& c : kLiterals) {
        SCOPED_TRACE(c.name);
        const std::string literal = JsStringLiteral(c.text);
        EXPECT_EQ(literal, c.literal);
        for (const char ch : literal) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << int(ch);
    }
}

// A literal of well-formed text reads back, as JSON, exactly as the text it came from.
TEST(ClipboardScript, WellFormedLiteralsReadBackAsTheirText) {
    for (const LiteralCase& c : kLiterals) {
        if (std::string(c.name).starts_with("a lone")) continue;
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Json::parse(JsStringLiteral(c.text)).get<std::string>(),
                  korvex::Utf16ToUtf8(c.text));
    }
}

struct LineCase {
    const char* name;
    std::u16string system;
    std::u16string page;
};

TEST(ClipboardScript, LineEndsAreCrLfOnTheSystemAndLfInThePage) {
    const LineCase cases[] = {
        {"none", u"abc", u"abc"},
        {"one", u"a\r\nb", u"a\nb"},
        {"at both ends", u"\r\na\r\n", u"\na\n"},
        {"two in a row", u"a\r\n\r\nb", u"a\n\nb"},
        {"Chinese lines", u"第一行\r\n第二行", u"第一行\n第二行"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cef_detail::ToPageLineEnds(c.system), c.page);
        EXPECT_EQ(cef_detail::ToSystemLineEnds(c.page), c.system);
    }
    // A lone CR stays as it is both ways; a CR LF from the page is not doubled.
    EXPECT_EQ(cef_detail::ToPageLineEnds(u"a\rb"), u"a\rb");
    EXPECT_EQ(cef_detail::ToSystemLineEnds(u"a\r\nb"), u"a\r\nb");
}

TEST(ClipboardScript, ThePasteCarriesItsTextOnlyAsALiteral) {
    const std::u16string text = u"\");alert(1);(\"</script>";
    const std::string script = cef_detail::PasteScript(text);
    EXPECT_NE(script.find("const text = " + JsStringLiteral(text) + ";"), std::string::npos);
    EXPECT_EQ(script.find("alert(1);(\""), std::string::npos);  // never as code
    EXPECT_NE(script.find("'paste'"), std::string::npos);
    EXPECT_NE(script.find("insertText"), std::string::npos);
}

TEST(ClipboardScript, CopyAndCutDifferOnlyInWhatTheyAre) {
    const std::string copy = cef_detail::CopyScript(false);
    const std::string cut = cef_detail::CopyScript(true);
    EXPECT_NE(copy.find("const cut = false;"), std::string::npos);
    EXPECT_NE(cut.find("const cut = true;"), std::string::npos);
    EXPECT_NE(copy.find("'password'"), std::string::npos);
    std::string as_copy = cut;
    as_copy.replace(as_copy.find("true"), 4, "false");
    EXPECT_EQ(as_copy, copy);
}

}  // namespace
