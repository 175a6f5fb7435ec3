// The coloured label bound to the game window's template control: its colours across the whole
// control, its font, one brush and one font alive at any time.
#include <gtest/gtest.h>

#include <afx/afx.h>

#include <cstring>

#include "controls/s_text.h"
#include "controls_test_support.h"
#include "resource.h"

namespace {

using namespace controls_test;

constexpr COLORREF kBlackRef = RGB(0, 0, 0);
constexpr COLORREF kWhiteRef = RGB(255, 255, 255);

// The game window's template with its server line bound to a label.
class LabelDialog : public CDialogEx {
  public:
    LabelDialog() : CDialogEx(IDD_GAME) {}
    CSText label;

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialogEx::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_GAME_TITLE, label);
    }
};

HFONT MakeFont(int height, LPCWSTR face = L"宋体") {
    return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                         0, face);
}

// The game window's template, shown once for every test, its label wide enough for the texts
// with room beside them.
struct SharedDialog : LabelDialog {
    SharedDialog() {
        if (!Create(IDD_GAME)) return;
        MoveWindow(100, 600, 500, 200);
        ShowWindow(SW_SHOW);
        ::SetWindowPos(label.m_hWnd, nullptr, 10, 10, 300, 40, SWP_NOZORDER);
    }
};

struct Fixture : ::testing::Test {
    void SetUp() override {
        ASSERT_NE(dialog.label.m_hWnd, nullptr);
        Settle();
    }

    // A label as it paints itself now.
    Pixels Painted(HWND label) {
        ::RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return CaptureClient(label);
    }
    Pixels Painted() { return Painted(dialog.label.m_hWnd); }
    // The brush the label answers the colour request with, asked as the static control asks.
    HBRUSH AnsweredBrush(HWND label, COLORREF* text = nullptr, COLORREF* back = nullptr) {
        HDC dc = ::GetDC(label);
        auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(dialog.m_hWnd, WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(label)));
        if (text) *text = ::GetTextColor(dc);
        if (back) *back = ::GetBkColor(dc);
        ::ReleaseDC(label, dc);
        return brush;
    }
    static HFONT CurrentFont(HWND label) {
        return reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0));
    }

    LabelDialog& dialog = SharedWindow<SharedDialog>();
};

using Label = Fixture;

