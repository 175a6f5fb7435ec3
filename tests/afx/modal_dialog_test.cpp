// The modal loop: how it ends (EndDialog, WM_QUIT), what it does to the owner, and that the
// window goes away through the virtual DestroyWindow.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using afx_test::GuardedDialog;
using afx_test::OwnerWindow;

constexpr UINT kAct = WM_APP + 1;

// Runs `action` once the loop is running and records what the loop does around it.
class ScriptedDialog : public GuardedDialog {
  public:
    ScriptedDialog(UINT nIDTemplate, CWnd* pParent, std::function<void(ScriptedDialog&)> action,
                   bool actInInit = false)
        : GuardedDialog(nIDTemplate, pParent),
          m_action(std::move(action)),
          m_actInInit(actInInit) {}

    BOOL OnInitDialog() override {
        GuardedDialog::OnInitDialog();
        if (m_actInInit) {
            m_action(*this);
        } else {
            PostMessage(kAct);
        }
        return TRUE;
    }

    BOOL DestroyWindow() override {
        ++destroyCalls;
        windowAliveInDestroy = ::IsWindow(m_hWnd) != FALSE;
        return GuardedDialog::DestroyWindow();
    }

    int destroyCalls = 0;
    bool windowAliveInDestroy = false;
    bool ownerEnabledWhileRunning = true;

  protected:
    LRESULT OnAct(WPARAM, LPARAM) {
        CWnd* owner = m_pParentWnd;
        ownerEnabledWhileRunning = owner != nullptr && owner->IsWindowEnabled();
        m_action(*this);
        return 0;
    }

    DECLARE_MESSAGE_MAP()

  private:
    std::function<void(ScriptedDialog&)> m_action;
    bool m_actInInit;
};

IMPLEMENT_MESSAGE_MAP(ScriptedDialog, GuardedDialog,
                      afx::OnMessage<kAct, &ScriptedDialog::OnAct>());

struct EndCase {
    std::string name;
    std::function<void(ScriptedDialog&)> action;
    bool actInInit;
    INT_PTR expectedResult;
    bool expectQuit;
    WPARAM quitCode;
};

class ModalEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(ModalEnd, EndsDestroysThroughOverrideAndRestoresOwner) {
    const EndCase& c = GetParam();
    OwnerWindow owner;
    ASSERT_NE(owner.m_hWnd, nullptr);
    ScriptedDialog dialog(IDD_BUTTONS, &owner, c.action, c.actInInit);

    const INT_PTR result = dialog.DoModal();

    MSG quit{};
    const bool quitPending = ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    EXPECT_EQ(result, c.expectedResult);
    EXPECT_EQ(quitPending, c.expectQuit);
    if (quitPending) {
        EXPECT_EQ(quit.wParam, c.quitCode);
    }
    EXPECT_EQ(dialog.destroyCalls, 1);
    EXPECT_TRUE(dialog.windowAliveInDestroy);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    if (!c.actInInit) {
        EXPECT_FALSE(dialog.ownerEnabledWhileRunning);
    }
    EXPECT_TRUE(owner.IsWindowEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ModalEnd,
    ::testing::Values(
        EndCase{"EndDialog", [](ScriptedDialog& d) { d.EndDialog(42); }, false, 42, false, 0},
        EndCase{"PostedQuit", [](ScriptedDialog&) { ::PostQuitMessage(7); }, false, -1, true, 7},
        EndCase{"QuitDuringInit", [](ScriptedDialog&) { ::PostQuitMessage(3); }, true, -1, true, 3},
        EndCase{"EndDialogDuringInit", [](ScriptedDialog& d) { d.EndDialog(5); }, true, 5, false,
                0},
        EndCase{"OkCommand", [](ScriptedDialog& d) { d.SendMessage(WM_COMMAND, IDOK); }, false,
                IDOK, false, 0}),
    [](const auto& info) { return info.param.name; });

TEST(ModalDialog, MissingTemplateFailsAndLeavesOwnerEnabled) {
    OwnerWindow owner;
    ScriptedDialog dialog(4242, &owner, [](ScriptedDialog&) {});
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.destroyCalls, 0);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

// A window destroyed behind the loop's back ends the loop instead of leaving it waiting.
TEST(ModalDialog, EndsWhenItsWindowIsDestroyedElsewhere) {
    OwnerWindow owner;
    ScriptedDialog dialog(IDD_BUTTONS, &owner,
                          [](ScriptedDialog& d) { ::DestroyWindow(d.m_hWnd); });
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.destroyCalls, 0);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(ModalDialog, ShowsATemplateWithoutVisibleStyle) {
    bool visible = false;
    ScriptedDialog dialog(IDD_BUTTONS, nullptr, [&](ScriptedDialog& d) {
        visible = d.IsWindowVisible() != FALSE;
        d.EndDialog(1);
    });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_TRUE(visible);
}

}  // namespace
