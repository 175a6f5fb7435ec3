// The image button on a real window: its size from picture and caption, the pictures of its
// states with real mouse input, the pressed shift, the disabled look without clicks, painting
// that repaints only when asked and allocates nothing.
#include <gtest/gtest.h>

#include <afx/afx.h>

#include <memory>
#include <ostream>
#include <string>

#include "controls/image_button.h"
#include "controls/resource_image.h"
#include "controls_test_ids.h"
#include "controls_test_support.h"
#include "resource.h"

namespace {

using namespace controls_test;

constexpr UINT kButtonId = 3001;
constexpr std::uint32_t kBlack = 0xFF000000;

// A plain window that counts its button's clicks.
class ButtonParent : public CWnd {
  public:
    ButtonParent() {
        CreateEx(0, PlainWindowClass(), L"image buttons", WS_POPUP | WS_VISIBLE, 200, 150, 400, 200,
                 nullptr, nullptr);
    }
    // A child of `parent`, filling it.
    explicit ButtonParent(CWnd& parent) {
        CreateEx(0, PlainWindowClass(), L"", WS_CHILD | WS_VISIBLE, 0, 0, 400, 200, parent.m_hWnd,
                 nullptr);
    }
    int clicks = 0;

  protected:
    void OnClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_MESSAGE_MAP(ButtonParent, CWnd, afx::OnBnClicked<kButtonId, &ButtonParent::OnClicked>());

// The caption font as the button makes it.
struct CaptionFont {
    CaptionFont() {
        LOGFONTW lf{};
        lf.lfHeight = 12;
        lf.lfWeight = FW_NORMAL;
        wcscpy_s(lf.lfFaceName, L"宋体");
        font = ::CreateFontIndirectW(&lf);
    }
    ~CaptionFont() { ::DeleteObject(font); }
    HFONT font;
};

SIZE SizeOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// A picture drawn as the button draws it: natural size at (x, y) over black.
Pixels Reference(UINT id, int width, int height, int x, int y) {
    std::unique_ptr<Gdiplus::Image> image(LoadResourceImage(id, L"PNG", nullptr));
    Canvas canvas(width, height, kBlack);
    canvas.graphics().DrawImage(image.get(), x, y, static_cast<INT>(image->GetWidth()),
                                static_cast<INT>(image->GetHeight()));
    Pixels out = canvas.Read();
    for (std::uint32_t& p : out.argb) p |= 0xFF000000;
    return out;
}

// The button painted now, from its own device context.
Pixels Painted(CImageButton& button) {
    ::InvalidateRect(button.m_hWnd, nullptr, TRUE);
    ::UpdateWindow(button.m_hWnd);
    return CaptureClient(button.m_hWnd);
}

// Channels within a step of rounding.
bool Near(const Pixels& a, const Pixels& b, unsigned tolerance = 2) {
    if (a.width != b.width || a.height != b.height) return false;
    for (std::size_t i = 0; i < a.argb.size(); ++i) {
        const auto d = [](unsigned x, unsigned y) { return x > y ? x - y : y - x; };
        if (d(Red(a.argb[i]), Red(b.argb[i])) > tolerance ||
            d(Green(a.argb[i]), Green(b.argb[i])) > tolerance ||
            d(Blue(a.argb[i]), Blue(b.argb[i])) > tolerance)
            return false;
    }
    return true;
}

struct Fixture : ::testing::Test {
    void SetUp() override {
        ASSERT_NE(parent.m_hWnd, nullptr);
        parent.clicks = 0;
    }
    void TearDown() override {
        button.reset();
        MoveMouseTo({5, 5});
        Settle();
    }

    CImageButton& Make(const wchar_t* caption, UINT normal, UINT hover, UINT disabled,
                       RECT rect = {10, 10, 110, 60}) {
        button = std::make_unique<CImageButton>();
        EXPECT_TRUE(button->Create(caption, WS_CHILD | WS_VISIBLE, rect, &parent, kButtonId));
        button->SetImages(normal, hover, disabled);
        Settle();
        return *button;
    }
    // The mouse rests over the button until its hover picture shows.
    bool Hover(const Pixels& notHovered) {
        MoveMouseTo(ScreenPoint(button->m_hWnd, {4, 4}));
        return PumpUntil([&] { return Painted(*button) != notHovered; });
    }

