// Where the launcher goes and what its icon's tip says.
#include "launcher/launcher_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(LauncherLayout, PlacesByTheFormulaRoundingTowardZero) {
    struct Case {
        int left, top, right, bottom, width, height, x, y;
    };
    const Case cases[] = {
        {0, 0, 1920, 1040, 1081, 601, 419, 219},    {0, 0, 1920, 1080, 1081, 601, 419, 239},
        {100, 50, 1920, 1080, 1081, 601, 369, 214},  // not centred on such an area
        {0, 0, 1000, 500, 1081, 601, -40, -50},      // negative: toward zero, not down
        {0, 0, 1001, 501, 1000, 500, 0, 0},         {0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto o = korvex::PlaceLauncher(c.left, c.top, c.right, c.bottom, c.width, c.height);
        EXPECT_EQ(o.x, c.x) << c.left << "," << c.top << "," << c.right << "," << c.bottom;
        EXPECT_EQ(o.y, c.y) << c.left << "," << c.top << "," << c.right << "," << c.bottom;
    }
}

TEST(LauncherLayout, TipIsTheFileNameUpToItsFirstDot) {
    EXPECT_EQ(korvex::TrayTip(u"Korvex.exe"), u"Korvex");
    EXPECT_EQ(korvex::TrayTip(u"a.b.exe"), u"a");
    EXPECT_EQ(korvex::TrayTip(u"noextension"), u"noextension");
    EXPECT_EQ(korvex::TrayTip(u".hidden"), u"");
    EXPECT_EQ(korvex::TrayTip(u""), u"");
}

}  // namespace
