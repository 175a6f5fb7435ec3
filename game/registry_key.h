// A holder for one open registry key, with the few operations the boss key needs, and the
// function that makes sure a key exists. Every operation answers with a plain success flag and
// reports nothing else. Keys are opened and created with KEY_ALL_ACCESS.
#pragma once

#include <windows.h>

class CRegistryKey {
  public:
    CRegistryKey() = default;
    // Closes the key if one is still open.
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Closes the key that is open, if any, then opens `path` below `root`. On failure no key is
    // open.
    bool Open(HKEY root, LPCWSTR path);
    // Reads value `name` of the open key as 4 bytes, whatever its registry type, into *value.
    // False, and *value untouched, when no key is open, the value is missing or its data is
    // not exactly 4 bytes long.
    bool QueryDword(LPCWSTR name, DWORD* value) const;
    // Writes value `name` of the open key as a REG_DWORD. False when no key is open or the
    // write fails.
    bool SetDword(LPCWSTR name, DWORD value);
    // False when no key is open. Otherwise closes it (no key is open afterwards) and says
    // whether closing succeeded.
    bool Close();

    bool IsOpen() const { return m_hKey != nullptr; }

  private:
    HKEY m_hKey = nullptr;
};

// Creates `path` below `root` if it does not exist yet (with class `className`, which may be
// null; non-volatile) and closes it again. True on success, also when the key existed already.
bool CreateRegistryKey(HKEY root, LPCWSTR path, LPCWSTR className);
