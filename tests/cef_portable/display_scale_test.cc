// A browser's display scale: the ratio from the window's DPI, CSS lengths that cover the window,
// and window positions in CSS pixels.
#include "browser/display_scale.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using cef_detail::DisplayScale;

struct DpiCase {
    int dpi;
    double ratio;
};

TEST(DisplayScale, TheRatioIsTheDpiOver96) {
    const DpiCase cases[] = {{96, 1.0},  {120, 1.25}, {144, 1.5}, {168, 1.75}, {192, 2.0},
                             {288, 3.0}, {72, 0.75},  {0, 1.0},   {-5, 1.0}};
    for (const DpiCase& c : cases) {
        SCOPED_TRACE("dpi " + std::to_string(c.dpi));
        EXPECT_DOUBLE_EQ(DisplayScale::ForDpi(c.dpi).ratio(), c.ratio);
    }
}

TEST(DisplayScale, AFixedRatioMustBePositiveAndFinite) {
    EXPECT_DOUBLE_EQ(DisplayScale::Fixed(1.5).ratio(), 1.5);
    for (double bad : {0.0, -1.0, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(bad);
        EXPECT_DOUBLE_EQ(DisplayScale::Fixed(bad).ratio(), 1.0);
    }
    EXPECT_EQ(DisplayScale(), DisplayScale::ForDpi(96));
}

struct LengthCase {
    int dpi;
    int pixels;
    int css;
};

// Rounded up, so the page covers the window; exact multiples stay exact.
TEST(DisplayScale, CssLengthsCoverTheWindow) {
    const LengthCase cases[] = {
        {96, 1280, 1280},  {144, 1200, 800}, {144, 1500, 1000}, {144, 1201, 801},
        {144, 1202, 802},  {144, 1, 1},      {120, 1000, 800},  {120, 1001, 801},
        {168, 1750, 1000}, {192, 3, 2},      {144, 0, 0},       {144, -4, 0},
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE("dpi " + std::to_string(c.dpi) + ", " + std::to_string(c.pixels) + " px");
        const DisplayScale scale = DisplayScale::ForDpi(c.dpi);
        EXPECT_EQ(scale.CssLength(c.pixels), c.css);
        if (c.pixels > 0) EXPECT_GE(c.css * scale.ratio(), c.pixels - 1e-9);
    }
}

TEST(DisplayScale, WindowPositionsBecomeCssPixels) {
    EXPECT_DOUBLE_EQ(DisplayScale::ForDpi(144).ToCss(300), 200.0);
    EXPECT_DOUBLE_EQ(DisplayScale::ForDpi(144).ToCss(1), 1 / 1.5);
    EXPECT_DOUBLE_EQ(DisplayScale::ForDpi(96).ToCss(-1), -1.0);
    EXPECT_DOUBLE_EQ(DisplayScale::ForDpi(192).ToCss(7), 3.5);
}

}  // namespace
