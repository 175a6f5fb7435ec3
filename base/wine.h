// Facts about the Wine layer a program may run on, and path conversion across it.
#pragma once

#include <optional>
#include <string>

namespace korvex::wine {

// True when running under Wine (ntdll exports wine_get_version).
bool IsWine();
// The Unix path of a Windows path (kernel32's wine_get_unix_file_name); none when not on Wine
// or the path has no Unix form.
std::optional<std::string> UnixPath(const std::wstring& windows_path);
// Whether the Unix user this Wine process runs as is root (read from /proc/self/status through
// the Z: drive); none when not on Wine or it cannot be read.
std::optional<bool> UnixUserIsRoot();
// The Windows path of a Unix path (kernel32's wine_get_dos_file_name).
std::optional<std::wstring> WindowsPath(const std::string& unix_path);

}  // namespace korvex::wine
