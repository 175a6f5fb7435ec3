// The game window: a black, borderless, resizable frame with a 40-pixel title strip (logo,
// server line, image buttons) above the game browser. It moves and resizes itself with the
// mouse, maximises to the work area, hides and shows itself (the hide button, the boss key, the
// notification-area icon, all through g_gameShown), and ends the application when the player
// leaves the game. The launcher makes it once, on the accepted login address.
#pragma once

#include <afx/afx.h>

#include <string>

#include "controls/image_button.h"
#include "controls/s_text.h"

// Server and account texts: at most 99 characters and a terminator.
inline constexpr std::size_t kGameTextUnits = 100;

class CGameDialog : public CDialogEx {
    DECLARE_DYNAMIC(CGameDialog)

  public:
    explicit CGameDialog(CWnd* pParent = nullptr);
    ~CGameDialog() override;

    // Deletes the title-strip buttons, gives up the boss key, then destroys the window.
    BOOL DestroyWindow() override;

    // Hides the window when it is shown, shows it when hidden (command 3007; the launcher's
    // notification-area icon and the boss key do the same).
    void OnHideShow();

    // Where the launcher keeps its pointer to this window: cleared when the window object goes,
    // so that nothing reaches it afterwards.
    void ClearOnDestruction(CGameDialog** pointer) { m_clearedOnDestruction = pointer; }

    // Filled by the launcher before the window exists.
    wchar_t m_server[kGameTextUnits] = {};
    wchar_t m_account[kGameTextUnits] = {};
    std::wstring m_gameUrl;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Keys pass straight to their windows (no dialog keyboard handling); a right button acts
    // as the left one.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}      // Enter does not close the game
    void OnCancel() override {}  // nor do Escape and Alt+F4

    void LayoutControls(int cx, int cy);
    void CreateTitleButtons();

    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnHotKey(UINT nHotKeyId, UINT nKey1, UINT nKey2);

    void OnRefresh();
    void OnRecharge();
    void OnOfficialSite();
    void OnMinimize();
    void OnMaximizeRestore();
    void OnExitGame();
    void OnBossKey();
    void OnClearCache();
    LRESULT OnCacheCleared(WPARAM, LPARAM);

    // Edge zone under the cursor (the values of korvex::HitZone), 0 for none.
    int m_hitZone = 0;
    // An edge or corner drag holds the mouse capture.
    bool m_resizing = false;
    // Drag anchor in client coordinates.
    int m_dragX = 0;
    int m_dragY = 0;
    HBRUSH m_bgBrush = nullptr;  // the stock black brush; never deleted
    RECT m_clientRect{};
    bool m_maximized = false;
    bool m_hotkeyRegistered = false;
    CImageButton* m_btnRefresh = nullptr;
    CImageButton* m_btnRecharge = nullptr;
    CImageButton* m_btnOfficialSite = nullptr;
    CImageButton* m_btnMinimize = nullptr;
    CImageButton* m_btnMaximize = nullptr;
    CImageButton* m_btnClose = nullptr;
    CImageButton* m_logo = nullptr;
    CImageButton* m_btnHide = nullptr;
    CImageButton* m_btnBossKey = nullptr;
    CImageButton* m_btnClearCache = nullptr;
    CSText m_title;
    // The buttons and the label exist: LayoutControls does nothing before.
    bool m_ready = false;

    DECLARE_MESSAGE_MAP()

  private:
    void RegisterBossKey(UINT flags, UINT virtualKey);

    CGameDialog** m_clearedOnDestruction = nullptr;
    // A clear-cache command is under way; its notice comes once the caches are clear.
    bool m_clearingCache = false;
};

// Whether the game window is shown; the hide button, the boss key and the notification-area
// icon all toggle it. User-interface thread only.
extern bool g_gameShown;
