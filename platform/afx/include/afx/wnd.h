// CWnd: a C++ object bound to one window handle. Bound objects ("permanent") receive the
// window's messages through their virtual WindowProc and their message map; handles without an
// object get short-lived wrappers from FromHandle that the message loop discards.
#pragma once

#include <windows.h>

#include "afx/dc.h"
#include "afx/geometry.h"
#include "afx/message_map.h"
#include "afx/runtime_class.h"

class CDataExchange;

class CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)

  public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Destroys a window that is still bound.
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Handle map. FromHandle returns the bound object or a temporary wrapper (null for null).
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Discards the temporary wrappers; the message loops call it between messages.
    static void DeleteTempMap();

    // Binds this object to hWnd without routing the window's messages through it.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Binds this object to an existing window and routes its messages through WindowProc.
    BOOL SubclassWindow(HWND hWnd);

    // Creates a window whose messages reach this object from the first one on.
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                  int width, int height, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                CWnd* pParentWnd, UINT nID);

    virtual BOOL DestroyWindow();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Default processing of the message being handled now.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Thin wrappers over the window functions.
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void MoveWindow(int x, int y, int width, int height, BOOL bRepaint = TRUE) {
        ::MoveWindow(m_hWnd, x, y, width, height, bRepaint);
    }
    void MoveWindow(const RECT* rect, BOOL bRepaint = TRUE) {
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                   bRepaint);
    }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx,
                              cy, flags);
    }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const {
        return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
    }
    // Remove then add style bits; with nFlags, also SetWindowPos(SWP_FRAMECHANGED | nFlags).
    // True when the style changed.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT nFlags = 0);
    void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
    int GetWindowText(LPWSTR buffer, int maxCount) const {
        return ::GetWindowTextW(m_hWnd, buffer, maxCount);
    }
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void ValidateRect(const RECT* rect) { ::ValidateRect(m_hWnd, rect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                   reinterpret_cast<LPARAM>(hIcon)));
    }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
    // The parent window (for a top-level window: its owner), like ::GetParent.
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    // Null makes the window top-level. Returns the previous parent.
    CWnd* SetParent(CWnd* pWndNewParent) {
        return FromHandle(::SetParent(m_hWnd, pWndNewParent ? pWndNewParent->m_hWnd : nullptr));
    }
    HDC GetDC() { return ::GetDC(m_hWnd); }
    int ReleaseDC(HDC hDC) { return ::ReleaseDC(m_hWnd, hDC); }
    // A null caption shows the application's name.
    int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK);

    // Called by the message plumbing; not for application code.
    static LRESULT CALLBACK StandardWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

  protected:
    // Called just before a window starts sending its messages to this object (creation or
    // SubclassWindow); the window handle is already set.
    virtual void PreSubclassWindow();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Looks the message up in the map chain; true when a handler took it.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Offers a message that the parent received on this control's behalf to this control's
    // reflected entries; true when one took it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called after the window's last message; the object is no longer bound.
    virtual void PostNcDestroy() {}

    static const ::afx::MessageMap* GetThisMessageMap();
    virtual const ::afx::MessageMap* GetMessageMap() const;

    // Default handlers, callable from derived handlers: each does the default processing.
    void OnPaint() { Default(); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnLButtonDblClk(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnRButtonUp(UINT, CPoint) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    void OnMouseHover(UINT, CPoint) { Default(); }
    void OnMouseLeave() { Default(); }
    void OnMove(int, int) { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnHotKey(UINT, UINT, UINT) { Default(); }
    void OnEnable(BOOL) { Default(); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    // Offers the request to the control that asks (its reflected colour handler) and otherwise
    // does the default processing.
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

  private:
    friend struct WindowPlumbing;
    WNDPROC m_pfnSuper = nullptr;  // the window's procedure before we routed it here
    BOOL OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};
