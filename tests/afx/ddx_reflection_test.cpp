// Data exchange binds template controls to objects; colour requests reach the control object's
// reflected handler, and what it answers is what the screen shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using afx_test::DrainPosted;
using afx_test::PostClick;

// A button that records the messages its window receives, keeping the button's own behaviour.
class RecordingButton : public CButton {
  public:
    std::vector<UINT> seen;
    int preSubclassCalls = 0;
    HWND handleInPreSubclass = nullptr;

  protected:
    void PreSubclassWindow() override {
        ++preSubclassCalls;
        handleInPreSubclass = m_hWnd;
    }
    void OnLButtonDown(UINT flags, CPoint point) {
        seen.push_back(WM_LBUTTONDOWN);
        CButton::OnLButtonDown(flags, point);
    }
    void OnLButtonUp(UINT flags, CPoint point) {
        seen.push_back(WM_LBUTTONUP);
        CButton::OnLButtonUp(flags, point);
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_MESSAGE_MAP(RecordingButton, CButton,
                      afx::On<WM_LBUTTONDOWN, &RecordingButton::OnLButtonDown>(),
                      afx::On<WM_LBUTTONUP, &RecordingButton::OnLButtonUp>());

class BindingDialog : public CDialogEx {
  public:
    explicit BindingDialog(int buttonId = IDC_FIRST) : CDialogEx(IDD_BUTTONS), m_id(buttonId) {}
    RecordingButton button;
    CHotKeyCtrl hotkey;
    int clicks = 0;

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialogEx::DoDataExchange(pDX);
        DDX_Control(pDX, m_id, button);
        DDX_Control(pDX, IDC_HOTKEY, hotkey);
    }
    void OnFirst() { ++clicks; }
    DECLARE_MESSAGE_MAP()

  private:
    int m_id;
};

IMPLEMENT_MESSAGE_MAP(BindingDialog, CDialogEx,
                      afx::OnBnClicked<IDC_FIRST, &BindingDialog::OnFirst>());

TEST(DataExchange, BindsTheTemplateControlOnceAndRoutesItsMessages) {
    BindingDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_BUTTONS));
    dialog.ShowWindow(SW_SHOW);
    HWND item = ::GetDlgItem(dialog.m_hWnd, IDC_FIRST);
    EXPECT_EQ(dialog.button.m_hWnd, item);
    EXPECT_EQ(dialog.button.handleInPreSubclass, item);
    EXPECT_EQ(dialog.GetDlgItem(IDC_FIRST), &dialog.button);

    PostClick(item);
    DrainPosted();
    EXPECT_EQ(dialog.button.seen, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(dialog.clicks, 1);  // the button still works as a button

    EXPECT_TRUE(dialog.UpdateData(TRUE));  // a second exchange keeps the binding
    EXPECT_EQ(dialog.button.preSubclassCalls, 1);
    EXPECT_EQ(dialog.button.m_hWnd, item);
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.button.m_hWnd, nullptr);
}

TEST(DataExchange, MissingControlFailsTheExchange) {
    BindingDialog dialog(IDC_MISSING);
    ASSERT_TRUE(dialog.Create(IDD_BUTTONS));
    EXPECT_FALSE(dialog.UpdateData(FALSE));
    EXPECT_EQ(dialog.button.m_hWnd, nullptr);
    EXPECT_NE(dialog.hotkey.m_hWnd, nullptr);  // the other binding was made
    dialog.DestroyWindow();
}

struct HotkeyCase {
    WORD vk;
    WORD modifiers;
    DWORD packed;
};

class HotkeyRoundTrip : public ::testing::TestWithParam<HotkeyCase> {};

TEST_P(HotkeyRoundTrip, SetThenGet) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&icc);
    BindingDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_BUTTONS));
    const HotkeyCase& c = GetParam();
    dialog.hotkey.SetHotKey(c.vk, c.modifiers);
    EXPECT_EQ(dialog.hotkey.GetHotKey(), c.packed);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(dialog.m_hWnd, IDC_HOTKEY), HKM_GETHOTKEY, 0, 0),
              static_cast<LRESULT>(c.packed));
    WORD vk = 0xFFFF, modifiers = 0xFFFF;
    dialog.hotkey.GetHotKey(vk, modifiers);
    EXPECT_EQ(vk, c.vk);
    EXPECT_EQ(modifiers, c.modifiers);
    dialog.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HotkeyRoundTrip,
    ::testing::Values(HotkeyCase{'Z', HOTKEYF_CONTROL | HOTKEYF_ALT, 0x065A},
                      HotkeyCase{VK_LEFT, HOTKEYF_EXT, 0x0825},
                      HotkeyCase{'A', HOTKEYF_SHIFT, 0x0141},
                      HotkeyCase{VK_F5, HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT, 0x0774},
                      HotkeyCase{0, 0, 0}));

// Colours of the static text: red ground, blue behind the glyphs, white glyphs.
constexpr COLORREF kGround = RGB(200, 0, 0);
constexpr COLORREF kBehindText = RGB(0, 0, 200);
constexpr COLORREF kText = RGB(255, 255, 255);

