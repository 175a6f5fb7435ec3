// The layered button's decisions: the image for each state with the fallback to the normal
// image, check styles, the enable flag and what a release does.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "controls/layered_button_state.h"

namespace {

using korvex::LayeredButtonState;
using korvex::LayeredImage;
using korvex::LayeredImagesPresent;

const char* Name(LayeredImage i) {
    constexpr const char* kNames[] = {"normal", "disabled", "hover", "pressed", "checked"};
    return kNames[static_cast<std::size_t>(i)];
}

constexpr LayeredImagesPresent kAll{true, true, true, true, true};
// The launcher's buttons: no checked image.
constexpr LayeredImagesPresent kLauncher{true, true, true, true, false};
constexpr LayeredImagesPresent kNormalOnly{true, false, false, false, false};
constexpr LayeredImagesPresent kNoPressed{true, true, true, false, true};

struct ImageCase {
    LayeredButtonState state;
    LayeredImagesPresent present;
    LayeredImage expected;
};
void PrintTo(const ImageCase& c, std::ostream* os) {
    *os << "hover " << c.state.hover << " pressed " << c.state.pressed << " disabled "
        << c.state.disabled << " checked " << c.state.checked << " -> " << Name(c.expected);
}

class LayeredStateImage : public ::testing::TestWithParam<ImageCase> {};

TEST_P(LayeredStateImage, FollowsTheTable) {
    const ImageCase& c = GetParam();
    const LayeredImage chosen = korvex::ChooseLayeredImage(c.state, c.present);
    EXPECT_EQ(chosen, c.expected) << Name(chosen);
}

// {hover, pressed, disabled, checked}
INSTANTIATE_TEST_SUITE_P(
    Table, LayeredStateImage,
    ::testing::Values(
        ImageCase{{true, true, false, false}, kAll, LayeredImage::Pressed},
        ImageCase{{true, true, true, true}, kAll, LayeredImage::Pressed},
        ImageCase{{true, false, false, false}, kAll, LayeredImage::Hover},
        ImageCase{{true, false, true, true}, kAll, LayeredImage::Hover},
        ImageCase{{false, true, true, false}, kAll, LayeredImage::Disabled},
        ImageCase{{false, false, true, true}, kAll, LayeredImage::Disabled},
        ImageCase{{false, true, false, true}, kAll, LayeredImage::Checked},
        ImageCase{{false, false, false, true}, kAll, LayeredImage::Checked},
        ImageCase{{false, true, false, false}, kAll, LayeredImage::Normal},
        ImageCase{{false, false, false, false}, kAll, LayeredImage::Normal},
        // Fallbacks to the normal image, never to another state's image.
        ImageCase{{true, true, false, false}, kNoPressed, LayeredImage::Normal},
        ImageCase{{false, false, false, true}, kLauncher, LayeredImage::Normal},
        ImageCase{{true, false, false, false}, kNormalOnly, LayeredImage::Normal},
        ImageCase{{false, false, true, false}, kNormalOnly, LayeredImage::Normal},
        ImageCase{{true, true, false, false}, LayeredImagesPresent{}, LayeredImage::Normal}));

struct StyleCase {
    const char* name;
    std::uint32_t style;
    bool check;
};
void PrintTo(const StyleCase& c, std::ostream* os) { *os << c.name; }

class LayeredCheckStyle : public ::testing::TestWithParam<StyleCase> {};

TEST_P(LayeredCheckStyle, NamesCheckBoxesAndRadioButtons) {
    EXPECT_EQ(korvex::IsCheckStyle(GetParam().style), GetParam().check);
}

// Style bits: BS_PUSHBUTTON 0, BS_DEFPUSHBUTTON 1, BS_CHECKBOX 2, BS_AUTOCHECKBOX 3,
// BS_RADIOBUTTON 4, BS_3STATE 5, BS_AUTO3STATE 6, BS_GROUPBOX 7, BS_AUTORADIOBUTTON 9,
// BS_OWNERDRAW 0xB, BS_LEFTTEXT 0x20, BS_PUSHLIKE 0x1000, WS_CHILD | WS_VISIBLE 0x50000000.
INSTANTIATE_TEST_SUITE_P(
    Styles, LayeredCheckStyle,
    ::testing::Values(StyleCase{"PushButton", 0x0, false}, StyleCase{"DefPushButton", 0x1, false},
                      StyleCase{"CheckBox", 0x2, true}, StyleCase{"AutoCheckBox", 0x3, true},
                      StyleCase{"RadioButton", 0x4, true}, StyleCase{"ThreeState", 0x5, false},
                      StyleCase{"AutoThreeState", 0x6, false}, StyleCase{"GroupBox", 0x7, false},
                      StyleCase{"AutoRadioButton", 0x9, true}, StyleCase{"OwnerDraw", 0xB, false},
                      StyleCase{"ChildVisibleCheckBox", 0x50000002, true},
                      StyleCase{"CheckBoxTextLeft", 0x23, true},
                      StyleCase{"PushLikeRadio", 0x1004, true},
                      StyleCase{"ChildVisiblePushButton", 0x50000000, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LayeredEnableFlag, OnlyExactlyTrueEnables) {
    EXPECT_FALSE(korvex::DisabledByEnableFlag(1));
    for (std::uintptr_t flag :
         {std::uintptr_t(0), std::uintptr_t(2), std::uintptr_t(0x101), ~std::uintptr_t(0)})
        EXPECT_TRUE(korvex::DisabledByEnableFlag(flag)) << flag;
}

struct ReleaseCase {
    const char* name;
    LayeredButtonState before;
    bool inside, checkStyle;
    LayeredButtonState after;
};
void PrintTo(const ReleaseCase& c, std::ostream* os) { *os << c.name; }

class LayeredRelease : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(LayeredRelease, EndsThePressAndUpdatesHoverAndCheck) {
    const ReleaseCase& c = GetParam();
    EXPECT_EQ(korvex::ReleasedState(c.before, c.inside, c.checkStyle), c.after);
}

// {hover, pressed, disabled, checked}
INSTANTIATE_TEST_SUITE_P(
    Releases, LayeredRelease,
    ::testing::Values(
        ReleaseCase{
            "PushInside", {true, true, false, false}, true, false, {true, false, false, false}},
        ReleaseCase{"PushInsideClearsCheck",
                    {true, true, false, true},
                    true,
                    false,
                    {true, false, false, false}},
        ReleaseCase{"PushOutsideEndsHover",
                    {true, true, false, false},
                    false,
                    false,
                    {false, false, false, false}},
        ReleaseCase{"CheckInsideChecks",
                    {true, true, false, false},
                    true,
                    true,
                    {true, false, false, true}},
        ReleaseCase{"CheckInsideUnchecks",
                    {true, true, false, true},
                    true,
                    true,
                    {true, false, false, false}},
        ReleaseCase{"CheckOutsideKeepsCheck",
                    {true, true, false, true},
                    false,
                    true,
                    {false, false, false, true}},
        ReleaseCase{
            "DisabledStays", {true, true, true, false}, false, false, {false, false, true, false}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
