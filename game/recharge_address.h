// The address the recharge command opens: the configured recharge address with the player's
// server and account appended as query parameters. Win32-free.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace korvex {

// Units of the buffer the address is composed in, its terminator included.
inline constexpr std::size_t kRechargeAddressUnits = 500;

// Zeroes `buffer` and composes in it `address`, then, when `server` or `account` is not empty,
// "?" (or "&" when the address already holds a "?"), "server=" and `server` when it is not
// empty, "&" when both are present, "account=" and `account` when it is not empty. The values
// are appended as they are, without encoding. What does not fit in front of the buffer's last
// unit is cut (never half a surrogate pair); the buffer always ends terminated, and nothing is
// written outside it. Returns the composed text, which lies in `buffer`.
std::u16string_view ComposeRechargeAddress(std::span<char16_t> buffer, std::u16string_view address,
                                           std::u16string_view server, std::u16string_view account);

}  // namespace korvex
