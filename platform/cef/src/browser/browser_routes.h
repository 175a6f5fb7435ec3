// The engine's ids of every browser (page targets and sessions) and what the engine's
// browser-level events mean for them: events of a session go to its browser, a page that went
// away on its own closes its browser, a new page opened by a browser's page is a pop-up
// candidate, and a target asked to close is asked again until the engine reports it destroyed.
// Free of Win32; the registry holds the browsers themselves.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "devtools/commands.h"

namespace cef_detail {

class BrowserRoutes {
  public:
    // What the routes act on (the registry). TID_UI.
    class Browsers {
      public:
        // An event of a session bound to browser_id.
        virtual void OnPageEvent(int browser_id, const std::string& method, const Json& params,
                                 const std::string& session) = 0;
        // The browser's page went away on its own (window.close(), the engine gone).
        virtual void OnPageGone(int browser_id) = 0;
        // The engine opened page target_id, showing url, for the page of browser opener_id.
        virtual void OnPopupTarget(int opener_id, const std::string& target_id,
                                   const std::string& url) = 0;
        // The renderer process of the browser's page ended (engine_status: the engine's word
        // for how).
        virtual void OnRendererEnded(int browser_id, const std::string& engine_status) = 0;

      protected:
        ~Browsers() = default;
    };

    // browsers outlives the routes.
    explicit BrowserRoutes(Browsers& browsers) : browsers_(browsers) {}

    // The connection close requests go out on; true the first time it is given (later calls
    // with the same connection change nothing).
    bool SetConnection(Connection& connection);
    Connection* connection() const { return connection_; }

    // Any thread.
    void BindTarget(int browser_id, const std::string& target_id);
    void BindSession(int browser_id, const std::string& session_id);
    // Only while the session is still the browser's.
    void UnbindSession(int browser_id, const std::string& session_id);
    // Drops every id of the browser.
    void Forget(int browser_id);
    // Drops every id of every browser and every pending close: the engine that gave them is
    // gone.
    void ForgetEngine();
    std::optional<int> BySession(const std::string& session_id);
    std::optional<int> ByTarget(const std::string& target_id);
    // Asks the engine to close a page and keeps asking until it is gone: a close that reaches a
    // page while its navigation is being committed can be lost in the engine, and the page then
    // lives on. The page's next change of address or title after such a close asks again.
    // Nothing without a connection or a target.
    void CloseTarget(const std::string& target_id);

    // TID_UI: one event of the connection.
    void OnEvent(const std::string& method, const Json& params, const std::string& session_id);

  private:
    void OnTargetCreated(const events::TargetInfo& target);
    void OnTargetInfoChanged(const events::TargetInfo& target);
    // destroyed: the engine reported the target destroyed (not merely detached).
    void OnTargetGone(const std::string& target_id, bool destroyed);

    Browsers& browsers_;
    std::atomic<Connection*> connection_{nullptr};
    std::mutex mutex_;
    std::map<std::string, int> by_session_;
    std::map<std::string, int> by_target_;
    std::set<std::string> closing_targets_;  // asked to close, not yet reported destroyed
};

}  // namespace cef_detail
