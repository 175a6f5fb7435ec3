#include "path_text.h"

#include "uninstall_names.h"

namespace quellix {

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path + name;
}

std::wstring LastPathComponent(const std::wstring& path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ShortcutFileName() { return std::wstring(kGameTitle) + kShortcutSuffix; }

std::wstring UninstallShortcutFileName() { return kUninstallShortcutPrefix + ShortcutFileName(); }

std::wstring DoneMessageText() { return std::wstring(kGameTitle) + kDoneTextSuffix; }

bool IsSkippedName(const std::wstring& name) { return !name.empty() && name.front() == L'.'; }

std::wstring SelfDeleteCommand(const std::wstring& interpreter, const std::wstring& executable) {
    return interpreter + kDeleteCommand + L'"' + executable + L'"' + kQuietTail;
}

}  // namespace quellix
