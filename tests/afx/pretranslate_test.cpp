// PreTranslateMessage: a modeless dialog running inside another dialog's modal loop sees the
// messages of its own controls first and may rewrite them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using afx_test::GuardedDialog;
using afx_test::kTimedOut;
using afx_test::PostClick;

constexpr UINT kSettled = WM_APP + 2;
constexpr int kNoClick = 2;
constexpr int kClicked = 1;

// Turns a right click on itself or one of its controls into a left click.
class RightAsLeftDialog : public CDialogEx {
  public:
    RightAsLeftDialog(bool rewrite, CDialog& ender)
        : CDialogEx(IDD_MODELESS), m_rewrite(rewrite), m_ender(ender) {}
    std::vector<HWND> seenFor;  // windows of the mouse-button messages it saw

    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_RBUTTONDOWN || pMsg->message == WM_RBUTTONUP) {
            seenFor.push_back(pMsg->hwnd);
            if (m_rewrite) {
                pMsg->message = pMsg->message == WM_RBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            }
        }
        return CDialogEx::PreTranslateMessage(pMsg);
    }

  protected:
    void OnFirst() { m_ender.EndDialog(kClicked); }
    DECLARE_MESSAGE_MAP()

  private:
    bool m_rewrite;
    CDialog& m_ender;
};

IMPLEMENT_MESSAGE_MAP(RightAsLeftDialog, CDialogEx,
                      afx::OnBnClicked<IDC_FIRST, &RightAsLeftDialog::OnFirst>());

// The modal dialog whose loop runs the test: it opens the modeless one and right-clicks its
// button; a click ends the loop with kClicked, otherwise the trailing marker ends it.
class HostDialog : public GuardedDialog {
  public:
    explicit HostDialog(bool rewrite) : GuardedDialog(IDD_BUTTONS), inner(rewrite, *this) {}
    RightAsLeftDialog inner;
    HWND innerButton = nullptr;

    BOOL OnInitDialog() override {
        GuardedDialog::OnInitDialog();
        if (inner.Create(IDD_MODELESS, this)) {
            inner.ShowWindow(SW_SHOWNA);
            innerButton = ::GetDlgItem(inner.m_hWnd, IDC_FIRST);
            PostClick(innerButton, WM_RBUTTONDOWN, WM_RBUTTONUP);
        }
        PostMessage(kSettled);
        return TRUE;
    }

  protected:
    LRESULT OnSettled(WPARAM, LPARAM) {
        EndDialog(kNoClick);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_MESSAGE_MAP(HostDialog, GuardedDialog,
                      afx::OnMessage<kSettled, &HostDialog::OnSettled>());

struct RewriteCase {
    bool rewrite;
    int expected;
};

class ModelessInsideModal : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(ModelessInsideModal, SeesItsControlsMessagesFirst) {
    HostDialog host(GetParam().rewrite);
    const INT_PTR result = host.DoModal();
    ASSERT_NE(result, kTimedOut);
    ASSERT_NE(host.innerButton, nullptr);
    EXPECT_EQ(result, GetParam().expected);
    EXPECT_EQ(host.inner.seenFor, (std::vector<HWND>{host.innerButton, host.innerButton}));
    EXPECT_EQ(host.inner.m_hWnd, nullptr);  // owned by the host, gone with it
}

INSTANTIATE_TEST_SUITE_P(Rewrite, ModelessInsideModal,
                         ::testing::Values(RewriteCase{true, kClicked},
                                           RewriteCase{false, kNoClick}),
                         [](const auto& info) {
                             return std::string(info.param.rewrite ? "Rewritten" : "Untouched");
                         });

}  // namespace
