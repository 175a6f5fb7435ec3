#include "browser_support.h"

#include <cstdlib>

#include "browser/browser_impl.h"
#include "cef/cef_task.h"
#include "core/runtime_info.h"
#include "cef/cef_closure_task.h"
#include "linux_processes.h"

namespace browser_test {

bool EngineStarted() {
    static const bool started = [] {
        const std::wstring profile = korvex_test::RunDir() + L"\\profile";
        CreateDirectoryW(profile.c_str(), nullptr);
        CefSettings settings;
        settings.no_sandbox = 1;
        settings.multi_threaded_message_loop = 1;
        settings.cache_path = CefString(profile);
        return CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, nullptr, nullptr) &&
               cef_detail::WaitForEngine(std::chrono::seconds(60));
    }();
    return started;
}

// ---- PageServer ----

PageServer::PageServer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 16);
    thread_ = std::thread([this] { Serve(); });
}

PageServer::~PageServer() {
    stop_ = true;
    thread_.join();
    closesocket(listener_);
    WSACleanup();
}

void PageServer::Serve() {
    while (!stop_) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener_, &ready);
        timeval wait{0, 50000};
        if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        // The engine also opens connections it may never use: each gets a thread of its own
        // and gives up after a while without a request.
        const DWORD timeout_ms = 3000;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout_ms),
                   sizeof(timeout_ms));
        workers_.emplace_back([this, client] {
            Answer(client);
            closesocket(client);
        });
    }
    for (std::thread& worker : workers_) worker.join();
}

void PageServer::Answer(SOCKET client) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int n = recv(client, buffer, sizeof(buffer), 0);
        if (n <= 0) return;
        head.append(buffer, std::size_t(n));
    }
    // "GET /path?query HTTP/1.1"
    const std::size_t start = head.find(' ') + 1;
    const std::string target = head.substr(start, head.find(' ', start) - start);
    const std::string path = target.substr(0, target.find('?'));
    std::string response;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(target);
        if (path == "/redirect") {
            response = "HTTP/1.0 302 Found\r\nLocation: /target\r\nContent-Length: 0\r\n\r\n";
        } else {
            auto it = pages_.find(path);
            const bool found = it != pages_.end();
            const std::string body = found ? it->second : "<html><body>missing</body></html>";
            response = std::string(found ? "HTTP/1.0 200 OK" : "HTTP/1.0 404 Not Found") +
                       "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                       std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        }
    }
    for (std::size_t sent = 0; sent < response.size();) {
        const int n = send(client, response.data() + sent, int(response.size() - sent), 0);
        if (n <= 0) return;
        sent += std::size_t(n);
    }
    shutdown(client, SD_SEND);
}

std::string PageServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void PageServer::Add(const std::string& path, std::string html) {
    std::lock_guard lock(mutex_);
    pages_[path] = std::move(html);
}

std::vector<std::string> PageServer::Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
}

// ---- HostWindow ----

HostWindow::HostWindow(int width, int height) {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"BrowserTestHost";
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    hwnd_ = CreateWindowExW(0, L"BrowserTestHost", L"browser test", WS_POPUP | WS_VISIBLE, 0, 0,
                            width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

// ---- RecordingClient ----

bool RecordingClient::OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                    const CefString& target_url, const CefString&,
                                    WindowOpenDisposition, bool, const CefPopupFeatures&,
                                    CefWindowInfo&, CefRefPtr<CefClient>&, CefBrowserSettings&,
                                    bool*) {
    std::lock_guard lock(mutex_);
    popups_.push_back({target_url.ToString(), CefCurrentlyOn(TID_UI)});
    return true;
}

void RecordingClient::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
    std::lock_guard lock(mutex_);
    list_.push_back(browser);
    created_.push_back(browser->GetIdentifier());
}

bool RecordingClient::DoClose(CefRefPtr<CefBrowser> browser) {
    std::lock_guard lock(mutex_);
    do_close_.push_back(browser->GetIdentifier());
    return false;
}

void RecordingClient::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
    std::lock_guard lock(mutex_);
    closed_.push_back(browser->GetIdentifier());
    for (auto it = list_.begin(); it != list_.end(); ++it) {
        if ((*it)->IsSame(browser)) {
            list_.erase(it);
            break;
        }
    }
}

