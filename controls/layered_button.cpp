#include "controls/layered_button.h"

#include <afx/message_entries.h>

#include <string>

#include "controls/resource_image.h"

namespace {

// The caption's look: black Arial 12 pt, centred both ways.
constexpr const wchar_t* kCaptionFamily = L"Arial";
constexpr Gdiplus::REAL kCaptionPoints = 12.0f;
const Gdiplus::Color kCaptionColour(255, 0, 0, 0);

// Hover is reported once the mouse has rested this long (ms).
constexpr DWORD kHoverTime = 1;

// The caption font; GDI+'s generic sans-serif family stands in when Arial is missing.
Gdiplus::Font* MakeCaptionFont() {
    auto* font = new Gdiplus::Font(kCaptionFamily, kCaptionPoints, Gdiplus::FontStyleRegular,
                                   Gdiplus::UnitPoint);
    if (font->GetLastStatus() == Gdiplus::Ok) return font;
    delete font;
    return new Gdiplus::Font(Gdiplus::FontFamily::GenericSansSerif(), kCaptionPoints,
                             Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
}

}  // namespace

CLayeredButton::CLayeredButton()
    : m_textFormat(0, LANG_NEUTRAL), m_font(MakeCaptionFont()), m_textBrush(kCaptionColour) {
    m_textFormat.SetAlignment(Gdiplus::StringAlignmentCenter);
    m_textFormat.SetLineAlignment(Gdiplus::StringAlignmentCenter);
}

CLayeredButton::~CLayeredButton() {
    delete m_font;
    FreeImages();
}

bool CLayeredButton::SetImages(const UINT ids[korvex::kLayeredImageCount], LPCWSTR type,
                               HINSTANCE module) {
    using korvex::LayeredImage;
    FreeImages();
    const auto id = [ids](LayeredImage slot) { return ids[static_cast<std::size_t>(slot)]; };
    if (id(LayeredImage::Normal) == 0) return false;
    Slot(LayeredImage::Normal) = LoadResourceImage(id(LayeredImage::Normal), type, module);
    if (Slot(LayeredImage::Normal) == nullptr) return false;
    for (LayeredImage slot : {LayeredImage::Hover, LayeredImage::Pressed, LayeredImage::Disabled,
                              LayeredImage::Checked}) {
        if (id(slot) != 0) Slot(slot) = LoadResourceImage(id(slot), type, module);
    }
    m_currentImage = Slot(LayeredImage::Normal);
    SetWindowPos(nullptr, 0, 0, static_cast<int>(m_currentImage->GetWidth()),
                 static_cast<int>(m_currentImage->GetHeight()),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    return true;
}

void CLayeredButton::FreeImages() {
    for (Gdiplus::Image*& image : m_images) {
        delete image;
        image = nullptr;
    }
    m_currentImage = nullptr;
}

void CLayeredButton::Render(Gdiplus::Graphics* graphics) {
    if (m_currentImage == nullptr) return;
    RECT rect{};
    GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
    const Gdiplus::RectF area(static_cast<Gdiplus::REAL>(rect.left),
                              static_cast<Gdiplus::REAL>(rect.top),
                              static_cast<Gdiplus::REAL>(rect.right - rect.left),
                              static_cast<Gdiplus::REAL>(rect.bottom - rect.top));
    graphics->DrawImage(m_currentImage, area.X, area.Y, area.Width, area.Height);

    const int length = GetWindowTextLength();
    if (length <= 0) return;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowText(text.data(), length + 1);
    if (copied <= 0) return;
    graphics->DrawString(text.c_str(), copied, m_font, area, &m_textFormat, &m_textBrush);
}

void CLayeredButton::UpdateStateImage() {
    korvex::LayeredImagesPresent present{};
    for (std::size_t i = 0; i < korvex::kLayeredImageCount; ++i)
        present[i] = m_images[i] != nullptr;
    Gdiplus::Image* const chosen = Slot(korvex::ChooseLayeredImage(State(), present));
    const bool changed = chosen != m_currentImage;
    m_currentImage = chosen;
    if (changed && m_listener != nullptr) m_listener->OnRender(this);
}

LRESULT CLayeredButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CButton::WindowProc(message, wParam, lParam);
}

void CLayeredButton::OnEnable(BOOL bEnable) {
    Default();
    const bool disabled = korvex::DisabledByEnableFlag(static_cast<std::uintptr_t>(bEnable));
    if (disabled == m_disabled) return;
    m_disabled = disabled;
    UpdateStateImage();
}

void CLayeredButton::OnMouseMove(UINT nFlags, CPoint point) {
    if (!m_tracking) {
        TRACKMOUSEEVENT request{sizeof(request), TME_HOVER | TME_LEAVE, m_hWnd, kHoverTime};
        m_tracking = ::_TrackMouseEvent(&request) != FALSE;
    }
    CButton::OnMouseMove(nFlags, point);
}

void CLayeredButton::OnMouseLeave() {
    m_hover = false;
    m_tracking = false;
    UpdateStateImage();
}

void CLayeredButton::OnMouseHover(UINT, CPoint) {
    m_hover = true;
    UpdateStateImage();
}

void CLayeredButton::OnLButtonDown(UINT nFlags, CPoint point) {
    m_pressed = true;
    UpdateStateImage();
    CButton::OnLButtonDown(nFlags, point);
}

void CLayeredButton::OnLButtonUp(UINT nFlags, CPoint point) {
    RECT client{};
    GetClientRect(&client);
    const bool inside = ::PtInRect(&client, point) != FALSE;
    const bool checkStyle =
        korvex::IsCheckStyle(static_cast<std::uint32_t>(::GetWindowLongW(m_hWnd, GWL_STYLE)));
    const korvex::LayeredButtonState next = korvex::ReleasedState(State(), inside, checkStyle);
    m_hover = next.hover;
    m_pressed = next.pressed;
    m_checked = next.checked;
    UpdateStateImage();
    CButton::OnLButtonUp(nFlags, point);
}

// Keys and the right button are swallowed: the keyboard never presses the button.
void CLayeredButton::OnKeyDown(UINT, UINT, UINT) {}

void CLayeredButton::OnRButtonDown(UINT, CPoint) {}

korvex::LayeredButtonState CLayeredButton::State() const {
    return {m_hover, m_pressed, m_disabled, m_checked};
}

Gdiplus::Image*& CLayeredButton::Slot(korvex::LayeredImage slot) {
    return m_images[static_cast<std::size_t>(slot)];
}

IMPLEMENT_MESSAGE_MAP(CLayeredButton, CButton, afx::On<WM_ENABLE, &CLayeredButton::OnEnable>(),
                      afx::On<WM_MOUSEMOVE, &CLayeredButton::OnMouseMove>(),
                      afx::On<WM_MOUSELEAVE, &CLayeredButton::OnMouseLeave>(),
                      afx::On<WM_MOUSEHOVER, &CLayeredButton::OnMouseHover>(),
                      afx::On<WM_LBUTTONDOWN, &CLayeredButton::OnLButtonDown>(),
                      afx::On<WM_LBUTTONUP, &CLayeredButton::OnLButtonUp>(),
                      afx::On<WM_KEYDOWN, &CLayeredButton::OnKeyDown>(),
                      afx::On<WM_RBUTTONDOWN, &CLayeredButton::OnRButtonDown>());
