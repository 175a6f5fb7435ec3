// Enter, Escape and the close box reach the virtual OnOK/OnCancel, whose base versions end the
// dialog; overrides that do nothing keep it open.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

using afx_test::GuardedDialog;
using afx_test::kTimedOut;

constexpr UINT kGo = WM_APP + 3;
constexpr UINT kStillOpen = WM_APP + 4;
constexpr int kStayedOpen = 77;

enum class Input { Enter, Escape, CloseBox };

class KeysDialog : public GuardedDialog {
  public:
    KeysDialog(Input input, bool closes)
        : GuardedDialog(IDD_KEYS), m_input(input), m_closes(closes) {}
    int okCalls = 0, cancelCalls = 0;

    BOOL OnInitDialog() override {
        GuardedDialog::OnInitDialog();
        PostMessage(kGo);
        return TRUE;
    }

  protected:
    void OnOK() override {
        ++okCalls;
        if (m_closes) GuardedDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCalls;
        if (m_closes) GuardedDialog::OnCancel();
    }
    // Runs inside the loop, so the input below passes through it like real input.
    LRESULT OnGo(WPARAM, LPARAM) {
        switch (m_input) {
            case Input::Enter:
                PostKey(VK_RETURN);
                break;
            case Input::Escape:
                PostKey(VK_ESCAPE);
                break;
            case Input::CloseBox:
                PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
        }
        PostMessage(kStillOpen);
        return 0;
    }
    LRESULT OnStillOpen(WPARAM, LPARAM) {
        // The close box's command comes one posted message later than the keys' commands.
        if (m_input == Input::CloseBox && m_waits++ == 0) {
            PostMessage(kStillOpen);
            return 0;
        }
        EndDialog(kStayedOpen);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

  private:
    void PostKey(UINT vk) {
        HWND target = ::GetFocus() ? ::GetFocus() : m_hWnd;
        ::PostMessageW(target, WM_KEYDOWN, vk, 1);
        ::PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
    }
    Input m_input;
    bool m_closes;
    int m_waits = 0;
};

IMPLEMENT_MESSAGE_MAP(KeysDialog, GuardedDialog, afx::OnMessage<kGo, &KeysDialog::OnGo>(),
                      afx::OnMessage<kStillOpen, &KeysDialog::OnStillOpen>());

struct KeyCase {
    std::string name;
    Input input;
    bool closes;
    INT_PTR expected;
    int ok, cancel;
};

class DialogKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DialogKeys, RouteToTheVirtualHandlers) {
    const KeyCase& c = GetParam();
    KeysDialog dialog(c.input, c.closes);
    const INT_PTR result = dialog.DoModal();
    ASSERT_NE(result, kTimedOut);
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(dialog.okCalls, c.ok);
    EXPECT_EQ(dialog.cancelCalls, c.cancel);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DialogKeys,
    ::testing::Values(KeyCase{"EnterCloses", Input::Enter, true, IDOK, 1, 0},
                      KeyCase{"EscapeCloses", Input::Escape, true, IDCANCEL, 0, 1},
                      KeyCase{"CloseBoxCloses", Input::CloseBox, true, IDCANCEL, 0, 1},
                      KeyCase{"EnterKeptOpen", Input::Enter, false, kStayedOpen, 1, 0},
                      KeyCase{"EscapeKeptOpen", Input::Escape, false, kStayedOpen, 0, 1},
                      KeyCase{"CloseBoxKeptOpen", Input::CloseBox, false, kStayedOpen, 0, 1}),
    [](const auto& info) { return info.param.name; });

}  // namespace
