#include "game/hit_zone.h"

namespace korvex {

HitZone HitTestZone(int x, int y, int width, int height) {
    const bool left = x < kEdgeGrip;
    const bool right = x >= width - kEdgeGrip;
    const bool top = y < kEdgeGrip;
    const bool bottom = y >= height - kEdgeGrip;
    if (left && top) return HitZone::TopLeft;
    if (left && bottom) return HitZone::BottomLeft;
    if (top && right) return HitZone::TopRight;
    if (right && bottom) return HitZone::BottomRight;
    if (left) return HitZone::Left;
    if (right) return HitZone::Right;
    if (top) return HitZone::Top;
    if (bottom) return HitZone::Bottom;
    return HitZone::None;
}

ZoneCursor CursorForZone(HitZone zone) {
    switch (zone) {
        case HitZone::Left:
        case HitZone::Right:
            return ZoneCursor::SizeWE;
        case HitZone::Top:
        case HitZone::Bottom:
            return ZoneCursor::SizeNS;
        case HitZone::TopLeft:
        case HitZone::BottomRight:
            return ZoneCursor::SizeNWSE;
        case HitZone::TopRight:
        case HitZone::BottomLeft:
            return ZoneCursor::SizeNESW;
        case HitZone::None:
            break;
    }
    return ZoneCursor::Arrow;
}

}  // namespace korvex
