#include "remove_tree.h"

#include <windows.h>

#include "path_text.h"
#include "uninstall_names.h"

namespace quellix {

void DeleteOneFile(const std::wstring& path) { DeleteFileW(path.c_str()); }

void RemoveTree(const std::wstring& directory, FileAction action) {
    std::wstring folder = directory;
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';

    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW((folder + kSearchPattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (IsSkippedName(name)) continue;
        const std::wstring path = folder + name;
        const DWORD attributes = entry.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A directory link is not entered: removing it removes the link, not its target.
            if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveTree(path, action);
            RemoveDirectoryW(path.c_str());
        } else {
            // Deleting a file link deletes the link, never the file it points to.
            action(path);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

}  // namespace quellix
