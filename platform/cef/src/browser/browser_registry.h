// Every live browser of the process, found by its page session or target, and the one set of
// connection listeners that routes the engine's events to them. The registry holds the
// browsers; they reach it only as their BrowserDirectory.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "browser/browser_directory.h"
#include "browser/browser_impl.h"

namespace cef_detail {

class BrowserRegistry : public BrowserDirectory {
  public:
    static BrowserRegistry& Get();

    // TID_UI. The registry holds a reference until Remove.
    void Add(CefRefPtr<BrowserImpl> browser);
    // BrowserDirectory
    void BindTarget(int browser_id, const std::string& target_id) override;
    void BindSession(int browser_id, const std::string& session_id) override;
    void UnbindSession(int browser_id, const std::string& session_id) override;
    void Remove(int browser_id) override;
    // Asks the engine to close a browser's page and keeps asking until it is gone: a close that
    // reaches a page while its navigation is being committed can be lost in the engine, and the
    // page then lives on. The page's next change of address or title after such a close asks
    // again.
    void CloseTarget(const std::string& target_id) override;

    // Any thread.
    CefRefPtr<BrowserImpl> BySession(const std::string& session_id);
    CefRefPtr<BrowserImpl> ByTarget(const std::string& target_id);
    CefRefPtr<BrowserImpl> ByWindow(HWND window);
    std::size_t Count();

    // TID_UI. Installs the listeners once per connection; the registry and the pop-ups it makes
    // use that connection from then on.
    void Listen(Connection& connection);

  private:
    void OnEvent(const std::string& method, const Json& params, const std::string& session_id);
    void OnTargetCreated(const Json& target_info);
    bool OnScreencastFrame(Json& params, const std::string& session_id);
    // Under mutex_.
    CefRefPtr<BrowserImpl> Find(const std::map<std::string, int>& index, const std::string& key);

    std::mutex mutex_;
    std::map<int, CefRefPtr<BrowserImpl>> browsers_;  // by identifier
    std::map<std::string, int> by_session_;
    std::map<std::string, int> by_target_;
    std::set<std::string> closing_targets_;         // asked to close, not yet reported destroyed
    std::atomic<Connection*> connection_{nullptr};  // set by Listen
};

}  // namespace cef_detail