void RecordingClient::OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, int) {
    std::lock_guard lock(mutex_);
    if (frame && frame->IsMain()) ++main_loads_;
}

void RecordingClient::OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, ErrorCode code,
                                  const CefString& text, const CefString& url) {
    std::lock_guard lock(mutex_);
    load_errors_.push_back({int(code), text.ToString(), url.ToString(), frame && frame->IsMain()});
}

bool RecordingClient::OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                     CefRefPtr<CefRequest> request, bool is_redirect) {
    const std::string url = request->GetURL().ToString();
    {
        std::lock_guard lock(mutex_);
        navigations_.push_back(
            {url, frame && frame->IsMain(), is_redirect, CefCurrentlyOn(TID_UI)});
    }
    if (!close_substring.empty() && url.find(close_substring) != std::string::npos) {
        CefPostTask(TID_UI,
                    new CefClosureTask([browser] { browser->GetHost()->CloseBrowser(true); }));
    }
    return !veto_substring.empty() && url.find(veto_substring) != std::string::npos;
}

void RecordingClient::OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                          CefRefPtr<CefContextMenuParams> params,
                                          CefRefPtr<CefMenuModel> model) {
    if (clear_menu) model->Clear();
    std::lock_guard lock(mutex_);
    ++menus_;
    last_menu_items_ = model->GetCount();
    last_menu_flags_ = params->GetTypeFlags();
}

void RecordingClient::CloseAll() {
    CefRefPtr<RecordingClient> self = this;
    CefPostTask(TID_UI, new CefClosureTask([self] {
                    for (auto& browser : self->Browsers()) browser->GetHost()->CloseBrowser(true);
                }));
}

#define SNAPSHOT(type, name, member)  \
    type RecordingClient::name() {    \
        std::lock_guard lock(mutex_); \
        return member;                \
    }
SNAPSHOT(std::vector<CefRefPtr<CefBrowser>>, Browsers, list_)
SNAPSHOT(std::vector<RecordingClient::Navigation>, Navigations, navigations_)
SNAPSHOT(std::vector<RecordingClient::LoadError>, LoadErrors, load_errors_)
SNAPSHOT(std::vector<RecordingClient::Popup>, Popups, popups_)
SNAPSHOT(std::vector<int>, CreatedOrder, created_)
SNAPSHOT(std::vector<int>, DoCloseOrder, do_close_)
SNAPSHOT(std::vector<int>, ClosedOrder, closed_)
SNAPSHOT(int, MainLoads, main_loads_)
SNAPSHOT(int, MenusOffered, menus_)
SNAPSHOT(int, LastMenuItemCount, last_menu_items_)
SNAPSHOT(int, LastMenuFlags, last_menu_flags_)
#undef SNAPSHOT

// ---- helpers ----

CefRefPtr<CefBrowser> OpenBrowser(RecordingClient* client, HWND parent, const std::string& url,
                                  const CefBrowserSettings& settings) {
    const std::size_t before = client->CreatedOrder().size();
    RECT rc;
    GetClientRect(parent, &rc);
    CefWindowInfo info;
    info.SetAsChild(parent, rc);
    if (!CefBrowserHost::CreateBrowser(info, client, url, settings, nullptr)) {
        return nullptr;
    }
    if (!PumpUntil([&] { return client->CreatedOrder().size() > before; })) return nullptr;
    return client->Browsers().back();
}

bool CloseAllAndWait(RecordingClient* client) {
    client->CloseAll();
    return PumpUntil([&] { return client->Browsers().empty(); });
}

cef_detail::Json Evaluate(CefRefPtr<CefBrowser> browser, const std::string& expression) {
    auto* impl = dynamic_cast<cef_detail::BrowserImpl*>(browser.get());
    cef_detail::Connection* connection = cef_detail::GetConnection();
    if (!impl || !connection) return nullptr;
    try {
        cef_detail::Json result = connection->Call(
            "Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}},
            impl->session_id());
        return result.value("result", cef_detail::Json::object())
            .value("value", cef_detail::Json());
    } catch (const cef_detail::ProtocolError&) {
        return nullptr;
    }
}

bool WaitForPage(CefRefPtr<CefBrowser> browser, const std::string& expression) {
    return PumpUntil([&] { return Evaluate(browser, "!!(" + expression + ")") == true; });
}

}  // namespace browser_test
