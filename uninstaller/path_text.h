// Text handling of Quellix that needs no Windows: joining paths, the names it builds and the
// command line that deletes its executable.
#pragma once

#include <string>

namespace quellix {

// folder + "\" + name; the "\" is left out when folder already ends with one.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The text behind the last "\" of a registry path (all of it when it has none).
std::wstring LastPathComponent(const std::wstring& path);

// "Torvane.lnk", "卸载Torvane.lnk", "Torvane已成功卸载".
std::wstring ShortcutFileName();
std::wstring UninstallShortcutFileName();
std::wstring DoneMessageText();

// Whether the tree walk leaves an entry alone: every name that begins with a full stop.
bool IsSkippedName(const std::wstring& name);

// The command interpreter's command that deletes the executable once Quellix has exited:
// interpreter + " /c  del " + "\"" + executable + "\"" + " > nul". The executable's path is
// quoted so that a path with spaces names one file.
std::wstring SelfDeleteCommand(const std::wstring& interpreter, const std::wstring& executable);

}  // namespace quellix
