#include "game/resize_step.h"

namespace korvex {

namespace {

class Step {
  public:
    Step(const WindowRect& window, ClientPoint anchor, ClientPoint cursor)
        : m_rect(window),
          m_anchor(anchor),
          m_cursor(cursor),
          m_dx(cursor.x - anchor.x),
          m_dy(cursor.y - anchor.y) {}

    void Left() {
        if (m_rect.right - (m_rect.left + m_dx) > kMinDragWidth) m_rect.left += m_dx;
    }
    void Right() {
        if ((m_rect.right + m_dx) - m_rect.left > kMinDragWidth) {
            m_rect.right += m_dx;
            m_anchor.x = m_cursor.x;
        }
    }
    void Top() {
        if (m_rect.bottom - (m_rect.top + m_dy) > kMinDragHeight) m_rect.top += m_dy;
    }
    void Bottom() {
        if ((m_rect.bottom + m_dy) - m_rect.top > kMinDragHeight) {
            m_rect.bottom += m_dy;
            m_anchor.y = m_cursor.y;
        }
    }
    void Floor() {
        if (m_rect.right - m_rect.left < kMinDragWidth) m_rect.right = m_rect.left + kMinDragWidth;
        if (m_rect.bottom - m_rect.top < kMinDragHeight) {
            m_rect.bottom = m_rect.top + kMinDragHeight;
        }
    }

    ResizeStepResult Result(bool move) const { return {m_rect, move, m_anchor}; }
    ResizeStepResult ResultIfChanged(const WindowRect& before) const {
        return Result(!(m_rect == before));
    }

  private:
    WindowRect m_rect;
    ClientPoint m_anchor;
    ClientPoint m_cursor;
    int m_dx;
    int m_dy;
};

}  // namespace

ResizeStepResult ResizeStep(HitZone zone, const WindowRect& window, ClientPoint anchor,
                            ClientPoint cursor) {
    Step step(window, anchor, cursor);
    switch (zone) {
        case HitZone::Left:
            step.Left();
            return step.ResultIfChanged(window);
        case HitZone::Right:
            step.Right();
            return step.ResultIfChanged(window);
        case HitZone::Top:
            step.Top();
            return step.ResultIfChanged(window);
        case HitZone::Bottom:
            step.Bottom();
            return step.ResultIfChanged(window);
        case HitZone::TopLeft:
            step.Left();
            step.Top();
            step.Floor();
            return step.Result(true);
        case HitZone::TopRight:
            step.Top();
            step.Right();
            return step.Result(true);
        case HitZone::BottomLeft:
            step.Left();
            step.Bottom();
            return step.Result(true);
        case HitZone::BottomRight:
            step.Right();
            step.Bottom();
            return step.Result(true);
        case HitZone::None:
            break;
    }
    return step.Result(false);
}

}  // namespace korvex
