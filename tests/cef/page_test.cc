#include "page_test.h"

namespace browser_test {

void PageTest::SetUp() {
    ASSERT_TRUE(EngineStarted()) << "no engine";
    ASSERT_TRUE(server_.running());
    client_ = new RecordingClient;
}

void PageTest::TearDown() {
    if (client_) {
        EXPECT_TRUE(CloseAllAndWait(client_.get()));
    }
}

CefRefPtr<CefBrowser> PageTest::Open(const std::string& path, const CefBrowserSettings& settings) {
    CefRefPtr<CefBrowser> browser =
        OpenBrowser(client_.get(), host_.hwnd(), server_.Url(path), settings);
    if (browser && !WaitForPage(browser, "document.readyState === 'complete'")) return nullptr;
    return browser;
}

}  // namespace browser_test
