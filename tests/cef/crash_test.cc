// A page whose renderer process is killed, against the real engine: the request handler hears
// how it ended, the page is loaded again at once, and when it is killed again within a minute
// the load handler reports the end as a load error instead.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "browser_support.h"
#include "cef/cef_task.h"
#include "core/runtime_info.h"
#include "linux_processes.h"
#include "page_server_process.h"

namespace browser_test {
namespace {

using korvex_test::PageServerProcess;

// The recording client, with the ends of renderers written down too.
class CrashRecordingClient : public RecordingClient {
  public:
    void OnRenderProcessTerminated(CefRefPtr<CefBrowser>, TerminationStatus status) override {
        std::lock_guard lock(mutex_);
        ends_.push_back({status, CefCurrentlyOn(TID_UI)});
    }
    struct End {
        TerminationStatus status;
        bool on_ui;
    };
    std::vector<End> Ends() {
        std::lock_guard lock(mutex_);
        return ends_;
    }
    // The load errors an application shows: a navigation that another one replaced (the engine
    // may start the page's own and the library's reload of a crashed page both) ends aborted,
    // which applications leave alone, as Korvex does.
    std::vector<LoadError> ShownLoadErrors() {
        std::vector<LoadError> shown;
        for (const LoadError& error : LoadErrors())
            if (error.code != ERR_ABORTED) shown.push_back(error);
        return shown;
    }

  private:
    std::mutex mutex_;
    std::vector<End> ends_;
};

// Kills every renderer process of the engine (the page's among them) with SIGKILL.
bool KillRenderers() {
    const auto renderers =
        korvex_test::TreeProcessesWith(cef_detail::EnginePid(), "--type=renderer");
    korvex_test::KillAll(renderers);
    return !renderers.empty();
}

TEST(RendererEnd, IsReportedAndLoadedAgainThenAgainWithinAMinuteIsALoadError) {
    ASSERT_TRUE(EngineStarted()) << "no engine";
    PageServerProcess server(korvex_test::SourcePath("tests/cef/pages"));
    ASSERT_TRUE(server.running());
    HostWindow host;
    CefRefPtr<CrashRecordingClient> client = new CrashRecordingClient;
    const std::string page = server.Url("/crash.html");
    CefRefPtr<CefBrowser> browser = OpenBrowser(client.get(), host.hwnd(), page);
    ASSERT_TRUE(browser);
    // Each load asks the server for the page.
    auto loaded = [&](int times) {
        return server.WaitFor([&](const auto&) { return server.Count("/crash.html") >= times; },
                              60s);
    };
    ASSERT_TRUE(loaded(1));

    ASSERT_TRUE(KillRenderers());
    ASSERT_TRUE(PumpUntil([&] { return client->Ends().size() == 1; }, 30s));
    EXPECT_EQ(client->Ends()[0].status, TS_PROCESS_WAS_KILLED);
    EXPECT_TRUE(client->Ends()[0].on_ui);
    ASSERT_TRUE(loaded(2)) << "the page was not loaded again";
    EXPECT_TRUE(WaitForPage(browser, "document.readyState === 'complete'"));
    EXPECT_TRUE(client->ShownLoadErrors().empty());

    ASSERT_TRUE(KillRenderers());
    ASSERT_TRUE(PumpUntil([&] { return !client->ShownLoadErrors().empty(); }, 30s))
        << "no load error for the second end";
    const auto error = client->ShownLoadErrors()[0];
    EXPECT_EQ(error.code, ERR_FAILED);
    EXPECT_EQ(error.text, "RENDERER_KILLED");
    EXPECT_EQ(error.url, page);
    EXPECT_TRUE(error.main);
    EXPECT_EQ(client->Ends().size(), 2u);
    EXPECT_EQ(server.Count("/crash.html"), 2) << "loaded again within the minute";
    // The frame stands for the address that failed, and loading again loads that address.
    EXPECT_EQ(browser->GetMainFrame()->GetURL().ToString(), page);
    browser->Reload();
    EXPECT_TRUE(loaded(3));
    EXPECT_TRUE(CloseAllAndWait(client.get()));
}

}  // namespace
}  // namespace browser_test
