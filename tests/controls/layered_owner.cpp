#include "layered_owner.h"

#include <afx/message_entries.h>

#include <memory>

#include "controls/resource_image.h"

namespace controls_test {

LayeredOwner::LayeredOwner(POINT at, SIZE size, std::uint32_t ground)
    : m_size(size), m_ground(ground) {
    CreateEx(WS_EX_LAYERED, PlainWindowClass(), L"layered owner", WS_POPUP | WS_VISIBLE, at.x, at.y,
             size.cx, size.cy, nullptr, nullptr);
}

LayeredOwner::~LayeredOwner() {
    for (CLayeredButton* button : m_buttons) button->m_listener = nullptr;
}

void LayeredOwner::Add(CLayeredButton* button) {
    button->m_listener = this;
    m_buttons.push_back(button);
}

void LayeredOwner::Reset() {
    for (CLayeredButton* button : m_buttons) button->m_listener = nullptr;
    m_buttons.clear();
    renders = 0;
    senders.clear();
    clicks = 0;
}

void LayeredOwner::OnRender(CLayeredButton* sender) {
    ++renders;
    senders.push_back(sender);
    Compose();
}

void LayeredOwner::DrawGround(Gdiplus::Graphics& graphics) {
    Gdiplus::SolidBrush brush{Gdiplus::Color(m_ground)};
    graphics.FillRectangle(&brush, kFrame, kFrame, m_size.cx - 2 * kFrame, m_size.cy - 2 * kFrame);
}

bool LayeredOwner::Compose() {
    Canvas canvas(m_size.cx, m_size.cy);
    DrawGround(canvas.graphics());
    for (CLayeredButton* button : m_buttons)
        if (button->m_shown) button->Render(&canvas.graphics());
    pushed = canvas.Read();

    RECT window{};
    GetWindowRect(&window);
    POINT destination{window.left, window.top}, source{0, 0};
    SIZE size = m_size;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC screen = ::GetDC(nullptr);
    const BOOL done = ::UpdateLayeredWindow(m_hWnd, screen, &destination, &size, canvas.dc(),
                                            &source, 0, &blend, ULW_ALPHA);
    ::ReleaseDC(nullptr, screen);
    return done != FALSE;
}

RECT LayeredOwner::RectOf(const CLayeredButton& button) {
    RECT r{};
    ::GetWindowRect(button.m_hWnd, &r);
    ::MapWindowPoints(nullptr, ::GetParent(button.m_hWnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

Pixels LayeredOwner::With(const CLayeredButton& button, UINT id) {
    Canvas canvas(m_size.cx, m_size.cy);
    DrawGround(canvas.graphics());
    std::unique_ptr<Gdiplus::Image> image(LoadResourceImage(id, L"PNG", nullptr));
    const RECT r = RectOf(button);
    canvas.graphics().DrawImage(
        image.get(), static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
        static_cast<Gdiplus::REAL>(r.right - r.left), static_cast<Gdiplus::REAL>(r.bottom - r.top));
    return canvas.Read();
}

IMPLEMENT_MESSAGE_MAP(LayeredOwner, CWnd, afx::OnBnClicked<kButtonId, &LayeredOwner::OnClicked>());

}  // namespace controls_test
