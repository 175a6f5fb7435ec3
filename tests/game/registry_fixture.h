// Registry scratch space for the tests: a key of its own below HKEY_CURRENT_USER for each test,
// removed before and after it, and independent ways to look at what the code under test did.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Handles the process holds (registry keys among them), counted in the system's handle list;
// GetProcessHandleCount answers 0 under Wine. 0 when the list cannot be read.
inline DWORD OpenHandles() {
    struct Entry {
        ULONG ownerPid;
        BYTE type;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    struct List {
        ULONG count;
        Entry entries[1];
    };
    using Query = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    std::vector<BYTE> buffer(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed)) == kLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) return 0;
    const auto* list = reinterpret_cast<const List*>(buffer.data());
    DWORD own = 0;
    for (ULONG i = 0; i < list->count; ++i) {
        if (list->entries[i].ownerPid == ::GetCurrentProcessId()) ++own;
    }
    return own;
}

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
