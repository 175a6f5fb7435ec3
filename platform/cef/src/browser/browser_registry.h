// Every live browser of the process, and the one set of connection listeners that hands the
// engine's events to its BrowserRoutes. The registry holds the browsers; they reach it only as
// their BrowserDirectory.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "browser/browser_directory.h"
#include "browser/browser_impl.h"
#include "browser/browser_routes.h"

namespace cef_detail {

class BrowserRegistry : public BrowserDirectory, private BrowserRoutes::Browsers {
  public:
    static BrowserRegistry& Get();

    // TID_UI. The registry holds a reference until Remove.
    void Add(CefRefPtr<BrowserImpl> browser);
    // BrowserDirectory
    void BindTarget(int browser_id, const std::string& target_id) override;
    void BindSession(int browser_id, const std::string& session_id) override;
    void UnbindSession(int browser_id, const std::string& session_id) override;
    void Remove(int browser_id) override;
    void CloseTarget(const std::string& target_id) override;

    // Any thread.
    CefRefPtr<BrowserImpl> ByWindow(HWND window);
    std::size_t Count();

    // TID_UI. Installs the listeners once per connection; the registry and the pop-ups it makes
    // use that connection from then on.
    void Listen(Connection& connection);

  private:
    BrowserRegistry() : routes_(*this) {}
    CefRefPtr<BrowserImpl> Find(std::optional<int> browser_id);
    bool OnScreencastFrame(Json& params, const std::string& session_id);

    // BrowserRoutes::Browsers (TID_UI)
    void OnPageEvent(int browser_id, const std::string& method, const Json& params,
                     const std::string& session) override;
    void OnPageGone(int browser_id) override;
    void OnPopupTarget(int opener_id, const std::string& target_id,
                       const std::string& url) override;
    void OnRendererEnded(int browser_id, const std::string& engine_status) override;
    // TID_UI: a new engine replaced the one that died; every browser is made again in it.
    void OnEngineRestarted(const std::string& error_text);

    BrowserRoutes routes_;
    std::mutex mutex_;
    std::map<int, CefRefPtr<BrowserImpl>> browsers_;  // by identifier
};

}  // namespace cef_detail
