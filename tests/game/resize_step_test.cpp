// Resizing the game window by its edges and corners: the four edge steps with their floors,
// which steps each zone takes, when the window moves, and how the drag anchor advances.
#include "game/resize_step.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace korvex {

void PrintTo(const WindowRect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
void PrintTo(const ClientPoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

}  // namespace korvex

namespace {

using korvex::ClientPoint;
using korvex::HitZone;
using korvex::kMinDragHeight;
using korvex::kMinDragWidth;
using korvex::ResizeStep;
using korvex::WindowRect;

// 1200 x 900, and one 980 x 710: ten pixels above both floors.
constexpr WindowRect kLarge{100, 50, 1300, 950};
constexpr WindowRect kNearFloor{100, 50, 1080, 760};
constexpr ClientPoint kAnchor{600, 20};

struct StepCase {
    std::string name;
    HitZone zone;
    WindowRect window;
    int dx, dy;  // cursor offset from kAnchor
    WindowRect rect;
    bool move;
    ClientPoint anchor;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

ClientPoint Offset(int dx, int dy) { return {kAnchor.x + dx, kAnchor.y + dy}; }

class Step : public ::testing::TestWithParam<StepCase> {};

TEST_P(Step, GivesRectangleMoveAndAnchor) {
    const StepCase& c = GetParam();
    const auto result = ResizeStep(c.zone, c.window, kAnchor, Offset(c.dx, c.dy));
    EXPECT_EQ(result.rect, c.rect);
    EXPECT_EQ(result.move, c.move);
    EXPECT_EQ(result.anchor, c.anchor);
}

const StepCase kSteps[] = {
    // Left edge: the left side follows the cursor; the anchor stays.
    {"LeftOut", HitZone::Left, kLarge, -30, 7, {70, 50, 1300, 950}, true, kAnchor},
    {"LeftIn", HitZone::Left, kLarge, 10, 0, {110, 50, 1300, 950}, true, kAnchor},
    {"LeftInToJustAboveFloor",
     HitZone::Left,
     kNearFloor,
     9,
     0,
     {109, 50, 1080, 760},
     true,
     kAnchor},
    {"LeftInToFloorStops", HitZone::Left, kNearFloor, 10, 0, kNearFloor, false, kAnchor},
    {"LeftInPastFloorStops", HitZone::Left, kNearFloor, 200, 0, kNearFloor, false, kAnchor},
    {"LeftStill", HitZone::Left, kLarge, 0, 5, kLarge, false, kAnchor},
    // Right edge: the right side follows; the anchor's x advances to the cursor.
    {"RightOut", HitZone::Right, kLarge, 25, 3, {100, 50, 1325, 950}, true, Offset(25, 0)},
    {"RightInToJustAboveFloor",
     HitZone::Right,
     kNearFloor,
     -9,
     0,
     {100, 50, 1071, 760},
     true,
     Offset(-9, 0)},
    {"RightInToFloorStops", HitZone::Right, kNearFloor, -10, 0, kNearFloor, false, kAnchor},
    {"RightStill", HitZone::Right, kLarge, 0, 4, kLarge, false, kAnchor},
    // Top edge.
    {"TopOut", HitZone::Top, kLarge, 3, -40, {100, 10, 1300, 950}, true, kAnchor},
    {"TopInToJustAboveFloor", HitZone::Top, kNearFloor, 0, 9, {100, 59, 1080, 760}, true, kAnchor},
    {"TopInToFloorStops", HitZone::Top, kNearFloor, 0, 10, kNearFloor, false, kAnchor},
    // Bottom edge: the anchor's y advances.
    {"BottomOut", HitZone::Bottom, kLarge, 2, 33, {100, 50, 1300, 983}, true, Offset(0, 33)},
    {"BottomInToJustAboveFloor",
     HitZone::Bottom,
     kNearFloor,
     0,
     -9,
     {100, 50, 1080, 751},
     true,
     Offset(0, -9)},
    {"BottomInToFloorStops", HitZone::Bottom, kNearFloor, 0, -10, kNearFloor, false, kAnchor},
    // Top-left corner: both steps, then the 970 x 700 floor; always moved.
    {"TopLeftOut", HitZone::TopLeft, kLarge, -5, -6, {95, 44, 1300, 950}, true, kAnchor},
    {"TopLeftInStops", HitZone::TopLeft, kNearFloor, 10, 10, kNearFloor, true, kAnchor},
    {"TopLeftOnlyLeft", HitZone::TopLeft, kNearFloor, 5, 10, {105, 50, 1080, 760}, true, kAnchor},
    {"TopLeftOnlyTop", HitZone::TopLeft, kNearFloor, 10, 5, {100, 55, 1080, 760}, true, kAnchor},
    // A window below the floor (a small work area) is widened by its right and bottom sides.
    {"TopLeftFloorWidens",
     HitZone::TopLeft,
     {0, 0, 800, 600},
     -5,
     -5,
     {0, 0, 970, 700},
     true,
     kAnchor},
    {"TopLeftFloorWidth",
     HitZone::TopLeft,
     {10, 20, 900, 920},
     0,
     -5,
     {10, 15, 980, 920},
     true,
     kAnchor},
    // Top-right corner: top, then right; always moved.
    {"TopRightOut", HitZone::TopRight, kLarge, 8, -8, {100, 42, 1308, 950}, true, Offset(8, 0)},
    {"TopRightInStops", HitZone::TopRight, kNearFloor, -10, 10, kNearFloor, true, kAnchor},
    {"TopRightOnlyTop", HitZone::TopRight, kNearFloor, -10, 4, {100, 54, 1080, 760}, true, kAnchor},
    {"TopRightOnlyRight",
     HitZone::TopRight,
     kNearFloor,
     -4,
     10,
     {100, 50, 1076, 760},
     true,
     Offset(-4, 0)},
    // Bottom-left corner: left, then bottom.
    {"BottomLeftOut", HitZone::BottomLeft, kLarge, -7, 9, {93, 50, 1300, 959}, true, Offset(0, 9)},
    {"BottomLeftInStops", HitZone::BottomLeft, kNearFloor, 10, -10, kNearFloor, true, kAnchor},
    {"BottomLeftOnlyBottom",
     HitZone::BottomLeft,
     kNearFloor,
     10,
     -3,
     {100, 50, 1080, 757},
     true,
     Offset(0, -3)},
    // Bottom-right corner: right, then bottom; both anchor coordinates advance.
    {"BottomRightOut",
     HitZone::BottomRight,
     kLarge,
     11,
     12,
     {100, 50, 1311, 962},
     true,
     Offset(11, 12)},
    {"BottomRightInStops", HitZone::BottomRight, kNearFloor, -10, -10, kNearFloor, true, kAnchor},
    {"BottomRightOnlyRight",
     HitZone::BottomRight,
     kNearFloor,
     -2,
     -10,
     {100, 50, 1078, 760},
     true,
     Offset(-2, 0)},
    {"BottomRightStill", HitZone::BottomRight, kLarge, 0, 0, kLarge, true, kAnchor},
    // No zone: nothing.
    {"NoZone", HitZone::None, kLarge, 40, 40, kLarge, false, kAnchor},
};

INSTANTIATE_TEST_SUITE_P(Table, Step, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return info.param.name; });

// A drag as the window sees it: the cursor moves on the screen one pixel per mouse message,
// its client point follows the window's left edge, and each step that moves the window
// applies its rectangle before the next message.
struct Drag {
    WindowRect window;
    ClientPoint anchor;
    int moves = 0;

    void To(HitZone zone, int screenX, int screenY) {
        const ClientPoint cursor{screenX - window.left, screenY - window.top};
        const auto result = ResizeStep(zone, window, anchor, cursor);
        anchor = result.anchor;
        if (result.move) {
            window = result.rect;
            ++moves;
        }
    }
};

TEST(EdgeDrag, LeftEdgeDraggedInwardStopsAboveTheFloorAndStopsMoving) {
    Drag drag{{100, 50, 1100, 850}, {2, 300}};
    const int startX = 100 + 2;
    for (int i = 1; i <= 100; ++i) drag.To(HitZone::Left, startX + i, 50 + 300);
    EXPECT_EQ(drag.window.right - drag.window.left, kMinDragWidth + 1);
    EXPECT_EQ(drag.window.right, 1100);
    EXPECT_EQ(drag.moves, 1000 - (kMinDragWidth + 1));
}

TEST(EdgeDrag, RightEdgeDraggedInwardStopsAboveTheFloor) {
    Drag drag{{100, 50, 1100, 850}, {997, 300}};
    for (int i = 1; i <= 100; ++i) drag.To(HitZone::Right, 100 + 997 - i, 50 + 300);
    EXPECT_EQ(drag.window.right - drag.window.left, kMinDragWidth + 1);
    EXPECT_EQ(drag.window.left, 100);
    EXPECT_EQ(drag.moves, 1000 - (kMinDragWidth + 1));
    // The anchor followed the cursor while the edge did.
    EXPECT_EQ(drag.anchor.x, 997 - (1000 - (kMinDragWidth + 1)));
}

TEST(EdgeDrag, BottomEdgeDraggedOutwardFollowsTheCursor) {
    Drag drag{{100, 50, 1100, 850}, {500, 797}};
    for (int i = 1; i <= 40; ++i) drag.To(HitZone::Bottom, 100 + 500, 50 + 797 + i);
    EXPECT_EQ(drag.window.bottom, 850 + 40);
    EXPECT_EQ(drag.anchor.y, 797 + 40);
    EXPECT_EQ(drag.moves, 40);
}

TEST(EdgeDrag, TopEdgeDraggedInwardStopsAboveTheFloor) {
    Drag drag{{100, 50, 1100, 850}, {500, 2}};
    for (int i = 1; i <= 200; ++i) drag.To(HitZone::Top, 100 + 500, 50 + 2 + i);
    EXPECT_EQ(drag.window.bottom - drag.window.top, kMinDragHeight + 1);
    EXPECT_EQ(drag.window.bottom, 850);
}

}  // namespace
