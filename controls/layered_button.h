// A button of a layered window: a real child button window for input and notifications, whose
// look exists only as state images that the owner draws into its own layer. The button tells
// its owner when the image for its state changes and draws it onto the owner's surface when the
// owner composes. GDI+ must be running for the button's whole life.
#pragma once

#include <afx/afx.h>

#include <objidl.h>
#include <gdiplus.h>

#include "controls/layered_button_state.h"
#include "controls/render_listener.h"

class CLayeredButton : public CButton {
  public:
    CLayeredButton();
    ~CLayeredButton() override;
    CLayeredButton(const CLayeredButton&) = delete;
    CLayeredButton& operator=(const CLayeredButton&) = delete;

    // Loads the images listed by `ids` (normal, disabled, hover, pressed, checked; 0 = none)
    // with LoadResourceImage(id, type, module), after releasing the images held so far, shows
    // the normal image and resizes the window to it, keeping its top-left corner. The listener
    // is not told. False, with no images held, when the normal id is 0 or its image cannot be
    // allocated. Call after the window exists.
    bool SetImages(const UINT ids[korvex::kLayeredImageCount], LPCWSTR type, HINSTANCE module);
    // Releases every image; the button then shows nothing.
    void FreeImages();
    // Draws the current image scaled into the button's rectangle in its parent's client
    // coordinates, and the window text, if any, centred over it in black Arial 12 pt. Changes
    // no state.
    virtual void Render(Gdiplus::Graphics* graphics);
    // Picks the image for the state (the normal image where the state has none) and calls the
    // listener when that is another image object than before.
    virtual void UpdateStateImage();

    IRenderListener* m_listener = nullptr;  // not owned; the owner clears it before deleting
    bool m_shown = true;                    // the owner renders the button only while set

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnEnable(BOOL bEnable);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnMouseHover(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnRButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

  private:
    korvex::LayeredButtonState State() const;
    Gdiplus::Image*& Slot(korvex::LayeredImage slot);

    Gdiplus::Image* m_currentImage = nullptr;  // one of m_images, or null
    bool m_hover = false;
    bool m_pressed = false;
    bool m_checked = false;
    bool m_tracking = false;  // hover and leave tracking requested, no WM_MOUSELEAVE since
    Gdiplus::StringFormat m_textFormat;
    Gdiplus::Font* m_font = nullptr;
    Gdiplus::SolidBrush m_textBrush;
    Gdiplus::Image* m_images[korvex::kLayeredImageCount] = {};  // owned, by LayeredImage slot
    bool m_disabled = false;
};
