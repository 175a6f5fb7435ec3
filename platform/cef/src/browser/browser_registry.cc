#include "browser/browser_registry.h"

#include "browser/popup_opener.h"
#include "cef/cef_task.h"
#include "core/engine_startup.h"
#include "core/runtime_info.h"

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
    routes_.BindTarget(browser_id, target_id);
}

void BrowserRegistry::BindSession(int browser_id, const std::string& session_id) {
    routes_.BindSession(browser_id, session_id);
}

void BrowserRegistry::UnbindSession(int browser_id, const std::string& session_id) {
    routes_.UnbindSession(browser_id, session_id);
}

void BrowserRegistry::Remove(int browser_id) {
    routes_.Forget(browser_id);
    CefRefPtr<BrowserImpl> keep;  // released after the lock
    std::lock_guard lock(mutex_);
    if (auto it = browsers_.find(browser_id); it != browsers_.end()) {
        keep = it->second;
        browsers_.erase(it);
    }
}

void BrowserRegistry::CloseTarget(const std::string& target_id) { routes_.CloseTarget(target_id); }

CefRefPtr<BrowserImpl> BrowserRegistry::Find(std::optional<int> browser_id) {
    if (!browser_id) return nullptr;
    std::lock_guard lock(mutex_);
    auto it = browsers_.find(*browser_id);
    return it == browsers_.end() ? nullptr : it->second;
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
    if (!routes_.SetConnection(connection)) return;
    SetEngineRestartHandler(
        [this](const std::string& error_text) { OnEngineRestarted(error_text); });
    connection.AddListener(
        [this](const std::string& method, const Json& params, const std::string& session_id) {
            routes_.OnEvent(method, params, session_id);
        });
    connection.AddIoListener(std::string(events::ScreencastFrame::kMethod),
                             [this](const std::string&, Json& params, const std::string& session) {
                                 return OnScreencastFrame(params, session);
                             });
    // Pop-ups show up as new page targets whose opener is one of the browsers.
    SendToEngine(connection, commands::DiscoverTargets());
}

void BrowserRegistry::OnPageEvent(int browser_id, const std::string& method, const Json& params,
                                  const std::string& session) {
    if (CefRefPtr<BrowserImpl> browser = Find(browser_id)) {
        browser->OnPageEvent(method, params, session);
    }
}

void BrowserRegistry::OnPageGone(int browser_id) {
    if (CefRefPtr<BrowserImpl> browser = Find(browser_id)) browser->CloseBrowser(true);
}

void BrowserRegistry::OnRendererEnded(int browser_id, const std::string& engine_status) {
    if (CefRefPtr<BrowserImpl> browser = Find(browser_id)) browser->OnRendererEnded(engine_status);
}

void BrowserRegistry::OnEngineRestarted(const std::string& error_text) {
    routes_.ForgetEngine();
    if (Connection* connection = routes_.connection())
        SendToEngine(*connection, commands::DiscoverTargets());
    std::vector<CefRefPtr<BrowserImpl>> browsers;
    {
        std::lock_guard lock(mutex_);
        for (auto& [id, browser] : browsers_) browsers.push_back(browser);
    }
    // In the order they were made (identifiers grow), outside the lock: a browser registers its
    // new ids as it goes.
    for (auto& browser : browsers) browser->Recreate(error_text);
}

void BrowserRegistry::OnPopupTarget(int opener_id, const std::string& target_id,
                                    const std::string& url) {
    CefRefPtr<BrowserImpl> opener = Find(opener_id);
    Connection* connection = routes_.connection();
    if (!opener || !connection) return;
    // The address the page asked for; the engine's may still be about:blank.
    std::string address = opener->TakePendingPopupUrl();
    if (address.empty()) address = url;
    OpenPopup(
        *connection, *this, [this](CefRefPtr<BrowserImpl> popup) { Add(popup); }, opener, target_id,
        std::move(address));
}

bool BrowserRegistry::OnScreencastFrame(Json& params, const std::string& session_id) {
    if (CefRefPtr<BrowserImpl> browser = Find(routes_.BySession(session_id))) {
        browser->OnScreencastFrame(events::ScreencastFrame::Take(params));
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

long long LosslessPicturesShownIn(HWND browser_window) {
    CefRefPtr<BrowserImpl> browser = BrowserRegistry::Get().ByWindow(browser_window);
    return browser ? static_cast<long long>(browser->lossless_pictures_shown()) : -1;
}

}  // namespace cef_detail

namespace cef_detail {

int PageDialogsWaiting(HWND browser_window) {
    CefRefPtr<BrowserImpl> browser = BrowserRegistry::Get().ByWindow(browser_window);
    return browser ? browser->waiting_dialogs() : -1;
}

}  // namespace cef_detail
