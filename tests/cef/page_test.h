// A browser test on the pages of tests/cef/pages, against the engine: the pages served, a host
// window of a given client size and a recording client; every browser still open is closed
// when the test ends, also when it failed.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "browser_support.h"
#include "page_server_process.h"

namespace browser_test {

class PageTest : public ::testing::Test {
  protected:
    explicit PageTest(int width = 800, int height = 600) : host_(width, height) {}
    void SetUp() override;
    void TearDown() override;

    // A browser in the host window on the page at path, once its document has loaded; null
    // when it did not come or did not load.
    CefRefPtr<CefBrowser> Open(const std::string& path,
                               const CefBrowserSettings& settings = CefBrowserSettings());

    korvex_test::PageServerProcess server_{korvex_test::SourcePath("tests/cef/pages")};
    HostWindow host_;
    CefRefPtr<RecordingClient> client_;
};

}  // namespace browser_test
