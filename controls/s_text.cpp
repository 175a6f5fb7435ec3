#include "controls/s_text.h"

#include <afx/message_entries.h>

IMPLEMENT_DYNAMIC(CSText, CStatic);

CSText::CSText() : m_bkBrush(::CreateSolidBrush(m_bkColor)) {}

CSText::~CSText() {
    if (m_bkBrush != nullptr) ::DeleteObject(m_bkBrush);
}

BOOL CSText::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CStatic::Create(text, style | SS_NOTIFY, rect, pParentWnd, nID);
}

void CSText::SetTextColor(COLORREF color) {
    m_textColor = color;
    Repaint();
}

void CSText::SetBkColor(COLORREF color) {
    if (m_bkBrush != nullptr) ::DeleteObject(m_bkBrush);
    m_bkColor = color;
    m_bkBrush = ::CreateSolidBrush(m_bkColor);
    Repaint();
}

void CSText::SetFontIndirect(const LOGFONTW* logFont) {
    m_font.CreateFontIndirect(logFont);
    ApplyFont();
}

void CSText::SetFont(int height, int width, int weight, BOOL italic, BOOL underline, BOOL strikeOut,
                     LPCWSTR face) {
    m_font.CreateFont(height, width, 0, 0, weight, static_cast<BYTE>(italic),
                      static_cast<BYTE>(underline), static_cast<BYTE>(strikeOut), DEFAULT_CHARSET,
                      0, 0, 0, 0, face);
    ApplyFont();
}

HBRUSH CSText::CtlColor(CDC* pDC, UINT) {
    pDC->SetTextColor(m_textColor);
    pDC->SetBkColor(m_bkColor);
    return m_bkBrush;
}

void CSText::ApplyFont() {
    if (m_hWnd == nullptr) return;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    Repaint();
}

// Without a window there is nothing to repaint (a null window would repaint every window).
void CSText::Repaint() {
    if (m_hWnd != nullptr) Invalidate(TRUE);
}

IMPLEMENT_MESSAGE_MAP(CSText, CStatic, afx::OnCtlColorReflect<&CSText::CtlColor>());
