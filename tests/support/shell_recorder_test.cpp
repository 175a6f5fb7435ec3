// The stand-in default browser: what the shell is asked to open reaches its log.
#include "shell_recorder.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(ShellRecorder, RecordsWebAndMailAddressesTheShellOpens) {
    korvex_test::ShellRecorder recorder;
    const wchar_t* addresses[] = {L"http://127.0.0.1:1/a?x=1&y=2", L"https://example.com/b",
                                  L"mailto:someone@example.com"};
    for (const wchar_t* a : addresses) {
        ShellExecuteW(nullptr, L"open", a, nullptr, nullptr, SW_SHOWNORMAL);
    }
    ASSERT_TRUE(recorder.WaitForCount(3));
    auto opened = recorder.Opened();
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened,
              (std::vector<std::string>{"http://127.0.0.1:1/a?x=1&y=2", "https://example.com/b",
                                        "mailto:someone@example.com"}));
}

}  // namespace
