// Which profile folder a copy of Korvex takes, given which folders other copies hold.
#include "app/profile_chooser.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

using korvex::ProfileChooser;
using Claim = ProfileChooser::Claim;

struct ChooseCase {
    const char* what;
    std::map<std::wstring, Claim> folders;  // names not listed are free
    std::optional<std::wstring> chosen;
    std::vector<std::wstring> tried;
};
// Cases print by name.
void PrintTo(const ChooseCase& c, std::ostream* out) { *out << '"' << c.what << '"'; }

class ProfileChoice : public ::testing::TestWithParam<ChooseCase> {};

TEST_P(ProfileChoice, TakesTheFirstFreeFolderInOrder) {
    const ChooseCase& c = GetParam();
    std::vector<std::wstring> tried;
    const auto chosen = ProfileChooser::Choose([&](const std::wstring& name) {
        tried.push_back(name);
        auto it = c.folders.find(name);
        return it == c.folders.end() ? Claim::kTaken : it->second;
    });
    EXPECT_EQ(chosen, c.chosen);
    EXPECT_EQ(tried, c.tried);
}

std::map<std::wstring, Claim> AllHeld() {
    std::map<std::wstring, Claim> held;
    for (int copy = 1; copy <= ProfileChooser::kMostCopies; ++copy)
        held[ProfileChooser::FolderName(copy)] = Claim::kHeld;
    return held;
}

INSTANTIATE_TEST_SUITE_P(
    Copies, ProfileChoice,
    ::testing::Values(
        ChooseCase{"FirstCopy", {}, L"cache", {L"cache"}},
        ChooseCase{"SecondCopy", {{L"cache", Claim::kHeld}}, L"cache-2", {L"cache", L"cache-2"}},
        ChooseCase{"ThirdCopy",
                   {{L"cache", Claim::kHeld}, {L"cache-2", Claim::kHeld}},
                   L"cache-3",
                   {L"cache", L"cache-2", L"cache-3"}},
        ChooseCase{"AFolderFreedByAnEndedCopyIsTakenAgain",
                   {{L"cache-2", Claim::kHeld}},
                   L"cache",
                   {L"cache"}},
        ChooseCase{"AGapIsFilled",
                   {{L"cache", Claim::kHeld}, {L"cache-3", Claim::kHeld}},
                   L"cache-2",
                   {L"cache", L"cache-2"}},
        ChooseCase{"AnUnusableFolderStopsTheSearch",
                   {{L"cache", Claim::kHeld}, {L"cache-2", Claim::kUnusable}},
                   std::nullopt,
                   {L"cache", L"cache-2"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ProfileChoice, EveryFolderHeldGivesNone) {
    const auto held = AllHeld();
    int tries = 0;
    const auto chosen = ProfileChooser::Choose([&](const std::wstring& name) {
        ++tries;
        return held.at(name);
    });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(tries, ProfileChooser::kMostCopies);
}

TEST(ProfileChoice, FolderNamesCountFromOne) {
    EXPECT_EQ(ProfileChooser::FolderName(1), L"cache");
    EXPECT_EQ(ProfileChooser::FolderName(2), L"cache-2");
    EXPECT_EQ(ProfileChooser::FolderName(64), L"cache-64");
}

}  // namespace
