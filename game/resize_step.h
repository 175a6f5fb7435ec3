// One step of resizing the borderless game window by dragging an edge or corner: from the
// window rectangle, the zone held and the cursor, the new rectangle, whether the window is to
// be moved, and the drag anchor for the next step. Win32-free.
#pragma once

#include "game/hit_zone.h"

namespace korvex {

// An edge drag keeps the window wider than this many pixels.
inline constexpr int kMinDragWidth = 970;
// An edge drag keeps the window higher than this many pixels.
inline constexpr int kMinDragHeight = 700;

// A window rectangle in screen coordinates; right and bottom are exclusive.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// A point in the window's client coordinates.
struct ClientPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ClientPoint&, const ClientPoint&) = default;
};

struct ResizeStepResult {
    WindowRect rect;     // the rectangle to move the window to
    bool move = false;   // whether to move the window to `rect` (with repaint)
    ClientPoint anchor;  // the drag anchor for the next step
};

// The step for a cursor at client point `cursor` while `zone` is held with the drag anchor
// `anchor` and the window at `window`. With dx, dy the cursor's offset from the anchor:
// - the left and top steps move that edge by dx (dy) while the window stays wider than
//   kMinDragWidth (higher than kMinDragHeight); the anchor stays, because the client origin
//   moves with the edge;
// - the right and bottom steps move that edge the same way and advance the anchor to the
//   cursor, because the client origin stays.
// An edge zone takes its one step and moves the window only when the step changed it. A corner
// takes both of its steps and always moves the window; the top-left corner then also widens
// the window to at least kMinDragWidth x kMinDragHeight by moving its right and bottom edges.
// HitZone::None takes no step and does not move the window.
ResizeStepResult ResizeStep(HitZone zone, const WindowRect& window, ClientPoint anchor,
                            ClientPoint cursor);

}  // namespace korvex
