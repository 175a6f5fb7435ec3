// The edge zones of the borderless game window: which edge or corner a cursor at a client point
// grips, and the sizing cursor each zone shows. Win32-free; the window maps the cursor to its
// system cursor.
#pragma once

namespace korvex {

// The values are the window's own numbering of its zones (stored as a plain int there).
enum class HitZone : int {
    None = 0,
    Left = 1,
    Right = 2,
    Top = 3,
    Bottom = 4,
    TopLeft = 5,
    TopRight = 6,
    BottomLeft = 7,
    BottomRight = 8,
};

enum class ZoneCursor {
    Arrow,     // IDC_ARROW
    SizeWE,    // IDC_SIZEWE: left and right edges
    SizeNS,    // IDC_SIZENS: top and bottom edges
    SizeNWSE,  // IDC_SIZENWSE: top-left and bottom-right corners
    SizeNESW,  // IDC_SIZENESW: top-right and bottom-left corners
};

// Width in pixels of the band along each client edge that grips that edge.
inline constexpr int kEdgeGrip = 5;

// The zone under the client point (x, y) of a client area `width` x `height` pixels. Corners
// are tested before edges, and the left and top bands before the right and bottom ones, so in a
// window narrower or lower than two bands the first matching zone wins.
HitZone HitTestZone(int x, int y, int width, int height);

// The cursor shown over `zone`.
ZoneCursor CursorForZone(HitZone zone);

}  // namespace korvex
