// Quellix's text handling, on the host with sanitizers.
#include "path_text.h"

#include <gtest/gtest.h>

namespace quellix {
namespace {

struct JoinCase {
    std::wstring folder, name, joined;
};

TEST(PathText, JoinAddsOneBackslashOnlyWhenMissing) {
    const JoinCase cases[] = {
        {L"C:\\Users\\me\\Desktop", L"Torvane.lnk", L"C:\\Users\\me\\Desktop\\Torvane.lnk"},
        {L"C:\\Users\\me\\Desktop\\", L"Torvane.lnk", L"C:\\Users\\me\\Desktop\\Torvane.lnk"},
        {L"C:\\Local", L"VelkGame2\\", L"C:\\Local\\VelkGame2\\"},
        {L"", L"x", L"\\x"},
    };
    for (const auto& c : cases) EXPECT_EQ(JoinPath(c.folder, c.name), c.joined);
}

TEST(PathText, KeyNameIsTheLastComponent) {
    EXPECT_EQ(
        LastPathComponent(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VelkGame2"),
        L"VelkGame2");
    EXPECT_EQ(LastPathComponent(L"VelkGame2"), L"VelkGame2");
    EXPECT_EQ(LastPathComponent(L"a\\"), L"");
}

TEST(PathText, FixedNames) {
    EXPECT_EQ(ShortcutFileName(), L"Torvane.lnk");
    EXPECT_EQ(UninstallShortcutFileName(), L"卸载Torvane.lnk");
    EXPECT_EQ(DoneMessageText(), L"Torvane已成功卸载");
}

TEST(PathText, EveryNameWithALeadingFullStopIsSkipped) {
    const std::pair<std::wstring, bool> cases[] = {
        {L".", true},    {L"..", true},          {L".keep", true}, {L"..e", true},
        {L"a.b", false}, {L"Korvex.exe", false}, {L"", false},     {L"x.", false},
    };
    for (const auto& [name, skipped] : cases) EXPECT_EQ(IsSkippedName(name), skipped);
}

TEST(PathText, SelfDeleteCommandQuotesTheExecutable) {
    EXPECT_EQ(SelfDeleteCommand(L"C:\\windows\\system32\\cmd.exe", L"C:\\Game Files\\Quellix.exe"),
              L"C:\\windows\\system32\\cmd.exe /c  del \"C:\\Game Files\\Quellix.exe\" > nul");
}

TEST(PathText, SelfDeleteCommandIsNeverCut) {
    const std::wstring interpreter(250, L'c');
    const std::wstring executable(250, L'e');
    const std::wstring command = SelfDeleteCommand(interpreter, executable);
    EXPECT_EQ(command.size(), 250u + 9u + 1u + 250u + 1u + 6u);
    EXPECT_EQ(command.substr(command.size() - 8), L"e\" > nul");
}

}  // namespace
}  // namespace quellix
