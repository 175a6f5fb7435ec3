// Right-click menus: what lies under the pointer, the handler's say, and the native menu.
#pragma once

#include <windows.h>

#include "browser/browser_impl.h"
#include "cef/cef_context_menu_handler.h"

namespace cef_detail {

// The page script that describes the element at (x, y); its value is what RunContextMenu
// takes as hit.
std::string HitTestScript(int x, int y);

// TID_UI. Builds the usual items, lets the handler change them, shows a popup menu when any
// item is left (or lets the handler show its own) and carries out the chosen command.
void RunContextMenu(BrowserImpl& browser, HWND window, int x, int y, const Json& hit);

}  // namespace cef_detail
