#include "game/registry_key.h"

CRegistryKey::~CRegistryKey() { Close(); }

bool CRegistryKey::Open(HKEY root, LPCWSTR path) {
    Close();
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    m_hKey = key;
    return true;
}

bool CRegistryKey::QueryDword(LPCWSTR name, DWORD* value) const {
    if (m_hKey == nullptr || value == nullptr) return false;
    // Read into a copy: on failure (a longer value, for one) the system may have written part
    // of the buffer, and the caller's DWORD must stay as it was.
    DWORD data = 0;
    DWORD size = sizeof data;
    if (::RegQueryValueExW(m_hKey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        size != sizeof data) {
        return false;
    }
    *value = data;
    return true;
}

bool CRegistryKey::SetDword(LPCWSTR name, DWORD value) {
    if (m_hKey == nullptr) return false;
    return ::RegSetValueExW(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS;
}

bool CRegistryKey::Close() {
    if (m_hKey == nullptr) return false;
    HKEY key = m_hKey;
    m_hKey = nullptr;
    return ::RegCloseKey(key) == ERROR_SUCCESS;
}

bool CreateRegistryKey(HKEY root, LPCWSTR path, LPCWSTR className) {
    HKEY key = nullptr;
    // The class is only read; the declaration lacks the const.
    if (::RegCreateKeyExW(root, path, 0, const_cast<LPWSTR>(className), REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}