TEST_F(Label, StartsBlackOnWhite) {
    CSText fresh;
    ASSERT_TRUE(fresh.Create(L"x", WS_CHILD | WS_VISIBLE, {0, 60, 50, 80}, &dialog, 79));
    COLORREF text = 1, back = 1;
    HBRUSH brush = AnsweredBrush(fresh.m_hWnd, &text, &back);
    ASSERT_NE(brush, nullptr);
    LOGBRUSH lb{};
    ASSERT_EQ(::GetObjectW(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, kWhiteRef);
    EXPECT_EQ(text, kBlackRef);
    EXPECT_EQ(back, kWhiteRef);
}

// The game window's server line: black ground, white text, 16-pixel 宋体.
TEST_F(Label, WhiteOnBlackAcrossItsWholeRectangleInThe16PixelFont) {
    CSText& label = dialog.label;
    label.SetBkColor(kBlackRef);
    label.SetTextColor(kWhiteRef);
    label.SetFont(16, 0, 400, FALSE, FALSE, FALSE, L"宋体");
    label.SetWindowText(L"三区 风云");
    const Pixels painted = Painted();
    ASSERT_EQ(painted.width, 300);
    // Only black, white and the greys between them, anywhere in the control.
    // The text is white; smoothed, its edges are the greys between.
    int light = 0;
    for (std::uint32_t p : painted.argb) {
        ASSERT_TRUE(Red(p) == Green(p) && Green(p) == Blue(p)) << std::hex << p;
        light += Red(p) > 0x80;
    }
    EXPECT_GT(light, 10);
    // Where no text is, black: the corners and the part right of the text.
    for (auto [x, y] : {std::pair{0, 0}, {299, 0}, {0, 39}, {299, 39}, {250, 20}})
        EXPECT_EQ(Rgb(painted.at(x, y)), 0u) << x << "," << y;
    // The text's ink is that of the 16-pixel font.
    HFONT reference = MakeFont(16);
    const TextSample sample = SampleText(L"三区 风云", reference);
    ::DeleteObject(reference);
    const InkBox ink = FindInk(painted, 0xFF000000);
    ASSERT_TRUE(ink.any);
    EXPECT_EQ(ink.right - ink.left, sample.ink.right - sample.ink.left);
    EXPECT_EQ(ink.bottom - ink.top, sample.ink.bottom - sample.ink.top);
}

TEST_F(Label, ManyBackgroundColoursKeepOneBrush) {
    CSText& label = dialog.label;
    label.SetBkColor(RGB(1, 2, 3));
    const int before = GdiObjectCount();
    ASSERT_GT(before, 0);
    HBRUSH previous = AnsweredBrush(label.m_hWnd);
    for (int i = 0; i < 200; ++i) {
        const COLORREF colour = RGB(i, 255 - i, (i * 7) & 0xFF);
        label.SetBkColor(colour);
        HBRUSH now = AnsweredBrush(label.m_hWnd);
        LOGBRUSH lb{};
        ASSERT_EQ(::GetObjectW(now, sizeof lb, &lb), static_cast<int>(sizeof lb));
        ASSERT_EQ(lb.lbColor, colour);
        if (now != previous) {
            ASSERT_EQ(::GetObjectType(previous), 0u) << "old brush alive";
        }
        previous = now;
    }
    EXPECT_EQ(GdiObjectCount(), before);
    label.SetBkColor(RGB(0, 128, 0));
    const Pixels painted = Painted();
    EXPECT_EQ(Rgb(painted.at(295, 35)), 0x008000u);
}

struct FontCall {
    const char* name;
    bool indirect;
};
void PrintTo(const FontCall& c, std::ostream* os) { *os << c.name; }

class LabelFont : public Fixture, public ::testing::WithParamInterface<FontCall> {
  protected:
    void Apply(CSText& label, int height) {
        if (GetParam().indirect) {
            LOGFONTW lf{};
            lf.lfHeight = height;
            lf.lfWeight = FW_NORMAL;
            wcscpy_s(lf.lfFaceName, L"宋体");
            label.SetFontIndirect(&lf);
        } else {
            label.SetFont(height, 0, FW_NORMAL, FALSE, FALSE, FALSE, L"宋体");
        }
    }
};

// A label that has had no font yet.
TEST_P(LabelFont, TwoCallsKeepOneFontAndShowTheSecond) {
    CSText label;
    ASSERT_TRUE(label.Create(L"", WS_CHILD | WS_VISIBLE, {10, 60, 310, 100}, &dialog, 80));
    label.SetBkColor(kBlackRef);
    label.SetTextColor(kWhiteRef);
    label.SetWindowText(L"服务器");
    const int before = GdiObjectCount();
    Apply(label, 14);
    HFONT first = CurrentFont(label.m_hWnd);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(::GetObjectType(first), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GdiObjectCount(), before + 1);
    Apply(label, 30);
    HFONT second = CurrentFont(label.m_hWnd);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(::GetObjectType(second), static_cast<DWORD>(OBJ_FONT));
    if (second != first) {
        EXPECT_EQ(::GetObjectType(first), 0u) << "the first font is alive";
    }
    EXPECT_EQ(GdiObjectCount(), before + 1);
    LOGFONTW lf{};
    ASSERT_GT(::GetObjectW(second, sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfHeight, 30);

    HFONT reference = MakeFont(30);
    const TextSample sample = SampleText(L"服务器", reference);
    ::DeleteObject(reference);
    const InkBox ink = FindInk(Painted(label.m_hWnd), 0xFF000000);
    ASSERT_TRUE(ink.any);
    EXPECT_EQ(ink.bottom - ink.top, sample.ink.bottom - sample.ink.top);
    EXPECT_EQ(ink.right - ink.left, sample.ink.right - sample.ink.left);
}

INSTANTIATE_TEST_SUITE_P(Calls, LabelFont,
                         ::testing::Values(FontCall{"SetFont", false},
                                           FontCall{"SetFontIndirect", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Label, NewWindowTextRepaintsWithTheCurrentColoursAndFont) {
    CSText& label = dialog.label;
    label.SetBkColor(RGB(0, 0, 128));
    label.SetTextColor(RGB(255, 255, 0));
    label.SetFont(16, 0, 400, FALSE, FALSE, FALSE, L"宋体");
    label.SetWindowText(L"区");
    const InkBox shortText = FindInk(Painted(), 0xFF000080);
    ::SetWindowTextW(label.m_hWnd, L"区服务器三区");
    Settle();
    const Pixels painted = CaptureClient(label.m_hWnd);  // as the control repainted itself
    const InkBox longText = FindInk(painted, 0xFF000080);
    ASSERT_TRUE(shortText.any && longText.any);
    EXPECT_GT(longText.right, shortText.right + 40);
    EXPECT_EQ(Rgb(painted.at(295, 35)), 0x000080u);
    bool yellow = false;
    for (std::uint32_t p : painted.argb) yellow |= Rgb(p) == 0xFFFF00;
    EXPECT_TRUE(yellow);
}

TEST_F(Label, DeletingItReleasesItsBrushAndFont) {
    const int before = GdiObjectCount();
    {
        auto label = std::make_unique<CSText>();
        EXPECT_EQ(GdiObjectCount(), before + 1);  // its brush
        ASSERT_TRUE(label->Create(L"x", WS_CHILD | WS_VISIBLE, {0, 0, 50, 20}, &dialog, 77));
        label->SetFont(16, 0, 400, FALSE, FALSE, FALSE, L"宋体");
        label->SetBkColor(RGB(9, 9, 9));
        EXPECT_EQ(GdiObjectCount(), before + 2);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(Label, CreateAddsNotifyAndTheClassIsKnownByName) {
    CSText label;
    ASSERT_TRUE(label.Create(L"x", WS_CHILD | WS_VISIBLE, {0, 0, 50, 20}, &dialog, 78));
    EXPECT_TRUE(::GetWindowLongW(label.m_hWnd, GWL_STYLE) & SS_NOTIFY);
    EXPECT_STREQ(label.GetRuntimeClass()->m_lpszClassName, "CSText");
    EXPECT_TRUE(label.IsKindOf(RUNTIME_CLASS(CStatic)));
}

// Without a window there is nothing to repaint: other windows are left alone.
TEST_F(Label, SettersBeforeTheWindowExistsRepaintNothingElse) {
    ::ValidateRect(dialog.m_hWnd, nullptr);
    ::ValidateRect(dialog.label.m_hWnd, nullptr);
    CSText unbound;
    unbound.SetBkColor(RGB(1, 1, 1));
    unbound.SetTextColor(RGB(2, 2, 2));
    unbound.SetFont(16, 0, 400, FALSE, FALSE, FALSE, L"宋体");
    EXPECT_FALSE(::GetUpdateRect(dialog.m_hWnd, nullptr, FALSE));
    EXPECT_FALSE(::GetUpdateRect(dialog.label.m_hWnd, nullptr, FALSE));
}

}  // namespace
