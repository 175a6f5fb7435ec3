// A page's JavaScript dialogs against the real engine under Wine, answered as the player would:
// found as a real dialog owned by the browser's top-level window (which is disabled meanwhile),
// its buttons pressed and its field typed into with real keys, and the page's result read back.
// The leave-page question keeps the page or lets it go. Also: a dialog of a hidden window waits
// until the window is seen, and closing the browser with a dialog up closes the dialog and
// leaves the rest working.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/utf.h"
#include "browser_support.h"
#include "core/runtime_info.h"
#include "message_box_finder.h"
#include "page_test.h"
#include "real_input.h"

namespace browser_test {
namespace {

using cef_detail::Json;
using korvex_test::FindProcessDialog;
using korvex_test::MessageBoxSeen;
using korvex_test::PressButton;
using korvex_test::ReadMessageBox;
using korvex_test::WindowCaption;

constexpr int kFieldId = 101;  // a prompt's text field

class DialogTest : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        if (HasFatalFailure()) return;
        browser_ = Open("/dialogs.html");
        ASSERT_TRUE(browser_);
        ASSERT_TRUE(WaitForPage(browser_, "typeof later === 'function'"));
    }
    void TearDown() override {
        PageTest::TearDown();
        // Nothing is left behind: no dialog, and the host takes input again.
        EXPECT_EQ(Dialog(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(host_.hwnd()));
    }

    int PageDialogsWaitingHere() {
        return cef_detail::PageDialogsWaiting(browser_->GetHost()->GetWindowHandle());
    }
    // The page opens a dialog of kind once this returns (it must not wait for the page, which
    // the dialog blocks).
    void Ask(const char* kind) {
        ASSERT_EQ(Evaluate(browser_, std::string("later('") + kind + "')"), true);
    }
    static HWND Dialog() { return FindProcessDialog(GetCurrentProcessId()); }
    static HWND WaitForDialog() {
        HWND box = nullptr;
        PumpUntil([&] { return (box = Dialog()) != nullptr; });
        return box;
    }
    // Waits until the dialog has gone and the page has recorded count results; the last one.
    Json Result(int count) {
        if (!PumpUntil([] { return Dialog() == nullptr; })) return "dialog still up";
        if (!WaitForPage(browser_, "results.length === " + std::to_string(count))) {
            return "no result";
        }
        return Evaluate(browser_, "results[results.length - 1]");
    }
    std::wstring Caption() const {
        return korvex::Utf8ToWide(server_.Origin().substr(std::string("http://").size())) +
               L" 显示";
    }

    CefRefPtr<CefBrowser> browser_;
};

struct ConfirmCase {
    const char* what;
    int button;
    bool result;
};

TEST_F(DialogTest, ConfirmShowsThePageQuestionOverItsWindowAndReturnsTheButtonPressed) {
    int answered = 0;
    for (const ConfirmCase& c :
         {ConfirmCase{"OK", IDOK, true}, ConfirmCase{"Cancel", IDCANCEL, false}}) {
        SCOPED_TRACE(c.what);
        Ask("confirm");
        HWND box = WaitForDialog();
        ASSERT_NE(box, nullptr);
        const MessageBoxSeen seen = ReadMessageBox(box);
        EXPECT_EQ(seen.caption, Caption());
        EXPECT_EQ(seen.text, L"确定花费100元宝购买？");
        EXPECT_EQ(seen.visibleButtons, (std::vector<int>{IDOK, IDCANCEL}));
        EXPECT_EQ(WindowCaption(GetDlgItem(box, IDOK)), L"确定");
        EXPECT_EQ(WindowCaption(GetDlgItem(box, IDCANCEL)), L"取消");
        EXPECT_EQ(seen.owner, host_.hwnd());  // the browser's top-level window
        EXPECT_FALSE(IsWindowEnabled(host_.hwnd()));
        ASSERT_TRUE(PressButton(box, c.button));
        EXPECT_EQ(Result(++answered), c.result);
        EXPECT_TRUE(IsWindowEnabled(host_.hwnd()));
    }
}

TEST_F(DialogTest, AlertShowsTheNoticeWithOneButtonAndThePageGoesOnOnceItIsPressed) {
    Ask("alert");
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr);
    const MessageBoxSeen seen = ReadMessageBox(box);
    EXPECT_EQ(seen.caption, Caption());
    EXPECT_EQ(seen.text, L"服务器将于今晚22点维护，请提前下线。");
    EXPECT_EQ(seen.visibleButtons, std::vector<int>{IDOK});
    // The page waits meanwhile: nothing recorded yet.
    EXPECT_EQ(PageDialogsWaitingHere(), 1);
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_EQ(Result(1), "alert done");
}

