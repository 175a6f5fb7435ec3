#include "afx/gdi.h"

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) {
    DeleteObject();
    m_hObject = ::CreateFontIndirectW(lpLogFont);
    return m_hObject != nullptr;
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                       LPCWSTR lpszFacename) {
    DeleteObject();
    m_hObject = ::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                              bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                              nQuality, nPitchAndFamily, lpszFacename);
    return m_hObject != nullptr;
}

BOOL CFont::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    const BOOL done = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return done;
}
