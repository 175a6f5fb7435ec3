// A static text with its own text colour, background colour and font. The system static
// control paints it; this object answers the colour request the control sends its parent while
// painting (the parent's default handling hands it back here) and owns the one background
// brush and the font it hands out.
#pragma once

#include <afx/afx.h>

class CSText : public CStatic {
    DECLARE_DYNAMIC(CSText)

  public:
    CSText();
    ~CSText() override;
    CSText(const CSText&) = delete;
    CSText& operator=(const CSText&) = delete;

    // Creates the static control with SS_NOTIFY added to `style`.
    BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* pParentWnd,
                UINT nID = 0xffff) override;

    // Each setter repaints the whole control (once it has a window).
    virtual void SetTextColor(COLORREF color);
    // Replaces the background brush: exactly one brush exists at any time.
    virtual void SetBkColor(COLORREF color);
    // Replace the control's font; the previous one is deleted first, so at most one exists. A
    // font that cannot be created leaves the control on the system font.
    virtual void SetFontIndirect(const LOGFONTW* logFont);
    virtual void SetFont(int height, int width, int weight, BOOL italic, BOOL underline,
                         BOOL strikeOut, LPCWSTR face);

  protected:
    // The reflected colour request: the colours, and the brush that fills the whole control.
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

  private:
    // Hands m_font to the control and repaints it.
    void ApplyFont();
    void Repaint();

    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_bkColor = RGB(255, 255, 255);
    HBRUSH m_bkBrush = nullptr;  // owned
    CFont m_font;
};
