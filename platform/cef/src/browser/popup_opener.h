// Pop-ups: page targets the engine opened for one of the browsers' pages (window.open, a link
// with a target). The opener's life-span handler decides whether each becomes a browser of its
// own; a suppressed one is closed.
#pragma once

#include <functional>
#include <string>

#include "browser/browser_impl.h"

namespace cef_detail {

// Takes a new pop-up browser (TID_UI), before it starts.
using AddBrowser = std::function<void(CefRefPtr<BrowserImpl> browser)>;

// TID_UI: the engine opened target_id, showing url, for opener's page. The decision is made on
// TID_IO (OnBeforePopup), never on TID_UI; the pop-up browser is then made on TID_UI, on
// connection, registered in directory through add. connection and directory outlive it all.
void OpenPopup(Connection& connection, BrowserDirectory& directory, AddBrowser add,
               CefRefPtr<BrowserImpl> opener, std::string target_id, std::string url);

}  // namespace cef_detail
