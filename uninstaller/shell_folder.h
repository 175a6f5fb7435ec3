// File-system paths of the shell's special folders.
#pragma once

#include <optional>
#include <string>

namespace quellix {

// The path of the folder given by its CSIDL value, asked of the shell as an item list; nothing
// when either the item list or its path cannot be had.
std::optional<std::wstring> SpecialFolderPath(int csidl);

}  // namespace quellix