TEST_F(DialogTest, PromptOffersItsDefaultAndReturnsTypedTextOrNullOnCancel) {
    Ask("prompt");
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowCaption(GetDlgItem(box, kFieldId)), L"勇者");
    EXPECT_EQ(ReadMessageBox(box).text, L"请输入角色名");
    // Real keys: the default is selected, so typing replaces it; Enter answers OK.
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == box; }));
    for (WORD key : {WORD('H'), WORD('E'), WORD('R'), WORD('O'), WORD('7')}) {
        korvex_test::TapKey(key);
    }
    ASSERT_TRUE(PumpUntil([&] { return WindowCaption(GetDlgItem(box, kFieldId)) == L"hero7"; }));
    korvex_test::TapKey(VK_RETURN);
    EXPECT_EQ(Result(1), "hero7");

    Ask("prompt");
    box = WaitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowCaption(GetDlgItem(box, kFieldId)), L"勇者");
    ASSERT_TRUE(PressButton(box, IDCANCEL));
    EXPECT_EQ(Result(2), nullptr);
}

TEST_F(DialogTest, TheLeavePageQuestionKeepsThePageOrLetsItGo) {
    ASSERT_EQ(Evaluate(browser_, "guardLeaving()"), true);
    // The engine asks only for a page the player has used.
    HWND view = browser_->GetHost()->GetWindowHandle();
    PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    PostMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    ASSERT_TRUE(WaitForPage(browser_, "navigator.userActivation.hasBeenActive"));
    const std::string leave =
        "setTimeout(() => { location.href = '/dialogs.html?left'; }, 0), true";
    for (const int button : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(button == IDOK ? "leave" : "stay");
        ASSERT_EQ(Evaluate(browser_, leave), true);
        HWND box = WaitForDialog();
        ASSERT_NE(box, nullptr);
        const MessageBoxSeen seen = ReadMessageBox(box);
        EXPECT_EQ(seen.caption, L"要离开此网站吗？");
        EXPECT_EQ(seen.text, L"系统可能不会保存您所做的更改。");
        EXPECT_EQ(WindowCaption(GetDlgItem(box, IDOK)), L"离开");
        EXPECT_EQ(WindowCaption(GetDlgItem(box, IDCANCEL)), L"取消");
        ASSERT_TRUE(PressButton(box, button));
        ASSERT_TRUE(PumpUntil([] { return Dialog() == nullptr; }));
        if (button == IDCANCEL) {
            EXPECT_TRUE(
                WaitForPage(browser_, "location.search === '' && typeof later === 'function'"));
        } else {
            EXPECT_TRUE(server_.WaitFor([](const std::vector<std::string>& requests) {
                return std::find(requests.begin(), requests.end(), "GET /dialogs.html?left") !=
                       requests.end();
            }));
        }
    }
}

TEST_F(DialogTest, ADialogOfAHiddenWindowAppearsOnlyOnceTheWindowIsShown) {
    ShowWindow(host_.hwnd(), SW_HIDE);
    Ask("confirm");
    // The engine has asked: the dialog waits, and no window stands on the desktop.
    ASSERT_TRUE(PumpUntil([&] { return PageDialogsWaitingHere() == 1; }));
    EXPECT_EQ(Dialog(), nullptr);
    ShowWindow(host_.hwnd(), SW_SHOW);
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text, L"确定花费100元宝购买？");
    // Hidden again while it is up: it goes with the window and comes back with it.
    ShowWindow(host_.hwnd(), SW_HIDE);
    EXPECT_TRUE(PumpUntil([] { return Dialog() == nullptr; }));
    EXPECT_TRUE(IsWindow(box));
    ShowWindow(host_.hwnd(), SW_SHOW);
    EXPECT_TRUE(PumpUntil([&] { return Dialog() == box; }));
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_EQ(Result(1), true);
}

TEST_F(DialogTest, ClosingTheBrowserWithADialogUpClosesTheDialogAndLosesNothingElse) {
    // A second browser in the same window, which goes on working.
    CefRefPtr<CefBrowser> other =
        OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/dialogs.html"));
    ASSERT_TRUE(other);
    ASSERT_TRUE(WaitForPage(other, "typeof later === 'function'"));
    Ask("confirm");
    HWND box = WaitForDialog();
    ASSERT_NE(box, nullptr);
    browser_->GetHost()->CloseBrowser(true);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(PumpUntil([&] { return client_->Browsers().size() == 1; }));
    EXPECT_TRUE(IsWindowEnabled(host_.hwnd()));
    // The other browser's page runs and its own dialog is answered as usual.
    ASSERT_EQ(Evaluate(other, "later('confirm')"), true);
    box = WaitForDialog();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(PressButton(box, IDCANCEL));
    EXPECT_TRUE(PumpUntil([] { return Dialog() == nullptr; }));
    EXPECT_TRUE(WaitForPage(other, "results.length === 1 && results[0] === false"));
}

}  // namespace
}  // namespace browser_test
