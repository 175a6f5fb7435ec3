// The login result in an address. The login page announces a successful login by navigating to
// the game's address, which holds the words "uid", "token", "sid" and "isclient" (plain,
// case-sensitive substrings anywhere in it), the player's server after "sid=" and the account
// after "acc=".
#pragma once

#include <string_view>

namespace korvex {

// Each word's first occurrence must begin at position 1 or later: an address that starts with
// a word fails for that word even when the word occurs again further on.
bool IsLoginAddress(std::u16string_view address);

// The value behind the first occurrence of key ("sid=", "acc="), up to the next "&" or the end
// of the address; empty when the key does not occur.
std::u16string_view LoginValue(std::u16string_view address, std::u16string_view key);

}  // namespace korvex
