// What the uninstaller tests do to the Wine system they run in: special folders, files, the
// registry, links made on the Unix side, and processes that are always ended.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "message_box_finder.h"

namespace quellix_test {

// An environment variable of the test process ("" when unset).
std::wstring Env(const wchar_t* name);

// A Unix path as seen from Windows, through the Z: drive.
std::wstring WindowsPathOfUnix(const std::wstring& unixPath);
// The Unix path of a Windows path (the prefix's drive_c for C:).
std::wstring UnixPathOf(const std::wstring& windowsPath);

// The current user's special folder for a CSIDL value.
std::wstring SpecialFolder(int csidl);
std::wstring DesktopFolder();
std::wstring ProgramsFolder();
std::wstring InstallDirectory();  // <local application data>\VelkGame2

std::wstring Join(const std::wstring& folder, const std::wstring& name);
bool FileExists(const std::wstring& path);       // an entry that is not a directory
bool DirectoryExists(const std::wstring& path);  // a directory (or a link to one)
bool AnyEntryExists(const std::wstring& path);   // anything, a dangling link included
void WriteTextFile(const std::wstring& path, const std::string& content);  // makes parents
void MakeDirectories(const std::wstring& path);
// Removes a tree with the Unix rm, which never follows a link.
void RemoveTreeUnix(const std::wstring& windowsPath);
// A Unix symbolic link at windowsLink pointing to windowsTarget, made with ln -s.
bool MakeUnixSymlink(const std::wstring& windowsTarget, const std::wstring& windowsLink);

// The user's folders that the prefix links to a home folder that is gone (Desktop among them)
// become real, empty folders, as every Windows user has them. Returns whether the desktop is a
// folder now.
bool RepairUserFolders();

// Registry under HKEY_CURRENT_USER.
inline constexpr wchar_t kUninstallRoot[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
bool KeyExists(const std::wstring& subkey);
std::optional<std::wstring> StringValue(const std::wstring& subkey, const wchar_t* name);
std::optional<DWORD> DwordValue(const std::wstring& subkey, const wchar_t* name);
void SetStringValue(const std::wstring& subkey, const wchar_t* name, const std::wstring& value);
void DeleteKeyTree(const std::wstring& subkey);

// The target of a shell link file ("" when it cannot be read).
std::wstring ShortcutTarget(const std::wstring& lnkPath);

// Waits until done() holds or the time is up; returns whether it held.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit);

// A started Windows process, terminated when the object goes if it is still running.
class ChildProcess {
  public:
    // commandLine as CreateProcessW takes it; environment: "NAME=value" entries for the whole
    // environment, or nothing to inherit the test's.
    ChildProcess(const std::wstring& commandLine,
                 const std::optional<std::vector<std::wstring>>& environment = std::nullopt);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }
    DWORD Id() const { return process_.dwProcessId; }
    bool Running() const;
    // The exit code once it has ended within the limit; nothing otherwise.
    std::optional<DWORD> Wait(std::chrono::milliseconds limit);

  private:
    PROCESS_INFORMATION process_{};
};

// The test's environment without the variable name (compared case-insensitively).
std::vector<std::wstring> EnvironmentWithout(const std::wstring& name);

using korvex_test::MessageBoxSeen;
// The message box with the given caption that the process shows within the limit, as the user
// sees it; nothing when it ends or the time is up first.
std::optional<MessageBoxSeen> WaitForMessageBox(const ChildProcess& owner, const wchar_t* caption,
                                                std::chrono::milliseconds limit);

}  // namespace quellix_test
