// The stored boss key in the real registry of the run's prefix: reading with nothing stored,
// storing (which creates the key), and the value's type.
#include "game/boss_key.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry_fixture.h"

namespace {

using game_test::KeyExists;
using game_test::OpenHandles;
using game_test::ReadRawValue;
using game_test::WriteRawValue;

const std::wstring kPath = L"Software\\VelkMicroClient2";

// The boss key's own key is removed before and after each test.
class BossKey : public ::testing::Test {
  protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kPath.c_str());
        ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kPath));
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kPath.c_str()); }
};

TEST_F(BossKey, TheKeyAndValueAreTheDocumentedOnes) {
    EXPECT_EQ(std::wstring(korvex::kBossKeyPath), kPath);
    EXPECT_STREQ(korvex::kBossKeyValueName, L"hotkey");
    EXPECT_EQ(BOSS_KEY_ID, 1001);
}

TEST_F(BossKey, NothingStoredReadsZero) {
    EXPECT_EQ(ReadBossKey(), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kPath));  // reading creates nothing
}

TEST_F(BossKey, KeyWithoutValueReadsZero) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(ReadBossKey(), 0u);
}

TEST_F(BossKey, StoringCreatesTheKeyAndWritesADword) {
    EXPECT_TRUE(StoreBossKey(0x065A));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kPath));
    const auto raw = ReadRawValue(HKEY_CURRENT_USER, kPath, L"hotkey");
    ASSERT_TRUE(raw.found);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.data, (std::vector<BYTE>{0x5A, 0x06, 0x00, 0x00}));
    EXPECT_EQ(ReadBossKey(), 0x065Au);
}

TEST_F(BossKey, StoringIntoAnExistingKeyReplacesTheValue) {
    ASSERT_TRUE(StoreBossKey(0x065A));
    ASSERT_TRUE(StoreBossKey(0x0A25));
    EXPECT_EQ(ReadBossKey(), 0x0A25u);
}

// Clearing the choice stores 0 rather than removing the value.
TEST_F(BossKey, StoringZeroKeepsAZeroValue) {
    ASSERT_TRUE(StoreBossKey(0x065A));
    ASSERT_TRUE(StoreBossKey(0));
    const auto raw = ReadRawValue(HKEY_CURRENT_USER, kPath, L"hotkey");
    ASSERT_TRUE(raw.found);
    EXPECT_EQ(raw.data, (std::vector<BYTE>{0, 0, 0, 0}));
    EXPECT_EQ(ReadBossKey(), 0u);
}

TEST_F(BossKey, FourBytesOfAnyTypeAreRead) {
    ASSERT_TRUE(
        WriteRawValue(HKEY_CURRENT_USER, kPath, L"hotkey", REG_BINARY, {0x5A, 0x06, 0x00, 0x00}));
    EXPECT_EQ(ReadBossKey(), 0x065Au);
}

TEST_F(BossKey, ValueOfAnotherLengthReadsZero) {
    ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, kPath, L"hotkey", REG_BINARY,
                              {0x5A, 0x06, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(ReadBossKey(), 0u);
    ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, kPath, L"hotkey", REG_BINARY, {0x5A, 0x06}));
    EXPECT_EQ(ReadBossKey(), 0u);
}

TEST_F(BossKey, ReadingAndStoringLeaveNoKeyOpen) {
    ASSERT_TRUE(StoreBossKey(1));  // the first use of the user's root opens its handle
    const DWORD before = OpenHandles();
    ASSERT_GT(before, 0u) << "the process's handles cannot be counted";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kPath.c_str());
    EXPECT_TRUE(StoreBossKey(0x065A));  // created, opened again, written
    EXPECT_TRUE(StoreBossKey(0x065B));  // opened, written
    EXPECT_EQ(ReadBossKey(), 0x065Bu);
    EXPECT_EQ(OpenHandles(), before);
}

}  // namespace
