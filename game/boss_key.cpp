#include "game/boss_key.h"

#include <commctrl.h>

#include "game/hotkey_value.h"
#include "game/registry_key.h"

// The portable constants stand for these system values.
static_assert(korvex::kHotkeyFlagShift == HOTKEYF_SHIFT);
static_assert(korvex::kHotkeyFlagControl == HOTKEYF_CONTROL);
static_assert(korvex::kHotkeyFlagAlt == HOTKEYF_ALT);
static_assert(korvex::kHotkeyFlagExt == HOTKEYF_EXT);
static_assert(korvex::kModifierAlt == MOD_ALT);
static_assert(korvex::kModifierControl == MOD_CONTROL);
static_assert(korvex::kModifierShift == MOD_SHIFT);
static_assert(korvex::kModifierWin == MOD_WIN);
static_assert(korvex::kModifierNoRepeat == MOD_NOREPEAT);

DWORD ReadBossKey() {
    CRegistryKey key;
    DWORD value = 0;
    if (key.Open(HKEY_CURRENT_USER, korvex::kBossKeyPath)) {
        key.QueryDword(korvex::kBossKeyValueName, &value);
        key.Close();
    }
    return value;
}

bool StoreBossKey(DWORD value) {
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, korvex::kBossKeyPath)) {
        if (!CreateRegistryKey(HKEY_CURRENT_USER, korvex::kBossKeyPath, nullptr) ||
            !key.Open(HKEY_CURRENT_USER, korvex::kBossKeyPath)) {
            return false;
        }
    }
    const bool stored = key.SetDword(korvex::kBossKeyValueName, value);
    key.Close();
    return stored;
}
