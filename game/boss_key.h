// The boss key's stored value: the player's choice, kept as the REG_DWORD "hotkey" under
// HKEY_CURRENT_USER "Software\VelkMicroClient2" in the packing of game/hotkey_value.h. A missing
// key or value counts as 0 (no boss key); there is no default key.
#pragma once

#include <windows.h>

// The id the game window registers the boss key under.
inline constexpr int BOSS_KEY_ID = 1001;

namespace korvex {

inline constexpr wchar_t kBossKeyPath[] = L"Software\\VelkMicroClient2";
inline constexpr wchar_t kBossKeyValueName[] = L"hotkey";

}  // namespace korvex

// The stored value, or 0 when the key or the value is missing or cannot be read.
DWORD ReadBossKey();

// Stores `value` (0 included: no boss key), creating the key when it does not exist yet. True
// when the value was written; a failure changes nothing and is not reported otherwise.
bool StoreBossKey(DWORD value);
