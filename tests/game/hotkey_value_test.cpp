// Boss-key values: the hotkey control's modifier flags converted for registration, and the
// packing of the stored value.
#include "game/hotkey_value.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using namespace korvex;

// The conversion table, one row per flag.
struct FlagRow {
    unsigned flag;
    unsigned modifier;  // 0: ignored
};
constexpr FlagRow kTable[] = {
    {0x01, 0x0004},  // HOTKEYF_SHIFT -> MOD_SHIFT
    {0x02, 0x0002},  // HOTKEYF_CONTROL -> MOD_CONTROL
    {0x04, 0x0001},  // HOTKEYF_ALT -> MOD_ALT
    {0x08, 0},       // HOTKEYF_EXT: ignored
};

TEST(HotkeyFlagsToModifiers, EachFlagAlone) {
    for (const FlagRow& row : kTable) {
        EXPECT_EQ(HotkeyFlagsToModifiers(row.flag), row.modifier) << "flag " << row.flag;
    }
    EXPECT_EQ(HotkeyFlagsToModifiers(0), 0u);
}

// Every combination of the four flags gives the union of their rows.
TEST(HotkeyFlagsToModifiers, EveryCombination) {
    for (unsigned combination = 0; combination < 16; ++combination) {
        unsigned expected = 0;
        for (const FlagRow& row : kTable) {
            if (combination & row.flag) expected |= row.modifier;
        }
        EXPECT_EQ(HotkeyFlagsToModifiers(combination), expected) << "flags " << combination;
    }
}

TEST(HotkeyFlagsToModifiers, KnownCombinations) {
    EXPECT_EQ(HotkeyFlagsToModifiers(0x06), 0x0003u);  // Ctrl+Alt
    EXPECT_EQ(HotkeyFlagsToModifiers(0x0A), 0x0002u);  // Ctrl with an extended key
    EXPECT_EQ(HotkeyFlagsToModifiers(0x07), 0x0007u);  // Ctrl+Alt+Shift
    EXPECT_EQ(HotkeyFlagsToModifiers(0x0F), 0x0007u);
    EXPECT_EQ(HotkeyFlagsToModifiers(0x09), 0x0004u);  // Shift with an extended key
}

// Bits above the four flags change nothing, and the Windows key and no-repeat modifiers never
// appear, whatever comes in.
TEST(HotkeyFlagsToModifiers, OtherBitsAreIgnored) {
    for (unsigned low = 0; low < 16; ++low) {
        const unsigned expected = HotkeyFlagsToModifiers(low);
        for (unsigned high :
             {0x10u, 0x20u, 0x40u, 0x80u, 0xF0u, 0x100u, 0x4000u, 0xFFFF0000u, 0xFFFFFFF0u}) {
            EXPECT_EQ(HotkeyFlagsToModifiers(low | high), expected) << std::hex << (low | high);
        }
    }
    for (std::uint32_t flags = 0; flags <= 0xFFFF; ++flags) {
        const unsigned modifiers = HotkeyFlagsToModifiers(flags);
        ASSERT_EQ(modifiers & (kModifierWin | kModifierNoRepeat), 0u) << std::hex << flags;
        ASSERT_EQ(modifiers & ~(kModifierAlt | kModifierControl | kModifierShift), 0u)
            << std::hex << flags;
    }
}

TEST(HotkeyValue, CtrlAltZ) {
    EXPECT_EQ(PackHotkey(0x5A, 0x06), 0x065Au);
    EXPECT_EQ(HotkeyVirtualKey(0x065A), 0x5A);
    EXPECT_EQ(HotkeyFlags(0x065A), 0x06);
    EXPECT_EQ(HotkeyControlWord(0x065A), 0x065A);
}

TEST(HotkeyValue, ExtendedKeyKeepsItsFlag) {
    const std::uint32_t ctrlLeft = PackHotkey(0x25, kHotkeyFlagControl | kHotkeyFlagExt);
    EXPECT_EQ(ctrlLeft, 0x0A25u);
    EXPECT_EQ(HotkeyFlags(ctrlLeft), 0x0A);
    EXPECT_EQ(HotkeyFlagsToModifiers(HotkeyFlags(ctrlLeft)), kModifierControl);
}

TEST(HotkeyValue, UpperBitsPlayNoPart) {
    EXPECT_EQ(HotkeyVirtualKey(0xABCD065A), 0x5A);
    EXPECT_EQ(HotkeyFlags(0xABCD065A), 0x06);
    EXPECT_EQ(HotkeyControlWord(0xABCD065A), 0x065A);
}

TEST(HotkeyValue, RoundTripsEveryKeyAndFlags) {
    for (unsigned vk = 0; vk < 256; ++vk) {
        for (unsigned flags = 0; flags < 256; flags += 5) {
            const std::uint32_t value =
                PackHotkey(static_cast<std::uint8_t>(vk), static_cast<std::uint8_t>(flags));
            ASSERT_EQ(value >> 16, 0u);
            ASSERT_EQ(HotkeyVirtualKey(value), vk);
            ASSERT_EQ(HotkeyFlags(value), flags);
            ASSERT_EQ(HotkeyControlWord(value), value);
        }
    }
}

}  // namespace
