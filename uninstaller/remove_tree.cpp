#include "remove_tree.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "path_text.h"
#include "uninstall_names.h"

namespace quellix {
namespace {

// The path of what path reaches once every link on the way is followed; nothing when it cannot
// be opened or named.
std::optional<std::wstring> FinalPath(const std::wstring& path) {
    // No access is asked for, so a file that another program holds open can still be named.
    const HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<wchar_t> name(kPathBufferSize);
    DWORD length = GetFinalPathNameByHandleW(file, name.data(), DWORD(name.size()), 0);
    if (length >= name.size()) {
        name.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, name.data(), DWORD(name.size()), 0);
    }
    CloseHandle(file);
    if (length == 0 || length >= name.size()) return std::nullopt;
    return std::wstring(name.data(), length);
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// Whether the entry name of the folder whose own final path is folderFinal is the thing itself
// and not a link to something elsewhere. A link whose kind the attributes do not show (Wine shows
// a symbolic link to a file as a plain file, and deletes the target when asked to delete the
// link) is told apart by where it leads. When that cannot be told, the entry counts as a link.
bool IsOwnEntry(const std::optional<std::wstring>& folderFinal, const std::wstring& path,
                const std::wstring& name) {
    if (!folderFinal) return false;
    const auto entryFinal = FinalPath(path);
    return entryFinal && SameText(*entryFinal, JoinPath(*folderFinal, name));
}

}  // namespace

void DeleteOneFile(const std::wstring& path) { DeleteFileW(path.c_str()); }

void RemoveTree(const std::wstring& directory, FileAction action) {
    std::wstring folder = directory;
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';

    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW((folder + kSearchPattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    const auto folderFinal = FinalPath(folder);
    do {
        const std::wstring name = entry.cFileName;
        if (IsSkippedName(name)) continue;
        const std::wstring path = folder + name;
        // Nothing is deleted through a link: a junction or symbolic link stays, and so does what
        // it points to.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (!IsOwnEntry(folderFinal, path, name)) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path, action);
            RemoveDirectoryW(path.c_str());
        } else {
            action(path);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

}  // namespace quellix
