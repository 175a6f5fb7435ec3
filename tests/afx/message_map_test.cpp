// Message maps: lookup through the chain of base maps, decoded arguments, commands by control
// id, default processing, run-time class records and the handle map.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using afx_test::DrainPosted;
using afx_test::PostClick;

constexpr UINT kRaw = WM_APP + 7;

class BaseDialog : public CDialogEx {
    DECLARE_DYNAMIC(BaseDialog)

  public:
    BaseDialog() : CDialogEx(IDD_BUTTONS) {}
    std::vector<std::string> calls;
    int sizeCx = -1, sizeCy = -1;
    int moveX = 0, moveY = 0;

  protected:
    void OnSize(UINT type, int cx, int cy) {
        calls.push_back("Base::OnSize");
        sizeCx = cx;
        sizeCy = cy;
        CDialogEx::OnSize(type, cx, cy);
    }
    void OnMove(int x, int y) {
        calls.push_back("Base::OnMove");
        moveX = x;
        moveY = y;
        CDialogEx::OnMove(x, y);
    }
    void OnFirst() { calls.push_back("Base::OnFirst"); }
    LRESULT OnRaw(WPARAM wParam, LPARAM lParam) {
        calls.push_back("Base::OnRaw");
        return static_cast<LRESULT>(wParam + lParam);
    }

    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNAMIC(BaseDialog, CDialogEx);

IMPLEMENT_MESSAGE_MAP(BaseDialog, CDialogEx, afx::On<WM_SIZE, &BaseDialog::OnSize>(),
                      afx::On<WM_MOVE, &BaseDialog::OnMove>(),
                      afx::OnBnClicked<IDC_FIRST, &BaseDialog::OnFirst>(),
                      afx::OnMessage<kRaw, &BaseDialog::OnRaw>());

class DerivedDialog : public BaseDialog {
    DECLARE_DYNAMIC(DerivedDialog)

  protected:
    // Takes WM_SIZE first, then hands it to the base's handler.
    void OnSize(UINT type, int cx, int cy) {
        calls.push_back("Derived::OnSize");
        BaseDialog::OnSize(type, cx, cy);
    }
    void OnSecond() { calls.push_back("Derived::OnSecond"); }

    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNAMIC(DerivedDialog, BaseDialog);

IMPLEMENT_MESSAGE_MAP(DerivedDialog, BaseDialog, afx::On<WM_SIZE, &DerivedDialog::OnSize>(),
                      afx::OnBnClicked<IDC_SECOND, &DerivedDialog::OnSecond>());

struct ModelessDialog : ::testing::Test {
    DerivedDialog dialog;
    void SetUp() override { ASSERT_TRUE(dialog.Create(IDD_BUTTONS)); }
    void TearDown() override { dialog.DestroyWindow(); }
    HWND Item(int id) { return ::GetDlgItem(dialog.m_hWnd, id); }
};

struct ClickCase {
    int id;
    std::vector<std::string> expected;
};

class ClickRouting : public ModelessDialog, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ClickRouting, ClickReachesTheHandlerForItsId) {
    dialog.ShowWindow(SW_SHOW);
    dialog.calls.clear();
    PostClick(Item(GetParam().id));
    DrainPosted();
    EXPECT_EQ(dialog.calls, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ClickRouting,
    ::testing::Values(ClickCase{IDC_FIRST, {"Base::OnFirst"}},       // found in the base map
                      ClickCase{IDC_SECOND, {"Derived::OnSecond"}},  // in the derived map
                      ClickCase{IDC_THIRD, {}}));                    // nobody maps it

TEST_F(ModelessDialog, DerivedEntryWinsAndChainsToBaseHandler) {
    dialog.calls.clear();
    dialog.MoveWindow(30, 40, 300, 200);
    RECT client{};
    dialog.GetClientRect(&client);
    ASSERT_GE(dialog.calls.size(), 2u);
    EXPECT_EQ(dialog.calls[0], "Base::OnMove");
    EXPECT_EQ(std::vector<std::string>(dialog.calls.end() - 2, dialog.calls.end()),
              (std::vector<std::string>{"Derived::OnSize", "Base::OnSize"}));
    EXPECT_EQ(dialog.sizeCx, client.right);
    EXPECT_EQ(dialog.sizeCy, client.bottom);
}

TEST_F(ModelessDialog, MoveDecodesSignedCoordinates) {
    dialog.SendMessage(WM_MOVE, 0, MAKELPARAM(-5, 7));
    EXPECT_EQ(dialog.moveX, -5);
    EXPECT_EQ(dialog.moveY, 7);
}

TEST_F(ModelessDialog, RawHandlerResultIsTheMessageResult) {
    EXPECT_EQ(dialog.SendMessage(kRaw, 40, 2), 42);
}

TEST_F(ModelessDialog, UnmappedMessagesGetDefaultProcessing) {
    dialog.SetWindowText(L"renamed");
    wchar_t text[32] = {};
    dialog.GetWindowText(text, 32);
    EXPECT_STREQ(text, L"renamed");
}

TEST_F(ModelessDialog, HandleMapGivesBoundObjectOrTemporaryWrapper) {
    EXPECT_EQ(CWnd::FromHandle(dialog.m_hWnd), &dialog);
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
    CWnd* button = dialog.GetDlgItem(IDC_FIRST);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->m_hWnd, Item(IDC_FIRST));
    EXPECT_EQ(CWnd::FromHandlePermanent(button->m_hWnd), nullptr);
    EXPECT_EQ(dialog.GetDlgItem(IDC_FIRST), button);  // the same wrapper until discarded
    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsWindow(Item(IDC_FIRST)));  // discarding a wrapper keeps the window
}