class TintedStatic : public CStatic {
  public:
    TintedStatic() : m_brush(::CreateSolidBrush(kGround)) {}
    ~TintedStatic() override { ::DeleteObject(m_brush); }
    int requests = 0;

  protected:
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
        ++requests;
        EXPECT_EQ(nCtlColor, static_cast<UINT>(CTLCOLOR_STATIC));
        pDC->SetTextColor(kText);
        pDC->SetBkColor(kBehindText);
        return m_brush;
    }
    DECLARE_MESSAGE_MAP()

  private:
    HBRUSH m_brush;
};

IMPLEMENT_MESSAGE_MAP(TintedStatic, CStatic, afx::OnCtlColorReflect<&TintedStatic::CtlColor>());

// Paints its own ground black and leaves every other request to the framework.
class BlackDialog : public CDialogEx {
  public:
    explicit BlackDialog(bool bindLabel) : CDialogEx(IDD_COLOURED), m_bind(bindLabel) {}
    TintedStatic label;
    int ownRequests = 0, passedOn = 0;

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        if (m_bind) DDX_Control(pDX, IDC_LABEL, label);
    }
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
        if (pWnd->m_hWnd == m_hWnd) {
            ++ownRequests;
            return static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        }
        ++passedOn;
        return CDialogEx::OnCtlColor(pDC, pWnd, nCtlColor);
    }
    DECLARE_MESSAGE_MAP()

  private:
    bool m_bind;
};

IMPLEMENT_MESSAGE_MAP(BlackDialog, CDialogEx, afx::On<WM_CTLCOLOR, &BlackDialog::OnCtlColor>());

struct Pixels {
    COLORREF ground, dialogGround;
    bool hasText = false, hasBehindText = false;
};

// Reads the painted pixels of the label and of the dialog around it from their window DCs.
Pixels ReadPixels(HWND dialog, HWND label) {
    Pixels p{};
    RECT rc{};
    ::GetClientRect(label, &rc);
    HDC dc = ::GetDC(label);
    p.ground = ::GetPixel(dc, rc.right - 2, rc.bottom - 2);
    for (int y = 0; y < rc.bottom; ++y) {
        for (int x = 0; x < rc.right; ++x) {
            const COLORREF c = ::GetPixel(dc, x, y);
            // Smoothed text blends into what lies behind it: a pixel nearer the text's white than
            // the blue behind it is text.
            p.hasText |= GetRValue(c) > 127 && GetGValue(c) > 127;
            p.hasBehindText |= c == kBehindText;
        }
    }
    ::ReleaseDC(label, dc);
    HDC dialogDc = ::GetDC(dialog);
    p.dialogGround = ::GetPixel(dialogDc, 2, 2);
    ::ReleaseDC(dialog, dialogDc);
    return p;
}

TEST(Reflection, ColourRequestIsAnsweredByTheBoundControl) {
    BlackDialog dialog(true);
    ASSERT_TRUE(dialog.Create(IDD_COLOURED));
    dialog.MoveWindow(100, 100, 320, 200);
    ::RedrawWindow(dialog.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DrainPosted();
    const Pixels p = ReadPixels(dialog.m_hWnd, dialog.label.m_hWnd);
    EXPECT_GT(dialog.label.requests, 0);
    EXPECT_GT(dialog.passedOn, 0);
    EXPECT_GT(dialog.ownRequests, 0);
    EXPECT_EQ(p.ground, kGround);
    EXPECT_TRUE(p.hasText);
    EXPECT_TRUE(p.hasBehindText);
    EXPECT_EQ(p.dialogGround, RGB(0, 0, 0));
    dialog.DestroyWindow();
}

// A parent without a colour handler of its own: the framework's default handling reflects.
class PlainDialog : public CDialogEx {
  public:
    PlainDialog() : CDialogEx(IDD_COLOURED) {}
    TintedStatic label;

  protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LABEL, label); }
};

TEST(Reflection, ParentWithoutHandlerStillReflects) {
    PlainDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_COLOURED));
    dialog.MoveWindow(100, 100, 320, 200);
    ::RedrawWindow(dialog.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DrainPosted();
    const Pixels p = ReadPixels(dialog.m_hWnd, dialog.label.m_hWnd);
    EXPECT_GT(dialog.label.requests, 0);
    EXPECT_EQ(p.ground, kGround);
    EXPECT_TRUE(p.hasText);
    EXPECT_NE(p.dialogGround, RGB(0, 0, 0));
    dialog.DestroyWindow();
}

TEST(Reflection, UnboundControlGetsTheDefaultColours) {
    BlackDialog dialog(false);
    ASSERT_TRUE(dialog.Create(IDD_COLOURED));
    dialog.MoveWindow(100, 100, 320, 200);
    ::RedrawWindow(dialog.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DrainPosted();
    const Pixels p = ReadPixels(dialog.m_hWnd, ::GetDlgItem(dialog.m_hWnd, IDC_LABEL));
    EXPECT_EQ(dialog.label.requests, 0);
    EXPECT_GT(dialog.passedOn, 0);
    EXPECT_NE(p.ground, kGround);
    EXPECT_FALSE(p.hasBehindText);
    dialog.DestroyWindow();
}

}  // namespace
