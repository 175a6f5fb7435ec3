// The registry key holder and CreateRegistryKey against the real registry of the run's prefix.
#include "game/registry_key.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "registry_fixture.h"

namespace {

using game_test::KeyExists;
using game_test::OpenHandles;
using game_test::ReadRawValue;
using game_test::WriteRawValue;

static_assert(!std::is_copy_constructible_v<CRegistryKey>);
static_assert(!std::is_copy_assignable_v<CRegistryKey>);

constexpr DWORD kUntouched = 0xDEADBEEF;

class RegistryKey : public game_test::ScratchKey {};

TEST_F(RegistryKey, NewObjectHoldsNoKey) {
    CRegistryKey key;
    DWORD value = kUntouched;
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(key.QueryDword(L"v", &value));
    EXPECT_EQ(value, kUntouched);
    EXPECT_FALSE(key.SetDword(L"v", 1));
    EXPECT_FALSE(key.Close());
}

TEST_F(RegistryKey, OpenOnAMissingKeyFailsAndLeavesTheObjectClosed) {
    CRegistryKey key;
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, Path().c_str()));
    EXPECT_FALSE(key.IsOpen());
    DWORD value = kUntouched;
    EXPECT_FALSE(key.QueryDword(L"v", &value));
    EXPECT_EQ(value, kUntouched);
    EXPECT_FALSE(key.SetDword(L"v", 7));
    EXPECT_FALSE(key.Close());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path()));  // nothing was created on the way
}

TEST_F(RegistryKey, CreateThenOpenSucceeds) {
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, Path().c_str(), nullptr));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path()));
    CRegistryKey key;
    EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, Path().c_str()));
    EXPECT_TRUE(key.IsOpen());
    EXPECT_TRUE(key.Close());
    EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryKey, CreateMakesTheWholePathAndAcceptsAnExistingKey) {
    const std::wstring deep = Path() + L"\\a\\b\\c";
    EXPECT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, deep.c_str(), nullptr));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, deep));
    EXPECT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, deep.c_str(), nullptr));
}

TEST_F(RegistryKey, CreateGivesTheKeyItsClass) {
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, Path().c_str(), L"KorvexClass"));
    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, Path().c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
    wchar_t className[32] = {};
    DWORD length = 32;
    EXPECT_EQ(::RegQueryInfoKeyW(raw, className, &length, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(raw);
    EXPECT_STREQ(className, L"KorvexClass");
}

TEST_F(RegistryKey, CreateLeavesNoKeyOpen) {
    CreateRegistryKey(HKEY_CURRENT_USER, L"Software", nullptr);  // the root's own handle, once
    const DWORD before = OpenHandles();
    ASSERT_GT(before, 0u) << "the process's handles cannot be counted";
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, Path().c_str(), nullptr));
    EXPECT_EQ(OpenHandles(), before);
}

TEST_F(RegistryKey, CreateUnderAMissingRootFails) {
    EXPECT_FALSE(CreateRegistryKey(nullptr, Path().c_str(), nullptr));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path()));
}

TEST_F(RegistryKey, QueryOfAMissingValueFailsAndLeavesTheOutput) {
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, Path().c_str(), nullptr));
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, Path().c_str()));
    DWORD value = kUntouched;
    EXPECT_FALSE(key.QueryDword(L"missing", &value));
    EXPECT_EQ(value, kUntouched);
    EXPECT_FALSE(key.QueryDword(L"missing", nullptr));
}

TEST_F(RegistryKey, SetWritesADwordThatQueryReads) {
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, Path().c_str(), nullptr));
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, Path().c_str()));
    ASSERT_TRUE(key.SetDword(L"hotkey", 0x065A));

    const auto raw = ReadRawValue(HKEY_CURRENT_USER, Path(), L"hotkey");
    ASSERT_TRUE(raw.found);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.data, (std::vector<BYTE>{0x5A, 0x06, 0x00, 0x00}));

    DWORD value = kUntouched;
    EXPECT_TRUE(key.QueryDword(L"hotkey", &value));
    EXPECT_EQ(value, 0x065Au);

    ASSERT_TRUE(key.SetDword(L"hotkey", 0));
    EXPECT_TRUE(key.QueryDword(L"hotkey", &value));
    EXPECT_EQ(value, 0u);
}

