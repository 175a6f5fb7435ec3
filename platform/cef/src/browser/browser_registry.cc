#include "browser/browser_registry.h"

#include "browser/popup_opener.h"
#include "cef/cef_task.h"
#include "core/runtime_info.h"
#include "devtools/commands.h"

namespace cef_detail {

BrowserRegistry& BrowserRegistry::Get() {
    static BrowserRegistry* registry = new BrowserRegistry;  // lives as long as the process
    return *registry;
}

void BrowserRegistry::Add(CefRefPtr<BrowserImpl> browser) {
    std::lock_guard lock(mutex_);
    browsers_[browser->GetIdentifier()] = browser;
}

void BrowserRegistry::BindTarget(int browser_id, const std::string& target_id) {
    std::lock_guard lock(mutex_);
    by_target_[target_id] = browser_id;
}

void BrowserRegistry::BindSession(int browser_id, const std::string& session_id) {
    std::lock_guard lock(mutex_);
    by_session_[session_id] = browser_id;
}

void BrowserRegistry::UnbindSession(int browser_id, const std::string& session_id) {
    std::lock_guard lock(mutex_);
    if (auto it = by_session_.find(session_id);
        it != by_session_.end() && it->second == browser_id) {
        by_session_.erase(it);
    }
}

void BrowserRegistry::Remove(int browser_id) {
    CefRefPtr<BrowserImpl> keep;  // released after the lock
    std::lock_guard lock(mutex_);
    std::erase_if(by_session_,
                  [browser_id](const auto& entry) { return entry.second == browser_id; });
    std::erase_if(by_target_,
                  [browser_id](const auto& entry) { return entry.second == browser_id; });
    if (auto it = browsers_.find(browser_id); it != browsers_.end()) {
        keep = it->second;
        browsers_.erase(it);
    }
}

CefRefPtr<BrowserImpl> BrowserRegistry::Find(const std::map<std::string, int>& index,
                                             const std::string& key) {
    auto it = index.find(key);
    if (it == index.end()) return nullptr;
    auto browser = browsers_.find(it->second);
    return browser == browsers_.end() ? nullptr : browser->second;
}

CefRefPtr<BrowserImpl> BrowserRegistry::BySession(const std::string& session_id) {
    std::lock_guard lock(mutex_);
    return Find(by_session_, session_id);
}

CefRefPtr<BrowserImpl> BrowserRegistry::ByTarget(const std::string& target_id) {
    std::lock_guard lock(mutex_);
    return Find(by_target_, target_id);
}

CefRefPtr<BrowserImpl> BrowserRegistry::ByWindow(HWND window) {
    std::lock_guard lock(mutex_);
    for (auto& [id, browser] : browsers_) {
        if (browser->GetWindowHandle() == window) return browser;
    }
    return nullptr;
}

std::size_t BrowserRegistry::Count() {
    std::lock_guard lock(mutex_);
    return browsers_.size();
}

void BrowserRegistry::Listen(Connection& connection) {
    if (connection_.exchange(&connection) == &connection) return;
    connection.AddListener(
        [this](const std::string& method, const Json& params, const std::string& session_id) {
            OnEvent(method, params, session_id);
        });
    connection.AddIoListener(std::string(events::kScreencastFrame),
                             [this](const std::string&, Json& params, const std::string& session) {
                                 return OnScreencastFrame(params, session);
                             });
    // Pop-ups show up as new page targets whose opener is one of the browsers.
    SendToEngine(connection, commands::DiscoverTargets());
}

void BrowserRegistry::CloseTarget(const std::string& target_id) {
    Connection* connection = connection_;
    if (target_id.empty() || !connection) return;
    {
        std::lock_guard lock(mutex_);
        closing_targets_.insert(target_id);
    }
    SendToEngine(*connection, commands::CloseTarget(target_id));
}

void BrowserRegistry::OnEvent(const std::string& method, const Json& params,
                              const std::string& session_id) {
    if (!session_id.empty()) {
        if (CefRefPtr<BrowserImpl> browser = BySession(session_id)) {
            browser->OnPageEvent(method, params, session_id);
        }
        return;
    }
    if (method == events::kTargetCreated) {
        OnTargetCreated(params.value("targetInfo", Json::object()));
    } else if (method == events::kTargetInfoChanged) {
        const std::string target = params.value("targetInfo", Json::object()).value("targetId", "");
        bool closing = false;
        {
            std::lock_guard lock(mutex_);
            closing = closing_targets_.count(target) != 0;
        }
        // Still there after it was asked to close: the close was lost; ask again.
        if (closing)
            if (Connection* connection = connection_)
                SendToEngine(*connection, commands::CloseTarget(target));
    } else if (method == events::kTargetDestroyed || method == events::kDetachedFromTarget) {
        // The page went away on its own (window.close(), engine gone): close its browser too.
        const std::string target =
            params.contains("targetId")
                ? params.value("targetId", "")
                : params.value("targetInfo", Json::object()).value("targetId", "");
        if (method == events::kTargetDestroyed) {
            std::lock_guard lock(mutex_);
            closing_targets_.erase(target);
        }
        if (CefRefPtr<BrowserImpl> browser = ByTarget(target)) browser->CloseBrowser(true);
    }
}

void BrowserRegistry::OnTargetCreated(const Json& info) {
    if (info.value("type", "") != "page") return;
    CefRefPtr<BrowserImpl> opener = ByTarget(info.value("openerId", ""));
    Connection* connection = connection_;
    if (!opener || !connection) return;
    std::string url = opener->TakePendingPopupUrl();
    if (url.empty()) url = info.value("url", "");
    OpenPopup(
        *connection, *this, [this](CefRefPtr<BrowserImpl> popup) { Add(popup); }, opener,
        info.value("targetId", ""), std::move(url));
}

bool BrowserRegistry::OnScreencastFrame(Json& params, const std::string& session_id) {
    if (CefRefPtr<BrowserImpl> browser = BySession(session_id)) {
        browser->OnScreencastFrame(params);
        return true;
    }
    return false;  // a page that is not a browser's (a measurement, for instance)
}

long long FramesDeliveredTo(HWND browser_window) {
    CefRefPtr<BrowserImpl> browser = BrowserRegistry::Get().ByWindow(browser_window);
    return browser ? static_cast<long long>(browser->received_frames()) : -1;
}

long long FramesPaintedIn(HWND browser_window) {
    CefRefPtr<BrowserImpl> browser = BrowserRegistry::Get().ByWindow(browser_window);
    return browser ? static_cast<long long>(browser->painted_frames()) : -1;
}

}  // namespace cef_detail
