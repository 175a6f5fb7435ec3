// The fixed names and places of a Torvane installation that Quellix removes, and its texts.
#pragma once

namespace quellix {

// Uninstall entries of the current user, and the full path of ours; only its last component
// (the key's own name) is used below the parent.
inline constexpr wchar_t kUninstallParentKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr wchar_t kUninstallKeyPath[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VelkGame2";

inline constexpr wchar_t kGameTitle[] = L"Torvane";
inline constexpr wchar_t kShortcutSuffix[] = L".lnk";
inline constexpr wchar_t kUninstallShortcutPrefix[] = L"卸载";

// Below the user's local application data folder, and the place used when that is unknown.
inline constexpr wchar_t kInstallSubdirectory[] = L"VelkGame2\\";
inline constexpr wchar_t kFallbackInstallDirectory[] = L"C:\\VelkGame2\\";

inline constexpr wchar_t kSearchPattern[] = L"*.*";

inline constexpr wchar_t kDoneTextSuffix[] = L"已成功卸载";
inline constexpr wchar_t kDoneCaption[] = L"卸载程序";

inline constexpr wchar_t kComspecVariable[] = L"COMSPEC";
inline constexpr wchar_t kDeleteCommand[] = L" /c  del ";
inline constexpr wchar_t kQuietTail[] = L" > nul";

// Size in UTF-16 units of the buffers that hold folder paths, Quellix's own path and the
// command line.
inline constexpr unsigned kPathBufferSize = 260;

}  // namespace quellix
