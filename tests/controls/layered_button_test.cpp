// Layered buttons on a real layered owner that composes like the launcher: the image for each
// state under real mouse input, one composition per change of image, the scaled hover image,
// check styles, keys that never press, images released and the button resized on a second set.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "controls/layered_button.h"
#include "controls/resource_image.h"
#include "controls_test_ids.h"
#include "controls_test_support.h"
#include "layered_owner.h"
#include "resource.h"

namespace {

using namespace controls_test;

constexpr UINT kId = LayeredOwner::kButtonId;
// The launcher's official-site button: normal, disabled, hover, pressed, checked.
constexpr UINT kOfficial[5] = {IDP_OFFICIAL, IDP_OFFICIAL_PRESSED, IDP_OFFICIAL_HOVER,
                               IDP_OFFICIAL_PRESSED, 0};

// The owner every test shares, at (800, 300), 240 x 130, clear of the other tests' windows.
struct SharedOwner : LayeredOwner {
    SharedOwner() : LayeredOwner({800, 300}, {240, 130}) {}
};

struct Fixture : ::testing::Test {
    void SetUp() override {
        ASSERT_NE(owner.m_hWnd, nullptr);
        owner.Reset();
        MoveMouseTo(Away());
        Settle();
    }
    void TearDown() override {
        LeftButton(false);
        MoveMouseTo(Away());
        Settle();
        owner.Reset();
        button.reset();
    }

    // A button at (20, 20) of the owner, composed once, with the counts cleared.
    CLayeredButton& Make(const UINT ids[5], DWORD style = 0) {
        button = std::make_unique<CLayeredButton>();
        EXPECT_TRUE(
            button->Create(nullptr, WS_CHILD | WS_VISIBLE | style, {20, 20, 120, 70}, &owner, kId));
        EXPECT_TRUE(button->SetImages(ids, L"PNG", nullptr));
        owner.Add(button.get());
        owner.Compose();
        Settle();
        owner.renders = 0;
        owner.senders.clear();
        return *button;
    }
    // Screen points: on the button, and on the owner's ground away from it.
    POINT On(int dx = 0) { return ScreenPoint(owner.m_hWnd, {30 + dx, 28}); }
    POINT OffButton() { return ScreenPoint(owner.m_hWnd, {200, 100}); }
    static POINT Away() { return {5, 5}; }

    bool Shows(UINT id) { return owner.pushed == owner.With(*button, id); }
    bool WaitRenders(int n) {
        return PumpUntil([&] { return owner.renders >= n; }) && owner.renders == n;
    }

    LayeredOwner& owner = SharedWindow<SharedOwner>();
    std::unique_ptr<CLayeredButton> button;
};

using LayeredButton = Fixture;

TEST_F(LayeredButton, SetImagesSizesToTheNormalImageAndShowsIt) {
    CLayeredButton& b = Make(kOfficial);
    const RECT r = LayeredOwner::RectOf(b);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 71);
    EXPECT_EQ(r.bottom - r.top, 24);
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
    EXPECT_EQ(owner.renders, 0) << "the listener is not told by SetImages";
}

// Enter, press, release inside, leave: one composition for each, four in all.
TEST_F(LayeredButton, OfficialSiteSequenceComposesOncePerStep) {
    CLayeredButton& b = Make(kOfficial);
    MoveMouseTo(On());
    ASSERT_TRUE(WaitRenders(1));
    EXPECT_TRUE(Shows(IDP_OFFICIAL_HOVER));
    MoveMouseTo(On(5));  // moves that keep the image compose nothing
    MoveMouseTo(On(9));
    Settle();
    EXPECT_EQ(owner.renders, 1);

    LeftButton(true);
    ASSERT_TRUE(WaitRenders(2));
    EXPECT_TRUE(Shows(IDP_OFFICIAL_PRESSED));
    LeftButton(false);
    ASSERT_TRUE(WaitRenders(3));
    EXPECT_TRUE(Shows(IDP_OFFICIAL_HOVER));
    EXPECT_TRUE(PumpUntil([&] { return owner.clicks == 1; }));

    MoveMouseTo(OffButton());
    ASSERT_TRUE(WaitRenders(4));
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
    Settle();
    EXPECT_EQ(owner.renders, 4);
    EXPECT_EQ(owner.clicks, 1);
    for (CLayeredButton* sender : owner.senders) EXPECT_EQ(sender, &b);
}

