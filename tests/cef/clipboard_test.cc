// The system clipboard and a page, against the real engine under Wine, through the player's own
// keys (real keyboard input): paste into fields with the page's paste event seen, copy and cut
// out of them (Chinese text both ways), and a page's own clipboard writes kept from the system.
#include <winsock2.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "base/clipboard_text.h"
#include "base/utf.h"
#include "browser_support.h"
#include "page_test.h"
#include "real_input.h"

namespace browser_test {
namespace {

using korvex_test::PressKeys;
using korvex_test::ScreenPoint;

// Text a player copies elsewhere: Chinese, a second line (Windows line ends), an emoji.
const std::u16string kSystemText = u"确定花费100元宝\r\n第二行 \U0001F600";
// The same text as a page holds it (line ends as LF).
const char* const kPageText = "确定花费100元宝\\n第二行 \\u{1F600}";

class ClipboardTest : public PageTest {
  protected:
    // A real click into the element with this id: the browser window gets the keyboard focus
    // and the element the page's focus. Done once the page has seen the whole click, so nothing
    // of it changes the selection afterwards.
    bool ClickInto(CefRefPtr<CefBrowser> browser, const std::string& id) {
        SetForegroundWindow(host_.hwnd());
        Evaluate(browser, "clicked = ''");
        const cef_detail::Json box = Evaluate(
            browser,
            "(() => { const r = document.getElementById('" + id +
                "').getBoundingClientRect(); return [r.left + 5, r.top + r.height / 2]; })()");
        if (!box.is_array()) return false;
        const POINT at = ScreenPoint(browser->GetHost()->GetWindowHandle(),
                                     {LONG(box[0].get<double>()), LONG(box[1].get<double>())});
        korvex_test::MoveMouseTo(at);
        korvex_test::LeftButton(true);
        korvex_test::LeftButton(false);
        return WaitForPage(
            browser, "clicked === '" + id + "' && document.activeElement.id === '" + id + "'");
    }
    bool SetSystemText(const std::u16string& text) {
        return korvex::WriteClipboardText(host_.hwnd(), text);
    }
    std::u16string SystemText() {
        return korvex::ReadClipboardText(host_.hwnd()).value_or(u"<no text>");
    }
    bool WaitForSystemText(const std::u16string& text) {
        return PumpUntil([&] { return SystemText() == text; });
    }
};

struct PasteKey {
    const char* name;
    std::initializer_list<WORD> keys;
    const char* field;
};

// Ctrl+V and Shift+Insert paste the system's text where the focus is, and the page sees its
// paste event carrying that text.
TEST_F(ClipboardTest, PasteKeysPutTheSystemTextIntoTheFocusedFieldWithAPasteEvent) {
    const PasteKey cases[] = {{"Ctrl+V into a text field", {VK_CONTROL, 'V'}, "field"},
                              {"Shift+Insert into a text area", {VK_SHIFT, VK_INSERT}, "area"}};
    CefRefPtr<CefBrowser> browser = Open("/clipboard.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(SetSystemText(kSystemText));
    for (const PasteKey& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(ClickInto(browser, c.field));
        PressKeys(c.keys);
        const std::string field = std::string("document.getElementById('") + c.field + "')";
        // A single-line field takes the line break as a space, as on any paste; the key's
        // control character (U+0016) is not typed after the text.
        const std::string expected = std::string(c.field) == "area"
                                         ? std::string("'") + kPageText + "'"
                                         : std::string("'") + kPageText + "'.replace('\\n', ' ')";
        EXPECT_TRUE(WaitForPage(browser, field + ".value === " + expected))
            << Evaluate(browser, field + ".value").dump();
        EXPECT_EQ(Evaluate(browser, "events.at(-1) === 'paste " + std::string(c.field) + ": " +
                                        kPageText + "'"),
                  true)
            << Evaluate(browser, "events").dump();
    }
}

// A page that handles the paste itself gets the text, and nothing is inserted for it.
TEST_F(ClipboardTest, APageThatCancelsThePasteGetsTheTextAndNothingIsInserted) {
    CefRefPtr<CefBrowser> browser = Open("/clipboard.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(SetSystemText(u"abc 中文"));
    ASSERT_TRUE(ClickInto(browser, "own"));
    PressKeys({VK_CONTROL, 'V'});
    ASSERT_TRUE(WaitForPage(browser, "document.getElementById('own').dataset.took === 'ABC 中文'"));
    EXPECT_EQ(Evaluate(browser, "document.getElementById('own').value"), "");
}

// An input method (or another program) asks for a paste with WM_PASTE.
TEST_F(ClipboardTest, AnInputMethodsPasteIsAPasteToo) {
    CefRefPtr<CefBrowser> browser = Open("/clipboard.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(SetSystemText(u"输入法粘贴"));
    ASSERT_TRUE(ClickInto(browser, "field"));
    SendMessageW(browser->GetHost()->GetWindowHandle(), WM_PASTE, 0, 0);
    EXPECT_TRUE(WaitForPage(browser, "document.getElementById('field').value === '输入法粘贴'"));
    EXPECT_EQ(Evaluate(browser, "events.at(-1)"), "paste field: 输入法粘贴");
}

struct CopyKey {
    const char* name;
    std::initializer_list<WORD> keys;
    bool cut;
};

// Ctrl+C and Ctrl+Insert copy the selection to the system clipboard, Ctrl+X cuts it: the page
// sees its copy or cut event, and the text arrives with Windows line ends.
TEST_F(ClipboardTest, CopyAndCutKeysPutTheSelectionOnTheSystemClipboard) {
    const CopyKey cases[] = {{"Ctrl+C", {VK_CONTROL, 'C'}, false},
                             {"Ctrl+Insert", {VK_CONTROL, VK_INSERT}, false},
                             {"Ctrl+X", {VK_CONTROL, 'X'}, true}};
    CefRefPtr<CefBrowser> browser = Open("/clipboard.html");
    ASSERT_TRUE(browser);
    for (const CopyKey& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SetSystemText(u"before"));
        ASSERT_TRUE(ClickInto(browser, "area"));
        // "留言：" then the text; the text alone is selected.
        Evaluate(browser, std::string("(() => { const a = document.getElementById('area'); "
                                      "a.value = '留言：") +
                              kPageText + "'; a.setSelectionRange(3, a.value.length); })()");
        PressKeys(c.keys);
        EXPECT_TRUE(WaitForSystemText(kSystemText)) << korvex::Utf16ToUtf8(SystemText());
        EXPECT_EQ(Evaluate(browser, "document.getElementById('area').value"),
                  c.cut ? cef_detail::Json("留言：")
                        : Evaluate(browser, std::string("'留言：") + kPageText + "'"));
        EXPECT_EQ(Evaluate(browser, "events.at(-1)"),
                  std::string(c.cut ? "cut" : "copy") + " area: ");
    }
}

// A page that fills the copy event itself decides what is copied.
TEST_F(ClipboardTest, APageThatFillsTheCopyEventPutsItsOwnText) {
    CefRefPtr<CefBrowser> browser = Open("/clipboard.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(SetSystemText(u"before"));
    ASSERT_TRUE(ClickInto(browser, "field"));
    Evaluate(browser,
             "ownCopy = '邀请码 A1B2'; document.getElementById('field').value = 'x'; "
             "document.getElementById('field').select()");
    PressKeys({VK_CONTROL, 'C'});
    EXPECT_TRUE(WaitForSystemText(u"邀请码 A1B2")) << korvex::Utf16ToUtf8(SystemText());
}

// Nothing is copied out of a password field, and a cut there removes nothing.
TEST_F(ClipboardTest, APasswordFieldGivesNothingAway) {
    CefRefPtr<CefBrowser> browser = Open("/clipboard.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(SetSystemText(u"before"));
    ASSERT_TRUE(ClickInto(browser, "secret"));
    Evaluate(browser, "document.getElementById('secret').select()");
    PressKeys({VK_CONTROL, 'X'});
    ASSERT_TRUE(WaitForPage(browser, "events.length > 0 && events.at(-1).startsWith('cut')"));
    EXPECT_EQ(Evaluate(browser, "document.getElementById('secret').value"), "密码123");
    // The answer to the script has come back by now: the clipboard is as it was.
    Evaluate(browser, "1");
    EXPECT_EQ(korvex::Utf16ToUtf8(SystemText()), "before");
}

// A page's own clipboard writes, without a key of the player's, stay inside the engine.
TEST_F(ClipboardTest, APagesOwnClipboardWritesNeverReachTheSystem) {
    ASSERT_TRUE(SetSystemText(u"the player's own text"));
    CefRefPtr<CefBrowser> browser = Open("/page-writes.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "window.done === true"));
    EXPECT_EQ(korvex::Utf16ToUtf8(SystemText()), "the player's own text")
        << "wrote: " << Evaluate(browser, "window.wrote").dump()
        << ", copied: " << Evaluate(browser, "window.copied").dump();
}

}  // namespace
}  // namespace browser_test