struct TypedValue {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    bool read;
    DWORD value;  // when read
};

void PrintTo(const TypedValue& c, std::ostream* os) { *os << c.name; }

class ValueOfAnyType : public game_test::ScratchKey,
                       public ::testing::WithParamInterface<TypedValue> {};

// Four bytes are read as they lie, whatever type the value has; any other length is refused
// and the output keeps its value.
TEST_P(ValueOfAnyType, IsReadAsFourBytes) {
    const TypedValue& c = GetParam();
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, Path().c_str(), nullptr));
    ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, Path(), L"v", c.type, c.data));
    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, Path().c_str()));
    DWORD value = kUntouched;
    EXPECT_EQ(key.QueryDword(L"v", &value), c.read);
    EXPECT_EQ(value, c.read ? c.value : kUntouched);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ValueOfAnyType,
    ::testing::Values(TypedValue{"Dword", REG_DWORD, {0x5A, 0x06, 0, 0}, true, 0x065A},
                      TypedValue{"Binary4", REG_BINARY, {0x5A, 0x06, 0, 0}, true, 0x065A},
                      TypedValue{
                          "BigEndian", REG_DWORD_BIG_ENDIAN, {0, 0, 0x06, 0x5A}, true, 0x5A060000},
                      TypedValue{"String4", REG_SZ, {'Z', 0, 0, 0}, true, 0x5A},
                      TypedValue{"Binary2", REG_BINARY, {0x5A, 0x06}, false, 0},
                      TypedValue{"Empty", REG_BINARY, {}, false, 0},
                      TypedValue{"Binary8", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}, false, 0},
                      TypedValue{"Qword", REG_QWORD, {0x5A, 0x06, 0, 0, 0, 0, 0, 0}, false, 0},
                      TypedValue{"LongString", REG_SZ, {'h', 0, 'o', 0, 't', 0, 0, 0}, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryKey, OpenOnAnOpenObjectClosesTheOldKeyFirst) {
    const std::wstring first = Path() + L"\\first", second = Path() + L"\\second";
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, first.c_str(), nullptr));
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, second.c_str(), nullptr));
    ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, first, L"v", REG_DWORD, {1, 0, 0, 0}));
    ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, second, L"v", REG_DWORD, {2, 0, 0, 0}));

    CRegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, first.c_str()));
    const DWORD withOne = OpenHandles();
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, second.c_str()));
    EXPECT_EQ(OpenHandles(), withOne);  // the first key's handle went before the second came
    DWORD value = 0;
    EXPECT_TRUE(key.QueryDword(L"v", &value));
    EXPECT_EQ(value, 2u);

    // A failed open closes the old key too.
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, (Path() + L"\\missing").c_str()));
    EXPECT_EQ(OpenHandles(), withOne - 1);
    EXPECT_FALSE(key.IsOpen());
    value = kUntouched;
    EXPECT_FALSE(key.QueryDword(L"v", &value));
    EXPECT_EQ(value, kUntouched);
}

TEST_F(RegistryKey, CloseOnAClosedObjectFails) {
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, Path().c_str(), nullptr));
    CRegistryKey key;
    EXPECT_FALSE(key.Close());
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, Path().c_str()));
    const DWORD open = OpenHandles();
    EXPECT_TRUE(key.Close());
    EXPECT_EQ(OpenHandles(), open - 1);
    EXPECT_FALSE(key.Close());
    EXPECT_EQ(OpenHandles(), open - 1);
}

TEST_F(RegistryKey, DestructorClosesTheKey) {
    ASSERT_TRUE(CreateRegistryKey(HKEY_CURRENT_USER, Path().c_str(), nullptr));
    const DWORD before = OpenHandles();
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, Path().c_str()));
        EXPECT_EQ(OpenHandles(), before + 1);
    }
    EXPECT_EQ(OpenHandles(), before);
}

}  // namespace
