// A push button drawn from PNG pictures: the picture for its state (normal, hover, disabled),
// optionally followed by a white caption, on black, shifted one pixel right and down while
// pressed. It sizes itself to its picture and caption and notifies its parent like a system
// button. It draws straight to a device context of its own window that it keeps, with a GDI+
// surface and font made once in Create; GDI+ must be running for the button's whole life.
#pragma once

#include <afx/afx.h>

#include <objidl.h>
#include <gdiplus.h>

#include "controls/image_button_layout.h"

class CImageButton : public CButton {
  public:
    CImageButton() = default;
    ~CImageButton() override;
    CImageButton(const CImageButton&) = delete;
    CImageButton& operator=(const CImageButton&) = delete;

    // Creates the button window, owner-drawn, at `rect` of `parent`'s client area and sets up
    // drawing. `caption` may be null (no caption); only its first 259 units are shown. FALSE,
    // with nothing set up, when the window cannot be created.
    virtual BOOL Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // For each nonzero id, loads that "PNG" resource of the application as the picture of its
    // state, replacing the one held; 0 keeps the state's picture. Then SizeToContent. Call after
    // Create.
    void SetImages(UINT normal, UINT hover, UINT disabled);
    // Resizes the window, keeping its position, to the normal picture (else the disabled one)
    // and the caption; raises it above its siblings. Without any picture nothing changes.
    void SizeToContent();

  protected:
    // A button bound to an existing window is made owner-drawn too.
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseHover(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnEnable(BOOL bEnable);
    LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

  private:
    void Paint();
    Gdiplus::Image* Picture(korvex::ImageButtonPicture which) const;
    korvex::ImageButtonPictures Pictures() const;
    // Gives back the window's device context and what draws on it; the window must still exist.
    void ReleaseDrawing();

    bool m_enabled = true;  // the last state WM_ENABLE reported
    bool m_pressed = false;
    bool m_hover = false;
    wchar_t m_caption[korvex::kImageButtonCaptionUnits] = {};
    SIZE m_textSize{};  // extent of m_caption in m_font, measured by SizeToContent
    HDC m_hdc = nullptr;
    HGDIOBJ m_previousFont = nullptr;  // what m_hdc held before m_font was selected
    Gdiplus::Graphics* m_graphics = nullptr;
    Gdiplus::Image* m_normalImage = nullptr;
    Gdiplus::Image* m_hoverImage = nullptr;
    Gdiplus::Image* m_disabledImage = nullptr;
    CFont m_font;
};
