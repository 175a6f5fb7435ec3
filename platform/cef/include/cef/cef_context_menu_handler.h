// Context menus: what was right-clicked, and the handler that may change the menu.
#pragma once

#include "cef/cef_base.h"
#include "cef/cef_frame.h"
#include "cef/cef_menu_model.h"
#include "cef/cef_string.h"

class CefBrowser;

// What lies under the pointer; flags combine.
enum cef_context_menu_type_flags_t {
    CM_TYPEFLAG_NONE = 0,
    CM_TYPEFLAG_PAGE = 1 << 0,
    CM_TYPEFLAG_FRAME = 1 << 1,
    CM_TYPEFLAG_LINK = 1 << 2,
    CM_TYPEFLAG_MEDIA = 1 << 3,
    CM_TYPEFLAG_SELECTION = 1 << 4,
    CM_TYPEFLAG_EDITABLE = 1 << 5,
};

enum cef_event_flags_t {
    EVENTFLAG_NONE = 0,
    EVENTFLAG_SHIFT_DOWN = 1 << 1,
    EVENTFLAG_CONTROL_DOWN = 1 << 2,
    EVENTFLAG_ALT_DOWN = 1 << 3,
    EVENTFLAG_LEFT_MOUSE_BUTTON = 1 << 4,
    EVENTFLAG_MIDDLE_MOUSE_BUTTON = 1 << 5,
    EVENTFLAG_RIGHT_MOUSE_BUTTON = 1 << 6,
};

class CefContextMenuParams : public virtual CefBase {
  public:
    // Position in the browser window's client coordinates.
    virtual int GetXCoord() = 0;
    virtual int GetYCoord() = 0;
    // Combination of cef_context_menu_type_flags_t.
    virtual int GetTypeFlags() = 0;
    virtual CefString GetLinkUrl() = 0;
    virtual CefString GetPageUrl() = 0;
    virtual CefString GetFrameUrl() = 0;
    virtual CefString GetSelectionText() = 0;
    virtual bool IsEditable() = 0;
};

// Given to RunContextMenu: the handler that shows its own menu reports the choice here.
class CefRunContextMenuCallback : public virtual CefBase {
  public:
    virtual void Continue(int command_id, cef_event_flags_t event_flags) = 0;
    virtual void Cancel() = 0;
};

// Every operation runs on TID_UI.
class CefContextMenuHandler : public virtual CefBase {
  public:
    // Before the menu is shown; the handler may change model. An empty model shows nothing.
    virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                     CefRefPtr<CefContextMenuParams> params,
                                     CefRefPtr<CefMenuModel> model) {
        (void)browser, (void)frame, (void)params, (void)model;
    }
    // True when the handler shows the menu itself (and later calls callback).
    virtual bool RunContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                CefRefPtr<CefContextMenuParams> params,
                                CefRefPtr<CefMenuModel> model,
                                CefRefPtr<CefRunContextMenuCallback> callback) {
        (void)browser, (void)frame, (void)params, (void)model, (void)callback;
        return false;
    }
    // True when the handler carried out the command itself.
    virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                      CefRefPtr<CefContextMenuParams> params, int command_id,
                                      cef_event_flags_t event_flags) {
        (void)browser, (void)frame, (void)params, (void)command_id, (void)event_flags;
        return false;
    }
    virtual void OnContextMenuDismissed(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {
        (void)browser, (void)frame;
    }
};
