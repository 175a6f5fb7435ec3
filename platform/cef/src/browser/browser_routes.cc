#include "browser/browser_routes.h"

namespace cef_detail {

bool BrowserRoutes::SetConnection(Connection& connection) {
    return connection_.exchange(&connection) != &connection;
}

void BrowserRoutes::BindTarget(int browser_id, const std::string& target_id) {
    std::lock_guard lock(mutex_);
    by_target_[target_id] = browser_id;
}

void BrowserRoutes::BindSession(int browser_id, const std::string& session_id) {
    std::lock_guard lock(mutex_);
    by_session_[session_id] = browser_id;
}

void BrowserRoutes::UnbindSession(int browser_id, const std::string& session_id) {
    std::lock_guard lock(mutex_);
    if (auto it = by_session_.find(session_id);
        it != by_session_.end() && it->second == browser_id) {
        by_session_.erase(it);
    }
}

void BrowserRoutes::Forget(int browser_id) {
    std::lock_guard lock(mutex_);
    auto is_browser = [browser_id](const auto& entry) { return entry.second == browser_id; };
    std::erase_if(by_session_, is_browser);
    std::erase_if(by_target_, is_browser);
}

void BrowserRoutes::ForgetEngine() {
    std::lock_guard lock(mutex_);
    by_session_.clear();
    by_target_.clear();
    closing_targets_.clear();
}

std::optional<int> BrowserRoutes::BySession(const std::string& session_id) {
    std::lock_guard lock(mutex_);
    auto it = by_session_.find(session_id);
    if (it == by_session_.end()) return std::nullopt;
    return it->second;
}

std::optional<int> BrowserRoutes::ByTarget(const std::string& target_id) {
    std::lock_guard lock(mutex_);
    auto it = by_target_.find(target_id);
    if (it == by_target_.end()) return std::nullopt;
    return it->second;
}

void BrowserRoutes::CloseTarget(const std::string& target_id) {
    Connection* connection = connection_;
    if (target_id.empty() || !connection) return;
    {
        std::lock_guard lock(mutex_);
        closing_targets_.insert(target_id);
    }
    SendToEngine(*connection, commands::CloseTarget(target_id));
}

void BrowserRoutes::OnEvent(const std::string& method, const Json& params,
                            const std::string& session_id) {
    if (!session_id.empty()) {
        if (std::optional<int> browser = BySession(session_id)) {
            browsers_.OnPageEvent(*browser, method, params, session_id);
        }
        return;
    }
    using namespace events;
    if (auto created = As<TargetCreated>(method, params)) {
        OnTargetCreated(created->target);
    } else if (auto changed = As<TargetInfoChanged>(method, params)) {
        OnTargetInfoChanged(changed->target);
    } else if (auto destroyed = As<TargetDestroyed>(method, params)) {
        OnTargetGone(destroyed->target_id, true);
    } else if (auto detached = As<DetachedFromTarget>(method, params)) {
        OnTargetGone(detached->target_id, false);
    } else if (auto crashed = As<TargetCrashed>(method, params)) {
        if (std::optional<int> browser = ByTarget(crashed->target_id))
            browsers_.OnRendererEnded(*browser, crashed->status);
    }
}

void BrowserRoutes::OnTargetCreated(const events::TargetInfo& target) {
    if (target.type != "page") return;
    std::optional<int> opener = ByTarget(target.opener_id);
    if (!opener || !connection_) return;
    browsers_.OnPopupTarget(*opener, target.target_id, target.url);
}

void BrowserRoutes::OnTargetInfoChanged(const events::TargetInfo& target) {
    bool closing = false;
    {
        std::lock_guard lock(mutex_);
        closing = closing_targets_.count(target.target_id) != 0;
    }
    // Still there after it was asked to close: the close was lost; ask again.
    Connection* connection = connection_;
    if (closing && connection) SendToEngine(*connection, commands::CloseTarget(target.target_id));
}

void BrowserRoutes::OnTargetGone(const std::string& target_id, bool destroyed) {
    // The page went away on its own (window.close(), engine gone): close its browser too.
    if (destroyed) {
        std::lock_guard lock(mutex_);
        closing_targets_.erase(target_id);
    }
    if (std::optional<int> browser = ByTarget(target_id)) browsers_.OnPageGone(*browser);
}

}  // namespace cef_detail
