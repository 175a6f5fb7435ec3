// Registry scratch space for the tests: a key of its own below HKEY_CURRENT_USER for each test,
// removed before and after it, and independent ways to look at what the code under test did.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process_handles.h"

namespace game_test {

inline bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// A value as the registry holds it.
struct RawValue {
    bool found = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

inline RawValue ReadRawValue(HKEY root, const std::wstring& path, const wchar_t* name) {
    RawValue value;
    BYTE data[64];
    DWORD size = sizeof data;
    if (::RegGetValueW(root, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, data,
                       &size) == ERROR_SUCCESS) {
        value.found = true;
        value.data.assign(data, data + size);
    }
    return value;
}

inline bool WriteRawValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type,
                          const std::vector<BYTE>& data) {
    return ::RegSetKeyValueW(root, path.c_str(), name, type, data.data(),
                             static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

using korvex_test::OpenHandles;

// Each test gets "Software\KorvexGameTests\<suite>.<test>", absent when it starts and removed
// when it ends.
class ScratchKey : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = L"Software\\KorvexGameTests\\" + Wide(info->test_suite_name()) + L"." +
                 Wide(info->name());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, m_path));
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str()); }

    const std::wstring& Path() const { return m_path; }
    std::wstring Sub(const wchar_t* name) const { return m_path + L"\\" + name; }

  private:
    static std::wstring Wide(const char* text) {
        std::wstring wide;
        for (; *text; ++text) wide += static_cast<wchar_t>(*text == '/' ? '_' : *text);
        return wide;
    }
    std::wstring m_path;
};

}  // namespace game_test
