// The configuration record: the first 3112 bytes of the deciphered sysctrl.dat, copied as they
// are. Portable: on Windows the fields are the native RECT and wchar_t so that readers can hand
// them to the API directly; elsewhere layout-identical stand-ins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvex {

#ifdef _WIN32
using ConfigChar = wchar_t;
using ConfigRect = RECT;
#else
using ConfigChar = char16_t;
struct ConfigRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};
#endif

// Units of one text field, its terminator included.
inline constexpr std::size_t kConfigTextUnits = 300;
// Longest text a field holds: one unit is always left for the terminator.
inline constexpr std::size_t kConfigTextMaxChars = kConfigTextUnits - 1;
inline constexpr std::size_t kConfigRecordSize = 3112;

}  // namespace korvex

struct SysCtrlConfig {
    korvex::ConfigRect rcOfficialBtn;
    korvex::ConfigRect rcRechargeBtn;
    korvex::ConfigRect rcServiceBtn;
    korvex::ConfigRect rcForumBtn;
    korvex::ConfigRect rcMinimizeBtn;
    korvex::ConfigRect rcCloseBtn;
    std::int32_t nBrowserLeft;
    std::int32_t nBrowserTop;
    std::int32_t nBrowserWidth;   // a width, not a right edge
    std::int32_t nBrowserHeight;  // a height, not a bottom edge
    korvex::ConfigChar szLoginUrl[korvex::kConfigTextUnits];
    korvex::ConfigChar szOfficialUrl[korvex::kConfigTextUnits];
    korvex::ConfigChar szRechargeUrl[korvex::kConfigTextUnits];
    korvex::ConfigChar szServiceUrl[korvex::kConfigTextUnits];
    korvex::ConfigChar szForumUrl[korvex::kConfigTextUnits];
};

static_assert(sizeof(korvex::ConfigChar) == 2);
static_assert(sizeof(korvex::ConfigRect) == 16);
static_assert(sizeof(SysCtrlConfig) == korvex::kConfigRecordSize);
static_assert(offsetof(SysCtrlConfig, rcOfficialBtn) == 0);
static_assert(offsetof(SysCtrlConfig, rcRechargeBtn) == 16);
static_assert(offsetof(SysCtrlConfig, rcServiceBtn) == 32);
static_assert(offsetof(SysCtrlConfig, rcForumBtn) == 48);
static_assert(offsetof(SysCtrlConfig, rcMinimizeBtn) == 64);
static_assert(offsetof(SysCtrlConfig, rcCloseBtn) == 80);
static_assert(offsetof(SysCtrlConfig, nBrowserLeft) == 96);
static_assert(offsetof(SysCtrlConfig, nBrowserTop) == 100);
static_assert(offsetof(SysCtrlConfig, nBrowserWidth) == 104);
static_assert(offsetof(SysCtrlConfig, nBrowserHeight) == 108);
static_assert(offsetof(SysCtrlConfig, szLoginUrl) == 112);
static_assert(offsetof(SysCtrlConfig, szOfficialUrl) == 712);
static_assert(offsetof(SysCtrlConfig, szRechargeUrl) == 1312);
static_assert(offsetof(SysCtrlConfig, szServiceUrl) == 1912);
static_assert(offsetof(SysCtrlConfig, szForumUrl) == 2512);

namespace korvex {

// The text of a field: up to its first NUL, and never more than 299 characters, so a field
// without a terminator is cut instead of read past its end.
inline std::basic_string_view<ConfigChar> ConfigText(const ConfigChar (&field)[kConfigTextUnits]) {
    std::size_t n = 0;
    while (n < kConfigTextMaxChars && field[n] != 0) ++n;
    return {field, n};
}

// Makes every text field end within its 300 units (the last unit becomes NUL), so that pointers
// to the fields are safe C strings. Texts that were terminated already do not change.
void TerminateConfigTexts(SysCtrlConfig& config);

}  // namespace korvex
