// Emptying a directory tree, file by file.
#pragma once

#include <string>

namespace quellix {

// What the tree walk does with each file it finds: receives the file's full path.
using FileAction = void (*)(const std::wstring& path);

// Deletes one file; a file that cannot be deleted stays.
void DeleteOneFile(const std::wstring& path);

// Empties the tree below directory: every file goes to action, every subdirectory is emptied
// the same way and then removed (it stays when something stayed inside). Entries whose name
// begins with "." are left alone. A link (junction or symbolic link) is never followed: what it
// points to is not touched, and the link stays. The directory itself stays.
void RemoveTree(const std::wstring& directory, FileAction action);

}  // namespace quellix
