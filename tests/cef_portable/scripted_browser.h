// A BrowserCore under test: the browser object above it and the registry beside it record
// what they are told, in one log, so the order of a close can be read off; the engine is a
// FakeConnection the test answers.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "browser/browser_core.h"
#include "fake_connection.h"

namespace cef_test {

using Stage = cef_detail::BrowserCore::Stage;
using DisplayScale = cef_detail::DisplayScale;
using Log = std::vector<std::string>;

inline constexpr int kBrowserId = 7;

class ScriptedBrowser : public cef_detail::BrowserCore::Delegate,
                        public cef_detail::BrowserDirectory {
  public:
    explicit ScriptedBrowser(std::string url = "http://start/", std::string target_id = {})
        : core(
              kBrowserId, connection, *this, *this,
              [this](const std::string& t) { trace.push_back(t); }, std::move(url),
              std::move(target_id)) {}

    // Scripts the engine up to the page's first frame tree.
    void StartAndAttach(const std::string& target = "T", const std::string& session = "S") {
        core.Start();
        if (connection.Pending("Target.createTarget")) {
            ASSERT_TRUE(connection.Answer("Target.createTarget", {{"targetId", target}}));
        }
        ASSERT_TRUE(connection.Answer("Target.attachToTarget", {{"sessionId", session}}));
        ASSERT_TRUE(connection.Answer(
            "Page.getFrameTree",
            {{"frameTree", {{"frame", {{"id", target}, {"url", "about:blank"}}}}}}));
        log.clear();
    }
    // The session of the last command of method; "-" when there was none.
    std::string SessionOf(const std::string& method) const {
        for (auto it = connection.sent().rbegin(); it != connection.sent().rend(); ++it) {
            if (it->method == method) return it->session;
        }
        return "-";
    }
    const FakeConnection::Sent* Last(const std::string& method) const {
        for (auto it = connection.sent().rbegin(); it != connection.sent().rend(); ++it) {
            if (it->method == method) return &*it;
        }
        return nullptr;
    }
    std::size_t Count(const std::string& method) const {
        std::size_t n = 0;
        for (const auto& s : connection.sent()) n += s.method == method;
        return n;
    }

    // BrowserCore::Delegate
    std::shared_ptr<void> KeepAlive() override {
        ++keep_alives;
        return {};
    }
    std::pair<int, int> ClientSize() override { return size; }
    DisplayScale ViewScale() override { return scale; }
    bool WindowShown() override {
        // A window that reports a change when it is asked, as a real one does.
        if (shown_news) core.SetShown(*std::exchange(shown_news, std::nullopt));
        return shown;
    }
    void OnAfterCreated() override { log.push_back("OnAfterCreated"); }
    bool DoClose() override {
        log.push_back("DoClose");
        return owner_closes;
    }
    bool DestroyWindow() override {
        log.push_back("DestroyWindow");
        if (!has_window) return false;
        core.Finish();  // as WM_DESTROY does, inside DestroyWindow
        return true;
    }
    void ReleaseView() override { log.push_back("ReleaseView"); }
    void OnBeforeClose() override { log.push_back("OnBeforeClose"); }
    void InvalidateFrames() override { log.push_back("InvalidateFrames"); }
    void UpdateFrame(const std::string& frame_id, const std::string& url, const std::string& name,
                     const std::optional<std::string>& parent_id) override {
        log.push_back("UpdateFrame " + frame_id + " " + url + " " + name + " " +
                      (parent_id ? "parent=" + *parent_id : "parent kept"));
    }
    void SetFrameParent(const std::string& frame_id, const std::string& parent_id) override {
        log.push_back("SetFrameParent " + frame_id + " " + parent_id);
    }
    void RemoveFrame(const std::string& frame_id) override {
        log.push_back("RemoveFrame " + frame_id);
    }
    bool OnBeforeBrowse(const std::string& frame_id, const std::string& url,
                        const std::string& method, bool redirect) override {
        log.push_back("OnBeforeBrowse " + frame_id + " " + url + " " + method +
                      (redirect ? " redirect" : ""));
        return url == veto;
    }
    void OnLoadError(const std::string& frame_id, int code, const std::string& name,
                     const std::string& url) override {
        log.push_back("OnLoadError " + frame_id + " " + std::to_string(code) + " " + name + " " +
                      url);
    }
    void OnFrameLoading(const std::string& frame_id, bool started, bool main) override {
        log.push_back(std::string(started ? "OnLoadStart " : "OnLoadEnd ") + frame_id +
                      (main ? " main" : "") + (core.loading() ? " loading" : ""));
    }
    void OnAddressChange(const std::string& frame_id, const std::string& url) override {
        log.push_back("OnAddressChange " + frame_id + " " + url);
    }
    void OnRenderProcessTerminated(const std::string& engine_status) override {
        log.push_back("OnRenderProcessTerminated " + engine_status);
    }
    void OpenDialog(const cef_detail::PageDialog& dialog) override {
        log.push_back("OpenDialog " + dialog.message);
    }
    void ShowDialog(bool shown) override {
        log.push_back(shown ? "ShowDialog shown" : "ShowDialog hidden");
    }
    void CloseDialog() override { log.push_back("CloseDialog"); }

    // BrowserDirectory
    void BindTarget(int id, const std::string& target) override {
        log.push_back("BindTarget " + std::to_string(id) + " " + target);
    }
    void BindSession(int id, const std::string& session) override {
        log.push_back("BindSession " + std::to_string(id) + " " + session);
    }
    void UnbindSession(int id, const std::string& session) override {
        log.push_back("UnbindSession " + std::to_string(id) + " " + session);
    }
    void Remove(int id) override { log.push_back("Remove " + std::to_string(id)); }
    void CloseTarget(const std::string& target) override { log.push_back("CloseTarget " + target); }

    FakeConnection connection;
    std::vector<std::string> log;
    std::vector<std::string> trace;
    std::pair<int, int> size{800, 600};
    DisplayScale scale;
    bool shown = true;
    std::optional<bool> shown_news;  // reported through SetShown the next time it is asked
    bool owner_closes = false;
    bool has_window = true;
    std::string veto = "http://vetoed/";
    int keep_alives = 0;
    cef_detail::BrowserCore core;
};

}  // namespace cef_test
