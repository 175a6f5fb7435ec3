// The image button's decisions: picture and shift for each state, the sizing picture, the
// button's size and where picture and caption go.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "controls/image_button_layout.h"

namespace {

using korvex::ImageButtonLook;
using korvex::ImageButtonPicture;
using korvex::ImageButtonPictures;
using korvex::ImageButtonState;
using korvex::PixelSize;

const char* Name(ImageButtonPicture p) {
    switch (p) {
        case ImageButtonPicture::None:
            return "none";
        case ImageButtonPicture::Normal:
            return "normal";
        case ImageButtonPicture::Hover:
            return "hover";
        case ImageButtonPicture::Disabled:
            return "disabled";
    }
    return "?";
}

struct LookCase {
    ImageButtonState state;
    ImageButtonPictures pictures;
    ImageButtonLook look;
};
void PrintTo(const LookCase& c, std::ostream* os) {
    *os << "enabled " << c.state.enabled << " hover " << c.state.hover << " pressed "
        << c.state.pressed << " pictures " << c.pictures.normal << c.pictures.hover
        << c.pictures.disabled << " -> " << Name(c.look.picture) << " +" << c.look.shift;
}

constexpr ImageButtonPictures kAll{true, true, true};
constexpr ImageButtonPictures kNormalOnly{true, false, false};
constexpr ImageButtonPictures kNone{false, false, false};
constexpr ImageButtonPictures kNoNormal{false, true, true};

constexpr ImageButtonState kIdle{true, false, false};
constexpr ImageButtonState kHovered{true, true, false};
constexpr ImageButtonState kPressedOver{true, true, true};
constexpr ImageButtonState kPressedAway{true, false, true};
constexpr ImageButtonState kDisabled{false, false, false};
constexpr ImageButtonState kDisabledHovered{false, true, true};

class ImageButtonLookChoice : public ::testing::TestWithParam<LookCase> {};

TEST_P(ImageButtonLookChoice, FollowsTheState) {
    const LookCase& c = GetParam();
    const ImageButtonLook look = korvex::ChooseImageButtonLook(c.state, c.pictures);
    EXPECT_EQ(look.picture, c.look.picture) << Name(look.picture);
    EXPECT_EQ(look.shift, c.look.shift);
}

INSTANTIATE_TEST_SUITE_P(
    States, ImageButtonLookChoice,
    ::testing::Values(LookCase{kIdle, kAll, {ImageButtonPicture::Normal, 0}},
                      LookCase{kHovered, kAll, {ImageButtonPicture::Hover, 0}},
                      LookCase{kPressedOver, kAll, {ImageButtonPicture::Hover, 1}},
                      // Pressed without hover: the normal picture, unshifted.
                      LookCase{kPressedAway, kAll, {ImageButtonPicture::Normal, 0}},
                      LookCase{kDisabled, kAll, {ImageButtonPicture::Disabled, 0}},
                      // Disabled beats hover and pressed: no hover picture, no shift.
                      LookCase{kDisabledHovered, kAll, {ImageButtonPicture::Disabled, 0}},
                      LookCase{kDisabledHovered, kNormalOnly, {ImageButtonPicture::Normal, 0}},
                      // A missing hover picture: the normal one, still shifted while pressed.
                      LookCase{kHovered, kNormalOnly, {ImageButtonPicture::Normal, 0}},
                      LookCase{kPressedOver, kNormalOnly, {ImageButtonPicture::Normal, 1}},
                      LookCase{kDisabled, kNormalOnly, {ImageButtonPicture::Normal, 0}},
                      // Without a normal picture, only the states' own pictures show.
                      LookCase{kIdle, kNoNormal, {ImageButtonPicture::None, 0}},
                      LookCase{kPressedOver, kNoNormal, {ImageButtonPicture::Hover, 1}},
                      LookCase{kDisabled, kNoNormal, {ImageButtonPicture::Disabled, 0}},
                      LookCase{kPressedOver, kNone, {ImageButtonPicture::None, 0}},
                      LookCase{kDisabled, kNone, {ImageButtonPicture::None, 0}}));

TEST(ImageButtonSizingPicture, IsTheNormalElseTheDisabledPicture) {
    EXPECT_EQ(korvex::ImageButtonSizingPicture(kAll), ImageButtonPicture::Normal);
    EXPECT_EQ(korvex::ImageButtonSizingPicture(kNoNormal), ImageButtonPicture::Disabled);
    EXPECT_EQ(korvex::ImageButtonSizingPicture({false, true, false}), ImageButtonPicture::None);
    EXPECT_EQ(korvex::ImageButtonSizingPicture(kNone), ImageButtonPicture::None);
}

struct SizeCase {
    const char* name;
    PixelSize picture;
    bool hasCaption;
    PixelSize caption;
    PixelSize expected;
};
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

class ImageButtonSizing : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ImageButtonSizing, IsPictureGapCaptionAndRoomForTheShift) {
    const SizeCase& c = GetParam();
    EXPECT_EQ(korvex::ImageButtonSize(c.picture, c.hasCaption, c.caption), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ImageButtonSizing,
    ::testing::Values(SizeCase{"IconWithCaption", {15, 15}, true, {24, 12}, {42, 16}},
                      SizeCase{"CaptionTallerThanPicture", {15, 15}, true, {30, 18}, {48, 19}},
                      SizeCase{"WindowButton", {22, 22}, false, {}, {23, 23}},
                      SizeCase{"CaptionIgnoredWithoutOne", {22, 22}, false, {50, 50}, {23, 23}},
                      SizeCase{"Logo", {40, 40}, false, {}, {41, 41}},
                      SizeCase{"UndecodedPicture", {0, 0}, false, {}, {1, 1}},
                      SizeCase{"UndecodedPictureWithCaption", {0, 0}, true, {24, 12}, {27, 13}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PlaceCase {
    const char* name;
    int height;
    PixelSize picture;
    int captionHeight;
    int shift;
    korvex::ImageButtonPlacement expected;
};
void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

class ImageButtonPlacing : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(ImageButtonPlacing, CentresVerticallyAndPutsTheCaptionTwoPixelsRight) {
    const PlaceCase& c = GetParam();
    EXPECT_EQ(korvex::PlaceImageButtonContent(c.height, c.picture, c.captionHeight, c.shift),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ImageButtonPlacing,
    ::testing::Values(PlaceCase{"Sized", 16, {15, 15}, 12, 0, {{0, 0}, {17, 2}}},
                      PlaceCase{"SizedPressed", 16, {15, 15}, 12, 1, {{1, 1}, {18, 3}}},
                      PlaceCase{"OddRemainderTruncates", 20, {15, 15}, 12, 0, {{0, 2}, {17, 4}}},
                      // Taller than the button: a negative half truncates toward zero.
                      PlaceCase{
                          "PictureTallerThanButton", 10, {15, 15}, 13, 0, {{0, -2}, {17, -1}}},
                      PlaceCase{"WindowButton", 23, {22, 22}, 0, 0, {{0, 0}, {24, 11}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageButtonCaptionLength, KeepsAtMost259Units) {
    for (auto [given, kept] : {std::pair<std::size_t, std::size_t>{0, 0},
                               {1, 1},
                               {258, 258},
                               {259, 259},
                               {260, 259},
                               {100000, 259}})
        EXPECT_EQ(korvex::ImageButtonCaptionLength(given), kept) << given;
}

}  // namespace
