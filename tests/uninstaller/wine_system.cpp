#include "wine_system.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <thread>

#include "base/environment.h"
#include "base/quote_argument.h"
#include "base/scoped_handle.h"
#include "base/utf.h"
#include "base/wine.h"

namespace quellix_test {
namespace {

// Starts a Unix program from inside Wine. Wine gives no handle of such a process, so the caller
// names what shows that it has done its work; returns whether that came about in time.
bool RunUnixUntil(const std::vector<std::wstring>& argv, const std::function<bool()>& done) {
    std::wstring line;
    for (const auto& arg : argv) line += (line.empty() ? L"" : L" ") + korvex::QuoteArgument(arg);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    const korvex::ScopedProcess started(process);
    return WaitFor(done, std::chrono::seconds(30));
}

}  // namespace

std::wstring Env(const wchar_t* name) { return korvex::GetEnv(name).value_or(L""); }

std::wstring WindowsPathOfUnix(const std::wstring& unixPath) {
    return korvex::wine::WindowsPath(korvex::WideToUtf8(unixPath)).value_or(L"");
}

std::wstring UnixPathOf(const std::wstring& windowsPath) {
    return korvex::Utf8ToWide(korvex::wine::UnixPath(windowsPath).value_or(""));
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path))) return L"";
    return path;
}

std::wstring DesktopFolder() { return SpecialFolder(CSIDL_DESKTOP); }
std::wstring ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }
std::wstring InstallDirectory() { return Join(SpecialFolder(CSIDL_LOCAL_APPDATA), L"VelkGame2"); }

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

bool FileExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool AnyEntryExists(const std::wstring& path) {
    WIN32_FIND_DATAW entry{};
    const HANDLE found = FindFirstFileW(path.c_str(), &entry);
    if (found == INVALID_HANDLE_VALUE) return false;
    FindClose(found);
    return true;
}

void MakeDirectories(const std::wstring& path) {
    SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
}

void WriteTextFile(const std::wstring& path, const std::string& content) {
    MakeDirectories(path.substr(0, path.rfind(L'\\')));
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
}

void RemoveTreeUnix(const std::wstring& windowsPath) {
    const std::wstring unixPath = UnixPathOf(windowsPath);
    if (unixPath.empty() || unixPath == L"/" || !AnyEntryExists(windowsPath)) return;
    RunUnixUntil({L"/bin/rm", L"-rf", unixPath}, [&] { return !AnyEntryExists(windowsPath); });
}

bool MakeUnixSymlink(const std::wstring& windowsTarget, const std::wstring& windowsLink) {
    MakeDirectories(windowsLink.substr(0, windowsLink.rfind(L'\\')));
    const std::wstring target = UnixPathOf(windowsTarget);
    const std::wstring link = UnixPathOf(windowsLink);
    return !target.empty() && !link.empty() && RunUnixUntil({L"/bin/ln", L"-s", target, link}, [&] {
        return AnyEntryExists(windowsLink);
    });
}

bool RepairUserFolders() {
    const std::wstring profile = Env(L"USERPROFILE");
    const std::wstring desktop = Join(profile, L"Desktop");
    if (DirectoryExists(desktop)) return true;
    const std::wstring script =
        L"for l in \"$1\"/* \"$1\"/AppData/Roaming/Microsoft/Windows/*; do"
        L" if [ -L \"$l\" ] && [ ! -e \"$l\" ]; then rm \"$l\" && mkdir \"$l\"; fi; done";
    return RunUnixUntil({L"/bin/sh", L"-c", script, L"sh", UnixPathOf(profile)},
                        [&] { return DirectoryExists(desktop); });
}

bool KeyExists(const std::wstring& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::optional<std::wstring> StringValue(const std::wstring& subkey, const wchar_t* name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name, RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

std::optional<DWORD> DwordValue(const std::wstring& subkey, const wchar_t* name) {
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &data,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return data;
}

void SetStringValue(const std::wstring& subkey, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void DeleteKeyTree(const std::wstring& subkey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, subkey.c_str());
}

std::wstring ShortcutTarget(const std::wstring& lnkPath) {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(lnkPath.c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
                target = path;
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return target;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

ChildProcess::ChildProcess(const std::wstring& commandLine,
                           const std::optional<std::vector<std::wstring>>& environment) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    std::vector<wchar_t> block;
    if (environment) {
        for (const auto& entry : *environment) {
            block.insert(block.end(), entry.begin(), entry.end());
            block.push_back(L'\0');
        }
        block.push_back(L'\0');
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment ? block.data() : nullptr, nullptr, &startup, &process_))
        process_ = {};
}

ChildProcess::~ChildProcess() {
    if (!process_.hProcess) return;
    if (Running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool ChildProcess::Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::Wait(std::chrono::milliseconds limit) {
    if (!process_.hProcess ||
        WaitForSingleObject(process_.hProcess, DWORD(limit.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::vector<std::wstring> EnvironmentWithout(const std::wstring& name) {
    std::vector<std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    const std::wstring prefix = name + L"=";
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        const bool same = text.size() >= prefix.size() &&
                          CompareStringOrdinal(text.c_str(), int(prefix.size()), prefix.c_str(),
                                               int(prefix.size()), TRUE) == CSTR_EQUAL;
        if (!same) entries.push_back(text);
    }
    FreeEnvironmentStringsW(block);
    return entries;
}

std::optional<MessageBoxSeen> WaitForMessageBox(const ChildProcess& owner, const wchar_t* caption,
                                                std::chrono::milliseconds limit) {
    HWND box = nullptr;
    WaitFor(
        [&] {
            box = korvex_test::FindProcessDialog(owner.Id(), caption);
            return box != nullptr || !owner.Running();
        },
        limit);
    if (!box) return std::nullopt;
    return korvex_test::ReadMessageBox(box);
}

}  // namespace quellix_test