TEST_F(ModelessDialog, DestroyUnbindsTheObject) {
    HWND hWnd = dialog.m_hWnd;
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(HandleMap, AttachedWindowIsUnboundWhenDestroyed) {
    HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"raw", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    CWnd wnd;
    ASSERT_TRUE(wnd.Attach(hWnd));
    CWnd other;
    EXPECT_FALSE(other.Attach(hWnd));  // one object per window
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), &wnd);
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(RuntimeClass, RecordsNameAndAncestry) {
    DerivedDialog dialog;
    EXPECT_STREQ(dialog.GetRuntimeClass()->m_lpszClassName, "DerivedDialog");
    EXPECT_TRUE(dialog.IsKindOf(RUNTIME_CLASS(BaseDialog)));
    EXPECT_TRUE(dialog.IsKindOf(RUNTIME_CLASS(CDialogEx)));
    EXPECT_TRUE(dialog.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(dialog.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_STREQ(RUNTIME_CLASS(CMFCVisualManagerWindows)->m_lpszClassName,
                 "CMFCVisualManagerWindows");
    EXPECT_TRUE(
        RUNTIME_CLASS(CMFCVisualManagerWindows)->IsDerivedFrom(RUNTIME_CLASS(CMFCVisualManager)));
}

// A created control: its own map sees its messages; deleting the object destroys the window.
class CountingButton : public CButton {
  public:
    int moves = 0;

  protected:
    void OnMouseMove(UINT flags, CPoint point) {
        ++moves;
        CButton::OnMouseMove(flags, point);
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_MESSAGE_MAP(CountingButton, CButton,
                      afx::On<WM_MOUSEMOVE, &CountingButton::OnMouseMove>());

TEST_F(ModelessDialog, CreatedControlIsRoutedAndDiesWithItsObject) {
    auto* button = new CountingButton;
    ASSERT_TRUE(
        button->Create(L"made", WS_CHILD | WS_VISIBLE, RECT{10, 150, 90, 170}, &dialog, 4001));
    HWND hWnd = button->m_hWnd;
    EXPECT_EQ(::GetDlgItem(dialog.m_hWnd, 4001), hWnd);
    EXPECT_EQ(::GetParent(hWnd), dialog.m_hWnd);
    ::PostMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    DrainPosted();
    EXPECT_EQ(button->moves, 1);
    delete button;
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(ModelessDialog, ModifyStyleReportsChangeAndAppliesIt) {
    CStatic label;
    ASSERT_TRUE(label.Create(L"x", WS_CHILD, RECT{0, 0, 50, 20}, &dialog));
    EXPECT_TRUE(label.ModifyStyle(0, SS_NOTIFY));
    EXPECT_FALSE(label.ModifyStyle(0, SS_NOTIFY));
    EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);
    EXPECT_TRUE(label.ModifyStyleEx(0, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(label.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(label.ModifyStyleEx(WS_EX_TOOLWINDOW, 0));
    EXPECT_FALSE(label.GetExStyle() & WS_EX_TOOLWINDOW);
}

TEST(Wrappers, FontObjectOwnsExactlyOneFont) {
    CFont font;
    ASSERT_TRUE(
        font.CreateFont(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    HFONT first = font;
    LOGFONTW lf{};
    lf.lfHeight = 12;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    EXPECT_NE(static_cast<HFONT>(font), first);
    EXPECT_EQ(::GetObjectType(first), 0u);  // the first one was deleted
    EXPECT_TRUE(font.DeleteObject());
    EXPECT_EQ(font.m_hObject, nullptr);
}

}  // namespace
