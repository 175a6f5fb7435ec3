#include "controls/image_button.h"

#include <afx/message_entries.h>

#include <cwchar>

#include "controls/resource_image.h"

namespace {

constexpr COLORREF kCaptionColour = RGB(255, 255, 255);
constexpr const wchar_t* kCaptionFace = L"宋体";
constexpr LONG kCaptionHeight = 12;  // cell height, logical units
constexpr LONG kCaptionWeight = FW_NORMAL;
// Hover is reported once the mouse has rested this long (ms).
constexpr DWORD kHoverTime = 1;

korvex::PixelSize SizeOf(Gdiplus::Image* image) {
    return {static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight())};
}

}  // namespace

CImageButton::~CImageButton() {
    ReleaseDrawing();
    delete m_normalImage;
    delete m_hoverImage;
    delete m_disabledImage;
}

BOOL CImageButton::Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!CButton::Create(caption, style | BS_OWNERDRAW, rect, parent, id)) return FALSE;
    if (caption != nullptr) {
        const std::size_t length = korvex::ImageButtonCaptionLength(std::wcslen(caption));
        std::wmemcpy(m_caption, caption, length);
        m_caption[length] = L'\0';
    }
    m_hdc = GetDC();
    ::SetBkMode(m_hdc, TRANSPARENT);
    ::SetTextColor(m_hdc, kCaptionColour);
    m_graphics = new Gdiplus::Graphics(m_hdc);

    LOGFONTW font{};
    font.lfHeight = kCaptionHeight;
    font.lfWeight = kCaptionWeight;
    std::wcsncpy(font.lfFaceName, kCaptionFace, LF_FACESIZE - 1);
    m_font.CreateFontIndirect(&font);
    m_previousFont = ::SelectObject(m_hdc, m_font);
    return TRUE;
}

void CImageButton::SetImages(UINT normal, UINT hover, UINT disabled) {
    const auto load = [](Gdiplus::Image*& picture, UINT id) {
        if (id == 0) return;
        delete picture;
        picture = LoadResourceImage(id, L"PNG", nullptr);
    };
    load(m_normalImage, normal);
    load(m_hoverImage, hover);
    load(m_disabledImage, disabled);
    SizeToContent();
}

void CImageButton::SizeToContent() {
    Gdiplus::Image* picture = Picture(korvex::ImageButtonSizingPicture(Pictures()));
    if (picture == nullptr) return;
    const bool hasCaption = m_caption[0] != L'\0';
    if (hasCaption) {
        HDC dc = GetDC();
        HGDIOBJ previous = ::SelectObject(dc, m_font);
        ::GetTextExtentPoint32W(dc, m_caption, static_cast<int>(std::wcslen(m_caption)),
                                &m_textSize);
        ::SelectObject(dc, previous);
        ReleaseDC(dc);
    }
    const korvex::PixelSize size =
        korvex::ImageButtonSize(SizeOf(picture), hasCaption, {m_textSize.cx, m_textSize.cy});
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE);
}

void CImageButton::PreSubclassWindow() {
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

LRESULT CImageButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CButton::WindowProc(message, wParam, lParam);
}

void CImageButton::OnMouseMove(UINT nFlags, CPoint point) {
    if (!m_hover) {
        TRACKMOUSEEVENT request{sizeof(request), TME_HOVER | TME_LEAVE, m_hWnd, kHoverTime};
        m_hover = ::_TrackMouseEvent(&request) != FALSE;
    }
    CButton::OnMouseMove(nFlags, point);
}

void CImageButton::OnMouseHover(UINT, CPoint) {
    m_hover = true;
    Invalidate(TRUE);
}

void CImageButton::OnMouseLeave() {
    m_hover = false;
    Invalidate(TRUE);
}

void CImageButton::OnLButtonDown(UINT nFlags, CPoint point) {
    m_pressed = true;
    Invalidate(TRUE);
    CButton::OnLButtonDown(nFlags, point);
}

void CImageButton::OnLButtonUp(UINT nFlags, CPoint point) {
    m_pressed = false;
    Invalidate(TRUE);
    CButton::OnLButtonUp(nFlags, point);
}

// Paints without BeginPaint, then marks the whole client area as painted.
void CImageButton::OnPaint() {
    Paint();
    ValidateRect(nullptr);
}

BOOL CImageButton::OnEraseBkgnd(CDC*) { return TRUE; }

// Only records the state: the new look shows at the next paint.
void CImageButton::OnEnable(BOOL bEnable) { m_enabled = bEnable != FALSE; }

// A button whose window goes before its object (its parent destroyed first) gives back its
// window's device context while the window still exists.
LRESULT CImageButton::OnNcDestroy(WPARAM, LPARAM) {
    ReleaseDrawing();
    return Default();
}

void CImageButton::Paint() {
    if (m_hdc == nullptr) return;
    RECT rect{};
    GetWindowRect(&rect);
    ScreenToClient(&rect);
    ::FillRect(m_hdc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    if (m_graphics == nullptr) return;

    const korvex::ImageButtonLook look =
        korvex::ChooseImageButtonLook({m_enabled, m_hover, m_pressed}, Pictures());
    Gdiplus::Image* picture = Picture(look.picture);
    if (picture == nullptr) return;
    const korvex::PixelSize size = SizeOf(picture);
    const korvex::ImageButtonPlacement at =
        korvex::PlaceImageButtonContent(rect.bottom - rect.top, size, m_textSize.cy, look.shift);
    m_graphics->DrawImage(picture, at.picture.x, at.picture.y, size.cx, size.cy);
    if (m_caption[0] != L'\0') {
        ::TextOutW(m_hdc, at.caption.x, at.caption.y, m_caption,
                   static_cast<int>(std::wcslen(m_caption)));
    }
}

Gdiplus::Image* CImageButton::Picture(korvex::ImageButtonPicture which) const {
    switch (which) {
        case korvex::ImageButtonPicture::Normal:
            return m_normalImage;
        case korvex::ImageButtonPicture::Hover:
            return m_hoverImage;
        case korvex::ImageButtonPicture::Disabled:
            return m_disabledImage;
        case korvex::ImageButtonPicture::None:
            break;
    }
    return nullptr;
}

korvex::ImageButtonPictures CImageButton::Pictures() const {
    return {m_normalImage != nullptr, m_hoverImage != nullptr, m_disabledImage != nullptr};
}

void CImageButton::ReleaseDrawing() {
    delete m_graphics;
    m_graphics = nullptr;
    if (m_hdc == nullptr) return;
    ::SelectObject(m_hdc, m_previousFont);
    ReleaseDC(m_hdc);
    m_hdc = nullptr;
    m_previousFont = nullptr;
}

IMPLEMENT_MESSAGE_MAP(CImageButton, CButton, afx::On<WM_MOUSEMOVE, &CImageButton::OnMouseMove>(),
                      afx::On<WM_MOUSEHOVER, &CImageButton::OnMouseHover>(),
                      afx::On<WM_MOUSELEAVE, &CImageButton::OnMouseLeave>(),
                      afx::On<WM_LBUTTONDOWN, &CImageButton::OnLButtonDown>(),
                      afx::On<WM_LBUTTONUP, &CImageButton::OnLButtonUp>(),
                      afx::On<WM_PAINT, &CImageButton::OnPaint>(),
                      afx::On<WM_ERASEBKGND, &CImageButton::OnEraseBkgnd>(),
                      afx::On<WM_ENABLE, &CImageButton::OnEnable>(),
                      afx::OnMessage<WM_NCDESTROY, &CImageButton::OnNcDestroy>());