// What the owner pushes is what the screen shows; the button's own painting never shows.
TEST_F(LayeredButton, TheScreenShowsThePushedLayer) {
    CLayeredButton& b = Make(kOfficial);
    MoveMouseTo(On());
    ASSERT_TRUE(WaitRenders(1));
    RECT onScreen = LayeredOwner::RectOf(b);
    ::MapWindowPoints(owner.m_hWnd, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    Pixels screen;
    const Pixels pushed = owner.pushed.Crop(LayeredOwner::RectOf(b));
    ASSERT_TRUE(PumpUntil([&] {
        screen = CaptureScreen(onScreen);
        for (std::size_t i = 0; i < screen.argb.size(); ++i)
            if (Rgb(screen.argb[i]) != Rgb(pushed.argb[i])) return false;
        return true;
    }));
}

TEST_F(LayeredButton, PressWithoutPressedImageShowsTheNormalImage) {
    const UINT ids[5] = {IDP_OFFICIAL, IDP_OFFICIAL_PRESSED, IDP_OFFICIAL_HOVER, 0, 0};
    Make(ids);
    MoveMouseTo(On());
    ASSERT_TRUE(WaitRenders(1));
    EXPECT_TRUE(Shows(IDP_OFFICIAL_HOVER));
    LeftButton(true);
    ASSERT_TRUE(WaitRenders(2));
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
    LeftButton(false);
    ASSERT_TRUE(WaitRenders(3));
    EXPECT_TRUE(Shows(IDP_OFFICIAL_HOVER));
    EXPECT_TRUE(PumpUntil([&] { return owner.clicks == 1; }));
}

// The release comes outside while the mouse still rests over the button: no WM_MOUSELEAVE has
// come, yet the normal image shows at once.
TEST_F(LayeredButton, ReleaseOutsideEndsHoverAtOnceWithoutAClick) {
    CLayeredButton& b = Make(kOfficial);
    MoveMouseTo(On());
    ASSERT_TRUE(WaitRenders(1));
    LeftButton(true);
    ASSERT_TRUE(WaitRenders(2));
    ::PostMessageW(b.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(71 + 30, 5));
    ASSERT_TRUE(WaitRenders(3));
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
    LeftButton(false);  // the physical button comes up over the button, after the release
    Settle();
    EXPECT_EQ(owner.renders, 3);
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
    EXPECT_EQ(owner.clicks, 0);
}

TEST_F(LayeredButton, DraggingOutAndReleasingSendsNoClick) {
    Make(kOfficial);
    MoveMouseTo(On());
    ASSERT_TRUE(WaitRenders(1));
    LeftButton(true);
    ASSERT_TRUE(WaitRenders(2));
    MoveMouseTo(OffButton());
    LeftButton(false);
    ASSERT_TRUE(WaitRenders(3));
    Settle();
    EXPECT_EQ(owner.renders, 3);
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
    EXPECT_EQ(owner.clicks, 0);
}

// The close button: 27 x 27, its hover image 39 x 39.
TEST_F(LayeredButton, LargerHoverImageIsDrawnShrunkIntoTheButton) {
    const UINT ids[5] = {IDP_CLOSE, IDP_CLOSE_PRESSED, IDP_CLOSE_HOVER, IDP_CLOSE_PRESSED, 0};
    CLayeredButton& b = Make(ids);
    const RECT r = LayeredOwner::RectOf(b);
    ASSERT_EQ(r.right - r.left, 27);
    ASSERT_EQ(r.bottom - r.top, 27);
    MoveMouseTo(On(-5));
    ASSERT_TRUE(WaitRenders(1));
    EXPECT_TRUE(Shows(IDP_CLOSE_HOVER));  // scaled into 27 x 27, nothing outside it
    // Not the image at its own size.
    Canvas natural(240, 130);
    Gdiplus::SolidBrush ground{Gdiplus::Color(LayeredOwner::kGround)};
    natural.graphics().FillRectangle(&ground, LayeredOwner::kFrame, LayeredOwner::kFrame,
                                     240 - 2 * LayeredOwner::kFrame,
                                     130 - 2 * LayeredOwner::kFrame);
    std::unique_ptr<Gdiplus::Image> hover(LoadResourceImage(IDP_CLOSE_HOVER, L"PNG", nullptr));
    natural.graphics().DrawImage(hover.get(), 20, 20, 39, 39);
    EXPECT_NE(owner.pushed, natural.Read());
}

struct StyleCase {
    const char* name;
    DWORD style;
    bool checks;
};
void PrintTo(const StyleCase& c, std::ostream* os) { *os << c.name; }

class LayeredButtonStyle : public Fixture, public ::testing::WithParamInterface<StyleCase> {
  protected:
    // A full click with the mouse at `dx` right of the usual point, then the mouse leaves.
    // Clicks at points far enough apart are no double click.
    void ClickAndLeave(int& expectedRenders, int dx) {
        MoveMouseTo(On(dx));
        ASSERT_TRUE(PumpUntil([&] { return owner.renders > expectedRenders; }));
        LeftButton(true);
        Settle();
        LeftButton(false);
        Settle();
        MoveMouseTo(OffButton());
        Settle();
        expectedRenders = owner.renders;
    }
};

// The checked image is the recharge button's normal picture, distinct from the others.
TEST_P(LayeredButtonStyle, ClicksFlipTheCheckedImageOnlyForCheckStyles) {
    const UINT ids[5] = {IDP_OFFICIAL, IDP_OFFICIAL_PRESSED, IDP_OFFICIAL_HOVER,
                         IDP_OFFICIAL_PRESSED, IDP_RECHARGE};
    Make(ids, GetParam().style);
    int renders = 0;
    ClickAndLeave(renders, 0);
    EXPECT_TRUE(Shows(GetParam().checks ? IDP_RECHARGE : IDP_OFFICIAL));
    ClickAndLeave(renders, 25);
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
    EXPECT_EQ(owner.clicks, 2);
}

INSTANTIATE_TEST_SUITE_P(Styles, LayeredButtonStyle,
                         ::testing::Values(StyleCase{"PushButton", BS_PUSHBUTTON, false},
                                           StyleCase{"DefPushButton", BS_DEFPUSHBUTTON, false},
                                           StyleCase{"CheckBox", BS_CHECKBOX, true},
                                           StyleCase{"AutoCheckBox", BS_AUTOCHECKBOX, true},
                                           StyleCase{"RadioButton", BS_RADIOBUTTON, true},
                                           StyleCase{"AutoRadioButton", BS_AUTORADIOBUTTON, true},
                                           StyleCase{"CheckBoxTextLeft",
                                                     BS_AUTOCHECKBOX | BS_LEFTTEXT, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct KeyCase {
    const char* name;
    bool layered;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class KeyboardInput : public Fixture, public ::testing::WithParamInterface<KeyCase> {};

// A system button with the focus clicks on the space bar; a layered button never.
TEST_P(KeyboardInput, NeverPressesALayeredButton) {
    std::unique_ptr<CButton> b;
    if (GetParam().layered) {
        Make(kOfficial);
    } else {
        b = std::make_unique<CButton>();
        ASSERT_TRUE(b->Create(L"plain", WS_CHILD | WS_VISIBLE, {20, 20, 91, 44}, &owner, kId));
    }
    HWND target = GetParam().layered ? button->m_hWnd : b->m_hWnd;
    ::SetForegroundWindow(owner.m_hWnd);
    ::SetFocus(target);
    ASSERT_EQ(::GetFocus(), target);
    TapKey(VK_SPACE);
    TapKey(VK_RETURN);
    if (!GetParam().layered) {
        EXPECT_TRUE(PumpUntil([&] { return owner.clicks == 1; }));
        return;
    }
    Settle();
    EXPECT_EQ(owner.clicks, 0);
    EXPECT_EQ(owner.renders, 0);
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
}

INSTANTIATE_TEST_SUITE_P(Buttons, KeyboardInput,
                         ::testing::Values(KeyCase{"SystemButton", false},
                                           KeyCase{"LayeredButton", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayeredButton, EnableChangesComposeOnlyWhenTheStateChanges) {
    CLayeredButton& b = Make(kOfficial);
    b.EnableWindow(FALSE);
    EXPECT_EQ(owner.renders, 1);
    EXPECT_TRUE(Shows(IDP_OFFICIAL_PRESSED));
    b.EnableWindow(FALSE);
    b.SendMessage(WM_ENABLE, FALSE);
    EXPECT_EQ(owner.renders, 1);
    b.EnableWindow(TRUE);
    EXPECT_EQ(owner.renders, 2);
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
}

TEST_F(LayeredButton, SetImagesTwiceReleasesTheFirstSetAndResizesAgain) {
    const auto minimizePressed = ResourceBytes(L"PNG", IDP_MINIMIZE_PRESSED);
    const auto minimize = ResourceBytes(L"PNG", IDP_MINIMIZE);
    const int pressedBefore = HeapBlocksHolding(minimizePressed);
    const int normalBefore = HeapBlocksHolding(minimize);
    const UINT first[5] = {IDP_MINIMIZE, IDP_MINIMIZE_PRESSED, IDP_MINIMIZE_HOVER,
                           IDP_MINIMIZE_PRESSED, 0};
    CLayeredButton& b = Make(first);
    EXPECT_EQ(LayeredOwner::RectOf(b).right, 20 + 27);
    // The pressed image is listed twice and loaded twice.
    EXPECT_GE(HeapBlocksHolding(minimizePressed), pressedBefore + 2);
    EXPECT_GE(HeapBlocksHolding(minimize), normalBefore + 1);

    EXPECT_TRUE(b.SetImages(kOfficial, L"PNG", nullptr));
    EXPECT_EQ(HeapBlocksHolding(minimizePressed), pressedBefore);
    EXPECT_EQ(HeapBlocksHolding(minimize), normalBefore);
    const RECT r = LayeredOwner::RectOf(b);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 71);
    EXPECT_EQ(r.bottom - r.top, 24);
    owner.Compose();
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
}

TEST_F(LayeredButton, WithoutANormalImageItHasNoImagesAndDrawsNothing) {
    CLayeredButton& b = Make(kOfficial);
    const UINT noNormal[5] = {0, IDP_OFFICIAL_PRESSED, IDP_OFFICIAL_HOVER, 0, 0};
    EXPECT_FALSE(b.SetImages(noNormal, L"PNG", nullptr));
    const RECT r = LayeredOwner::RectOf(b);
    EXPECT_EQ(r.right - r.left, 71);  // keeps its size
    owner.Compose();
    const Pixels pushed = owner.pushed.Crop(r);
    for (std::uint32_t p : pushed.argb)
        ASSERT_EQ(p, LayeredOwner::kGround);  // the owner's ground only
    b.UpdateStateImage();
    EXPECT_EQ(owner.renders, 0) << "no image, no change";
}

TEST_F(LayeredButton, UndecodableNormalImageShrinksTheButtonToNothing) {
    CLayeredButton& b = Make(kOfficial);
    const UINT broken[5] = {IDP_TEST_NOT_A_PICTURE, 0, 0, 0, 0};
    EXPECT_TRUE(b.SetImages(broken, L"PNG", nullptr));
    const RECT r = LayeredOwner::RectOf(b);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
}

TEST_F(LayeredButton, CaptionIsDrawnCentredInBlack) {
    CLayeredButton& b = Make(kOfficial);
    const Pixels plain = owner.pushed;
    b.SetWindowText(L"OK");
    owner.Compose();
    const RECT r = LayeredOwner::RectOf(b);
    InkBox changed;
    for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
            if (owner.pushed.at(x, y) == plain.at(x, y)) continue;
            ASSERT_TRUE(x >= r.left && x < r.right && y >= r.top && y < r.bottom) << x << "," << y;
            EXPECT_LT(Red(owner.pushed.at(x, y)), Red(plain.at(x, y)) + 1u) << "not darker";
            if (!changed.any) changed = {true, x, y, x + 1, y + 1};
            changed.left = std::min(changed.left, x);
            changed.top = std::min(changed.top, y);
            changed.right = std::max(changed.right, x + 1);
            changed.bottom = std::max(changed.bottom, y + 1);
        }
    }
    ASSERT_TRUE(changed.any) << "no caption drawn";
    const double centreX = (changed.left + changed.right) / 2.0;
    const double centreY = (changed.top + changed.bottom) / 2.0;
    EXPECT_NEAR(centreX, (r.left + r.right) / 2.0, 2.0);
    EXPECT_NEAR(centreY, (r.top + r.bottom) / 2.0, 2.5);
}

TEST_F(LayeredButton, WithoutAListenerStateChangesShowAtTheNextComposition) {
    CLayeredButton& b = Make(kOfficial);
    b.m_listener = nullptr;
    MoveMouseTo(On());
    Settle();
    Settle();
    EXPECT_EQ(owner.renders, 0);
    EXPECT_TRUE(Shows(IDP_OFFICIAL));
    owner.Compose();
    EXPECT_TRUE(Shows(IDP_OFFICIAL_HOVER));
}

TEST_F(LayeredButton, FreeImagesLeavesNothingToDraw) {
    CLayeredButton& b = Make(kOfficial);
    b.FreeImages();
    owner.Compose();
    for (std::uint32_t p : owner.pushed.Crop(LayeredOwner::RectOf(b)).argb)
        ASSERT_EQ(p, LayeredOwner::kGround);
}

}  // namespace