    ButtonParent& parent = SharedWindow<ButtonParent>();
    std::unique_ptr<CImageButton> button;
};

using ImageButtonSize = Fixture;

TEST_F(ImageButtonSize, PictureWithCaptionIsPictureGapCaptionAndOnePixel) {
    CaptionFont font;
    const TextSample text = SampleText(L"刷新", font.font);
    ASSERT_GT(text.extent.cx, 0);
    CImageButton& b = Make(L"刷新", IDP_REFRESH_ICON, IDP_REFRESH_ICON_HOVER, 0);
    const SIZE size = SizeOf(b.m_hWnd);
    EXPECT_EQ(size.cx, 15 + text.extent.cx + 3);
    EXPECT_EQ(size.cy, std::max(15L, text.extent.cy) + 1);

    RECT r{};
    ::GetWindowRect(b.m_hWnd, &r);
    ::MapWindowPoints(nullptr, parent.m_hWnd, reinterpret_cast<POINT*>(&r), 1);
    EXPECT_EQ(r.left, 10);  // the position stays
    EXPECT_EQ(r.top, 10);
}

struct SizeCase {
    const char* name;
    UINT normal, disabled;
    SIZE expected;
};
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

class ImageButtonSizeWithoutCaption : public Fixture,
                                      public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ImageButtonSizeWithoutCaption, IsThePictureAndOnePixel) {
    const SizeCase& c = GetParam();
    CImageButton& b = Make(nullptr, c.normal, 0, c.disabled);
    const SIZE size = SizeOf(b.m_hWnd);
    EXPECT_EQ(size.cx, c.expected.cx);
    EXPECT_EQ(size.cy, c.expected.cy);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ImageButtonSizeWithoutCaption,
    ::testing::Values(SizeCase{"WindowButton", IDP_WIN_CLOSE, 0, {23, 23}},
                      SizeCase{"Logo", IDP_LOGO_SMALL, 0, {41, 41}},
                      SizeCase{"OnlyDisabledPicture", 0, IDP_WIN_MINIMIZE_DISABLED, {23, 23}},
                      SizeCase{"UndecodablePicture", IDP_TEST_NOT_A_PICTURE, 0, {1, 1}},
                      SizeCase{"NoPictureKeepsTheCreationSize", 0, 0, {100, 50}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImageButtonSize, UndecodablePictureWithCaptionIsCaptionSized) {
    CaptionFont font;
    const TextSample text = SampleText(L"隐藏", font.font);
    CImageButton& b = Make(L"隐藏", IDP_TEST_NOT_A_PICTURE, 0, 0);
    const SIZE size = SizeOf(b.m_hWnd);
    EXPECT_EQ(size.cx, text.extent.cx + 3);
    EXPECT_EQ(size.cy, text.extent.cy + 1);
}

TEST_F(ImageButtonSize, SecondSetImagesReplacesThePictureAndResizes) {
    CImageButton& b = Make(nullptr, IDP_WIN_CLOSE, 0, 0);
    EXPECT_EQ(SizeOf(b.m_hWnd).cx, 23);
    b.SetImages(IDP_LOGO_SMALL, 0, 0);
    EXPECT_EQ(SizeOf(b.m_hWnd).cx, 41);
    EXPECT_EQ(SizeOf(b.m_hWnd).cy, 41);
    EXPECT_TRUE(Near(Painted(b), Reference(IDP_LOGO_SMALL, 41, 41, 0, 0)));
    b.SetImages(0, 0, 0);  // changes nothing
    EXPECT_EQ(SizeOf(b.m_hWnd).cx, 41);
    EXPECT_TRUE(Near(Painted(b), Reference(IDP_LOGO_SMALL, 41, 41, 0, 0)));
}

struct CaptionCase {
    const char* name;
    std::size_t given, kept;
};
void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.name; }

class LongCaption : public Fixture, public ::testing::WithParamInterface<CaptionCase> {};

// Each unit of the caption is one character; the first 259 are kept.
TEST_P(LongCaption, KeepsAtMostItsFirst259Units) {
    const CaptionCase& c = GetParam();
    std::wstring caption;
    for (std::size_t i = 0; i < c.given; ++i) caption += i < 259 ? L'i' : L'W';
    CaptionFont font;
    const TextSample kept = SampleText(caption.substr(0, c.kept).c_str(), font.font);
    CImageButton& b = Make(caption.c_str(), IDP_REFRESH_ICON, 0, 0, {0, 0, 10, 10});
    EXPECT_EQ(SizeOf(b.m_hWnd).cx, 15 + kept.extent.cx + 3);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongCaption,
                         ::testing::Values(CaptionCase{"Fits", 259, 259},
                                           CaptionCase{"OneTooLong", 260, 259},
                                           CaptionCase{"FarTooLong", 1000, 259}),
                         [](const auto& info) { return std::string(info.param.name); });

using ImageButtonLook = Fixture;

// The caption's ink, right of the picture, where GDI puts it for a cell at (17, y).
TEST_F(ImageButtonLook, CaptionStartsTwoPixelsRightOfThePicture) {
    CaptionFont font;
    const TextSample text = SampleText(L"刷新", font.font);
    ASSERT_TRUE(text.ink.any);
    CImageButton& b = Make(L"刷新", IDP_REFRESH_ICON, IDP_REFRESH_ICON_HOVER, 0);
    const Pixels painted = Painted(b);
    const RECT captionArea{15, 0, painted.width, painted.height};
    const InkBox ink = FindInk(painted, kBlack, &captionArea);
    ASSERT_TRUE(ink.any);
    const int cellTop = (painted.height - text.extent.cy) / 2;
    EXPECT_EQ(ink.left, 17 + text.ink.left);
    EXPECT_EQ(ink.top, cellTop + text.ink.top);
    EXPECT_EQ(ink.right, 17 + text.ink.right);
    EXPECT_EQ(ink.bottom, cellTop + text.ink.bottom);
    // The picture, centred vertically, on black.
    const int pictureTop = (painted.height - 15) / 2;
    const Pixels reference =
        Reference(IDP_REFRESH_ICON, painted.width, painted.height, 0, pictureTop);
    const RECT pictureArea{0, 0, 15, painted.height};
    EXPECT_TRUE(Near(painted.Crop(pictureArea), reference.Crop(pictureArea)));
}

TEST_F(ImageButtonLook, HoverShowsTheHoverPictureAndPressingShiftsEverythingByOnePixel) {
    CImageButton& b = Make(L"刷新", IDP_REFRESH_ICON, IDP_REFRESH_ICON_HOVER, 0);
    const Pixels normal = Painted(b);
    ASSERT_TRUE(Hover(normal));
    const Pixels hovered = Painted(b);
    const int pictureTop = (hovered.height - 15) / 2;
    const RECT pictureArea{0, 0, 15, hovered.height};
    EXPECT_TRUE(Near(hovered.Crop(pictureArea),
                     Reference(IDP_REFRESH_ICON_HOVER, 15, hovered.height, 0, pictureTop)));

    LeftButton(true);
    ASSERT_TRUE(PumpUntil([&] { return Painted(b) != hovered; }));
    const Pixels pressed = Painted(b);
    // Picture and caption together, one pixel right and down; the row and column uncovered are
    // black.
    for (int y = 0; y < pressed.height; ++y) {
        for (int x = 0; x < pressed.width; ++x) {
            const std::uint32_t expected = x == 0 || y == 0 ? kBlack : hovered.at(x - 1, y - 1);
            ASSERT_EQ(Rgb(pressed.at(x, y)), Rgb(expected)) << x << "," << y;
        }
    }
    LeftButton(false);
    ASSERT_TRUE(PumpUntil([&] { return Painted(b) == hovered; }));
    EXPECT_EQ(parent.clicks, 1);
}

TEST_F(ImageButtonLook, MissingHoverPictureShowsTheNormalOneAndPressingStillShiftsIt) {
    CImageButton& b = Make(nullptr, IDP_HIDE, 0, 0);
    const Pixels normal = Painted(b);
    EXPECT_TRUE(Near(normal, Reference(IDP_HIDE, 23, 23, 0, 0)));
    MoveMouseTo(ScreenPoint(b.m_hWnd, {4, 4}));
    Settle();
    EXPECT_EQ(Painted(b), normal);
    LeftButton(true);
    ASSERT_TRUE(PumpUntil([&] { return Painted(b) != normal; }));
    EXPECT_TRUE(Near(Painted(b), Reference(IDP_HIDE, 23, 23, 1, 1)));
    LeftButton(false);
    ASSERT_TRUE(PumpUntil([&] { return parent.clicks == 1; }));
    EXPECT_EQ(Painted(b), normal);
}

TEST_F(ImageButtonLook, LeavingShowsTheNormalPictureAgain) {
    CImageButton& b = Make(nullptr, IDP_WIN_CLOSE, IDP_WIN_CLOSE_HOVER, 0);
    const Pixels normal = Painted(b);
    ASSERT_TRUE(Hover(normal));
    EXPECT_TRUE(Near(Painted(b), Reference(IDP_WIN_CLOSE_HOVER, 23, 23, 0, 0)));
    MoveMouseTo(ScreenPoint(parent.m_hWnd, {300, 150}));
    ASSERT_TRUE(PumpUntil([&] { return Painted(b) == normal; }));
    // Tracking is asked for again on the next visit.
    ASSERT_TRUE(Hover(normal));
}

// The game window's logo: disabled, with only a normal picture.
TEST_F(ImageButtonLook, DisabledWithoutDisabledPictureShowsTheNormalOneAndNeverClicks) {
    CImageButton& b = Make(nullptr, IDP_LOGO_SMALL, 0, 0);
    b.EnableWindow(FALSE);
    const Pixels expected = Reference(IDP_LOGO_SMALL, 41, 41, 0, 0);
    EXPECT_TRUE(Near(Painted(b), expected));
    MoveMouseTo(ScreenPoint(b.m_hWnd, {10, 10}));
    Settle();
    LeftButton(true);
    Settle();
    EXPECT_TRUE(Near(Painted(b), expected)) << "pressed while disabled";
    LeftButton(false);
    Settle();
    EXPECT_TRUE(Near(Painted(b), expected));
    EXPECT_EQ(parent.clicks, 0);
}

TEST_F(ImageButtonLook, DisabledWithDisabledPictureShowsIt) {
    CImageButton& b =
        Make(nullptr, IDP_WIN_MAXIMIZE, IDP_WIN_MAXIMIZE_HOVER, IDP_WIN_MAXIMIZE_DISABLED);
    b.EnableWindow(FALSE);
    EXPECT_TRUE(Near(Painted(b), Reference(IDP_WIN_MAXIMIZE_DISABLED, 23, 23, 0, 0)));
    b.EnableWindow(TRUE);
    EXPECT_TRUE(Near(Painted(b), Reference(IDP_WIN_MAXIMIZE, 23, 23, 0, 0)));
}

TEST_F(ImageButtonLook, EnableWindowAloneDoesNotRepaint) {
    CImageButton& b =
        Make(nullptr, IDP_WIN_MAXIMIZE, IDP_WIN_MAXIMIZE_HOVER, IDP_WIN_MAXIMIZE_DISABLED);
    const Pixels normal = Painted(b);
    ASSERT_TRUE(Near(normal, Reference(IDP_WIN_MAXIMIZE, 23, 23, 0, 0)));
    b.EnableWindow(FALSE);
    Settle();
    EXPECT_FALSE(::GetUpdateRect(b.m_hWnd, nullptr, FALSE));
    EXPECT_EQ(CaptureClient(b.m_hWnd), normal);
    // The new look shows at the next paint.
    EXPECT_TRUE(Near(Painted(b), Reference(IDP_WIN_MAXIMIZE_DISABLED, 23, 23, 0, 0)));
}

TEST_F(ImageButtonLook, PaintingAllocatesNoGdiObjects) {
    CImageButton& b = Make(L"官网", IDP_HOME_ICON, IDP_HOME_ICON_HOVER, 0);
    for (int i = 0; i < 5; ++i) Painted(b);
    const int before = GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 300; ++i) {
        ::InvalidateRect(b.m_hWnd, nullptr, TRUE);
        ::UpdateWindow(b.m_hWnd);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST_F(ImageButtonLook, PaintsWithoutAPicture) {
    CImageButton& b = Make(L"无图", 0, 0, 0);
    const Pixels painted = Painted(b);
    ASSERT_EQ(painted.width, 100);
    for (std::uint32_t p : painted.argb) ASSERT_EQ(Rgb(p), 0u) << "only black, no caption";
}

using ImageButtonLifetime = Fixture;

// Every button returns what it took: device context, font, surface, pictures; also when its
// window goes first, with its parent.
TEST_F(ImageButtonLifetime, ManyButtonsLeaveGdiObjectsFlat) {
    const auto cycle = [&](bool parentFirst) {
        auto owner = std::make_unique<ButtonParent>(static_cast<CWnd&>(parent));
        auto b = std::make_unique<CImageButton>();
        ASSERT_TRUE(b->Create(L"刷新", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, owner.get(), 7));
        b->SetImages(IDP_REFRESH_ICON, IDP_REFRESH_ICON_HOVER, IDP_REFRESH_ICON_DISABLED);
        ::UpdateWindow(b->m_hWnd);
        if (parentFirst) {
            owner.reset();
            EXPECT_EQ(b->m_hWnd, nullptr);
        }
        b.reset();
    };
    for (bool parentFirst : {false, true}) {
        SCOPED_TRACE(parentFirst ? "parent destroyed first" : "button deleted first");
        for (int i = 0; i < 5; ++i) cycle(parentFirst);
        const int before = GdiObjectCount();
        for (int i = 0; i < 100; ++i) cycle(parentFirst);
        PumpPending();
        EXPECT_EQ(GdiObjectCount(), before);
    }
}

TEST_F(ImageButtonLifetime, CreateFailsWithoutAParentForAChild) {
    CImageButton b;
    EXPECT_FALSE(b.Create(L"x", WS_CHILD, {0, 0, 10, 10}, nullptr, 5));
    EXPECT_EQ(b.m_hWnd, nullptr);
}

// A button bound to an existing window becomes owner-drawn.
TEST_F(ImageButtonLifetime, SubclassedButtonBecomesOwnerDrawn) {
    HWND existing = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0,
                                      0, 20, 20, parent.m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_NE(existing, nullptr);
    CImageButton b;
    ASSERT_TRUE(b.SubclassWindow(existing));
    EXPECT_EQ(::GetWindowLongW(existing, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

}  // namespace
