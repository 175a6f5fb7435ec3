#include "shell_recorder.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "linux_processes.h"
#include "message_pump.h"

namespace korvex_test {
namespace {

void SetCommand(const wchar_t* scheme, const std::wstring& command) {
    // Wine's shell reads the machine's classes only (not the user's overrides).
    HKEY root = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, scheme, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root,
                        nullptr) != ERROR_SUCCESS)
        return;
    const wchar_t marker[] = L"";
    RegSetValueExW(root, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(marker),
                   sizeof marker);
    HKEY open = nullptr;
    if (RegCreateKeyExW(root, L"shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &open, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(open, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       DWORD((command.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(open);
    }
    RegCloseKey(root);
}

}  // namespace

ShellRecorder::ShellRecorder() {
    static int serial = 0;
    const std::wstring dir = RunDir() + L"\\shell-recorder-" + std::to_wstring(++serial);
    CreateDirectoryW(dir.c_str(), nullptr);
    log_ = dir + L"\\opened";
    const std::string unix_dir = UnixPath(dir);
    const std::string script = unix_dir + "/record";
    RunShell("printf '#!/bin/sh\\nprintf \"%%s\\\\n\" \"$1\" >> \"%s/opened\"\\n' '" + unix_dir +
             "' > '" + script + "' && chmod +x '" + script + "'");
    const std::wstring command = L"\"" + std::wstring(script.begin(), script.end()) + L"\" \"%1\"";
    for (const wchar_t* scheme : {L"http", L"https", L"mailto"}) SetCommand(scheme, command);
}

std::vector<std::string> ShellRecorder::Opened() const {
    std::ifstream in{std::filesystem::path(log_)};
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

bool ShellRecorder::WaitForCount(std::size_t count, std::chrono::milliseconds limit) const {
    return PumpUntil([&] { return Opened().size() >= count; }, limit);
}

}  // namespace korvex_test
