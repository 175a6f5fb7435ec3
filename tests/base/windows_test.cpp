// The shared helpers that reach the system, under Wine: arguments through the real command-line
// parser, environment variables, the executable's path and name, handles, Wine paths.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/environment.h"
#include "base/exe_paths.h"
#include "base/quote_argument.h"
#include "base/scoped_handle.h"
#include "base/utf.h"
#include "base/wine.h"
#include "process_handles.h"

namespace {

TEST(QuoteArgument, ArgumentsSurviveTheWindowsCommandLine) {
    const std::vector<std::wstring> args = {
        L"plain",      L"with space",      L"",         L"quote\"inside",
        L"trailing\\", L"C:\\path with\\", L"a\\\\\"b", L"d=$1; shift\nmkfifo \"$d/in\"",
        L"宋体"};
    std::wstring line = L"prog.exe";
    for (const auto& a : args) line += L" " + korvex::QuoteArgument(a);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(line.c_str(), &argc);
    ASSERT_NE(argv, nullptr);
    ASSERT_EQ(argc, static_cast<int>(args.size()) + 1);
    for (std::size_t i = 0; i < args.size(); ++i) EXPECT_EQ(argv[i + 1], args[i]) << i;
    LocalFree(argv);
}

TEST(Environment, TellsUnsetFromEmptyAndReadsLongValues) {
    const wchar_t* name = L"KORVEX_BASE_TEST_VARIABLE";
    SetEnvironmentVariableW(name, nullptr);
    EXPECT_EQ(korvex::GetEnv(name), std::nullopt);
    EXPECT_FALSE(korvex::HasEnv(name));

    SetEnvironmentVariableW(name, L"");
    EXPECT_EQ(korvex::GetEnv(name), std::wstring());
    EXPECT_FALSE(korvex::HasEnv(name));

    const std::wstring longer(5000, L'x');  // more than the first buffer holds
    SetEnvironmentVariableW(name, (longer + L"宋").c_str());
    EXPECT_EQ(korvex::GetEnv(name), longer + L"宋");
    EXPECT_TRUE(korvex::HasEnv(name));
    SetEnvironmentVariableW(name, nullptr);
}

TEST(ExePaths, NameTheRunningProgram) {
    const std::wstring path = korvex::GetExePath();
    ASSERT_FALSE(path.empty());
    const std::wstring dir = GetExeDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), L'\\');
    EXPECT_EQ(path, dir + GetExeFileName());
    EXPECT_STREQ(GetExeFileName(), L"base_windows_test.exe");
    EXPECT_STREQ(korvex::GetAppName(), L"base_windows_test");
    EXPECT_TRUE(FileExists(path.c_str()));
    EXPECT_FALSE(FileExists(dir.substr(0, dir.size() - 1).c_str()));  // a directory is no file
}

TEST(ScopedHandle, ClosesWhatItHoldsOnceAndKeepsInvalidAsNull) {
    const DWORD before = korvex_test::OpenHandles();
    ASSERT_GT(before, 0u) << "the handle list cannot be read";
    {
        korvex::ScopedHandle a(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(a);
        korvex::ScopedHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        korvex::ScopedHandle invalid(INVALID_HANDLE_VALUE);
        EXPECT_FALSE(invalid);
        b.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));  // closes the first event
        EXPECT_TRUE(b);
    }
    EXPECT_EQ(korvex_test::OpenHandles(), before);
}

TEST(Wine, PathsConvertBothWays) {
    ASSERT_TRUE(korvex::wine::IsWine());
    const auto unix_path = korvex::wine::UnixPath(korvex::GetExePath());
    ASSERT_TRUE(unix_path.has_value());
    EXPECT_EQ(unix_path->front(), '/');
    const auto back = korvex::wine::WindowsPath(*unix_path);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(FileExists(back->c_str())) << korvex::WideToUtf8(*back);
}

}  // namespace
