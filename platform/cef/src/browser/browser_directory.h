// Where the engine's ids of each browser are registered, so that the engine's events find their
// browser: the registry, as a browser sees it. TID_UI unless said otherwise.
#pragma once

#include <string>

namespace cef_detail {

class BrowserDirectory {
  public:
    // The browser's page target.
    virtual void BindTarget(int browser_id, const std::string& target_id) = 0;
    // A session of the browser: its page's, or that of a sub-frame in a process of its own.
    virtual void BindSession(int browser_id, const std::string& session_id) = 0;
    virtual void UnbindSession(int browser_id, const std::string& session_id) = 0;
    // Forgets the browser: its ids, and the directory's reference to it.
    virtual void Remove(int browser_id) = 0;
    // Any thread. Asks the engine to close a page target, until it is gone.
    virtual void CloseTarget(const std::string& target_id) = 0;

  protected:
    ~BrowserDirectory() = default;
};

}  // namespace cef_detail
