// Right-click menus: what lies under the pointer, the handler's say, and the native menu.
#pragma once

#include <windows.h>

#include <string>

#include "cef/cef_browser.h"
#include "cef/cef_context_menu_handler.h"
#include "browser/page_hit.h"
#include "devtools/commands.h"

namespace cef_detail {

// What the menu's own commands need beyond the public browser: the page, to run edit commands
// and the like there. Any thread.
class ContextMenuHost {
  public:
    virtual void SendToPage(Command command, Connection::Reply reply = {}) = 0;

  protected:
    ~ContextMenuHost() = default;
};

// TID_UI. Builds the usual items, lets the handler change them, shows a popup menu when any
// item is left (or lets the handler show its own) and carries out the chosen command. host is
// the browser itself; the menu keeps browser (and so host) alive while it may still act.
void RunContextMenu(CefRefPtr<CefBrowser> browser, ContextMenuHost& host, HWND window, int x, int y,
                    const PageHit& hit);

}  // namespace cef_detail
