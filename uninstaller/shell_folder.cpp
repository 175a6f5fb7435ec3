#include "shell_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "uninstall_names.h"

namespace quellix {

std::optional<std::wstring> SpecialFolderPath(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items) return std::nullopt;
    wchar_t path[kPathBufferSize] = {};
    const BOOL found = SHGetPathFromIDListW(items, path);
    CoTaskMemFree(items);
    if (!found) return std::nullopt;
    return std::wstring(path);
}

}  // namespace quellix
