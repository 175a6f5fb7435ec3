// Quellix, the uninstaller of Torvane: removes the uninstall entry, the shortcuts and the content
// of the installation directory, says so, and has its own executable deleted once it has ended.
// Every step is best-effort and silent; none depends on the success of another.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "path_text.h"
#include "remove_tree.h"
#include "self_delete.h"
#include "shell_folder.h"
#include "uninstall_names.h"

namespace {

using namespace quellix;

void RemoveUninstallEntry() {
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallParentKey, 0, KEY_ALL_ACCESS, &parent) !=
        ERROR_SUCCESS)
        return;
    RegDeleteKeyW(parent, LastPathComponent(kUninstallKeyPath).c_str());
    RegCloseKey(parent);
}

void RemoveDesktopShortcut() {
    if (const auto desktop = SpecialFolderPath(CSIDL_DESKTOP))
        DeleteFileW(JoinPath(*desktop, ShortcutFileName()).c_str());
}

void RemoveStartMenuFolder() {
    const auto programs = SpecialFolderPath(CSIDL_PROGRAMS);
    if (!programs) return;
    const std::wstring folder = JoinPath(*programs, kGameTitle);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    DeleteFileW(JoinPath(folder, ShortcutFileName()).c_str());
    DeleteFileW(JoinPath(folder, UninstallShortcutFileName()).c_str());
    RemoveDirectoryW(folder.c_str());
}

std::wstring InstallDirectory() {
    if (const auto localData = SpecialFolderPath(CSIDL_LOCAL_APPDATA))
        return JoinPath(*localData, kInstallSubdirectory);
    return kFallbackInstallDirectory;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RemoveUninstallEntry();
    RemoveDesktopShortcut();
    RemoveStartMenuFolder();
    RemoveTree(InstallDirectory(), DeleteOneFile);
    MessageBoxW(nullptr, DoneMessageText().c_str(), kDoneCaption, MB_OK);
    ScheduleSelfDelete();
    return 0;
}
