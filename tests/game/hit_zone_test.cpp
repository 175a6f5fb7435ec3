// The edge zones of the game window's client area and the cursor each one shows.
#include "game/hit_zone.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using korvex::CursorForZone;
using korvex::HitTestZone;
using korvex::HitZone;
using korvex::ZoneCursor;

struct ZoneCase {
    int x, y, width, height;
    HitZone zone;
};

void PrintTo(const ZoneCase& c, std::ostream* os) {
    *os << "(" << c.x << ", " << c.y << ") in " << c.width << " x " << c.height << " -> zone "
        << static_cast<int>(c.zone);
}

// A 1000 x 800 client area: every zone, at and just past the edges of its 5-pixel bands
// (x < 5, x >= W - 5 = 995, y < 5, y >= H - 5 = 795).
constexpr ZoneCase kZones[] = {
    // Top-left corner.
    {0, 0, 1000, 800, HitZone::TopLeft},
    {4, 4, 1000, 800, HitZone::TopLeft},
    {4, 5, 1000, 800, HitZone::Left},
    {5, 4, 1000, 800, HitZone::Top},
    // Bottom-left corner.
    {0, 799, 1000, 800, HitZone::BottomLeft},
    {4, 795, 1000, 800, HitZone::BottomLeft},
    {4, 794, 1000, 800, HitZone::Left},
    {5, 795, 1000, 800, HitZone::Bottom},
    // Top-right corner.
    {999, 0, 1000, 800, HitZone::TopRight},
    {995, 4, 1000, 800, HitZone::TopRight},
    {994, 4, 1000, 800, HitZone::Top},
    {995, 5, 1000, 800, HitZone::Right},
    // Bottom-right corner.
    {999, 799, 1000, 800, HitZone::BottomRight},
    {995, 795, 1000, 800, HitZone::BottomRight},
    {994, 795, 1000, 800, HitZone::Bottom},
    {995, 794, 1000, 800, HitZone::Right},
    // Edges.
    {0, 400, 1000, 800, HitZone::Left},
    {4, 400, 1000, 800, HitZone::Left},
    {5, 400, 1000, 800, HitZone::None},
    {999, 400, 1000, 800, HitZone::Right},
    {995, 400, 1000, 800, HitZone::Right},
    {994, 400, 1000, 800, HitZone::None},
    {500, 0, 1000, 800, HitZone::Top},
    {500, 4, 1000, 800, HitZone::Top},
    {500, 5, 1000, 800, HitZone::None},
    {500, 799, 1000, 800, HitZone::Bottom},
    {500, 795, 1000, 800, HitZone::Bottom},
    {500, 794, 1000, 800, HitZone::None},
    // Inside.
    {500, 400, 1000, 800, HitZone::None},
    // Past the client area (while the mouse is captured): the nearest band still holds.
    {-3, 400, 1000, 800, HitZone::Left},
    {1003, 400, 1000, 800, HitZone::Right},
    {500, -2, 1000, 800, HitZone::Top},
    {500, 810, 1000, 800, HitZone::Bottom},
    {-1, -1, 1000, 800, HitZone::TopLeft},
    // Areas narrower or lower than two bands: the bands overlap and the first rule wins.
    {4, 4, 8, 8, HitZone::TopLeft},      // also in the right and bottom bands
    {4, 6, 8, 8, HitZone::BottomLeft},   // also in the right band
    {6, 4, 8, 8, HitZone::TopRight},     // also in the bottom band
    {6, 6, 8, 8, HitZone::BottomRight},  //
    {4, 50, 8, 100, HitZone::Left},      // also in the right band
    {50, 4, 100, 8, HitZone::Top},       // also in the bottom band
};

class HoverZone : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(HoverZone, FirstMatchingRuleDecides) {
    const ZoneCase& c = GetParam();
    EXPECT_EQ(HitTestZone(c.x, c.y, c.width, c.height), c.zone);
}

INSTANTIATE_TEST_SUITE_P(Table, HoverZone, ::testing::ValuesIn(kZones), [](const auto& info) {
    const ZoneCase& c = info.param;
    auto n = [](int v) { return (v < 0 ? "m" : "") + std::to_string(v < 0 ? -v : v); };
    return "x" + n(c.x) + "_y" + n(c.y) + "_in_" + n(c.width) + "x" + n(c.height);
});

struct CursorCase {
    HitZone zone;
    ZoneCursor cursor;
};

constexpr CursorCase kCursors[] = {
    {HitZone::None, ZoneCursor::Arrow},           {HitZone::Left, ZoneCursor::SizeWE},
    {HitZone::Right, ZoneCursor::SizeWE},         {HitZone::Top, ZoneCursor::SizeNS},
    {HitZone::Bottom, ZoneCursor::SizeNS},        {HitZone::TopLeft, ZoneCursor::SizeNWSE},
    {HitZone::BottomRight, ZoneCursor::SizeNWSE}, {HitZone::TopRight, ZoneCursor::SizeNESW},
    {HitZone::BottomLeft, ZoneCursor::SizeNESW},
};

TEST(ZoneCursor, EachZoneShowsItsSizingCursor) {
    for (const CursorCase& c : kCursors) {
        EXPECT_EQ(CursorForZone(c.zone), c.cursor) << "zone " << static_cast<int>(c.zone);
    }
}

TEST(HitZone, ValuesAreTheWindowsNumbering) {
    const HitZone zones[] = {HitZone::None,     HitZone::Left,       HitZone::Right,
                             HitZone::Top,      HitZone::Bottom,     HitZone::TopLeft,
                             HitZone::TopRight, HitZone::BottomLeft, HitZone::BottomRight};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(static_cast<int>(zones[i]), i);
}

}  // namespace
