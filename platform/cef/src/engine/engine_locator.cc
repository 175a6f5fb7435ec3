#include "engine/engine_locator.h"

#include <windows.h>

#include <vector>

#include "base/environment.h"
#include "base/utf.h"
#include "base/wine.h"

namespace cef_detail {
namespace {

bool IsFile(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Env(const wchar_t* name) { return korvex::GetEnv(name).value_or(std::wstring()); }

std::optional<EngineLocation> UnixProgram(const std::string& unix_path) {
    auto windows = korvex::wine::WindowsPath(unix_path);
    if (!windows || !IsFile(*windows)) return std::nullopt;
    return EngineLocation{true, unix_path, *windows};
}

std::optional<EngineLocation> WindowsProgram(const std::wstring& path) {
    if (!IsFile(path)) return std::nullopt;
    EngineLocation e{false, {}, path};
    if (korvex::wine::IsWine()) {
        // Under Wine a Windows browser would need Wine's own graphics stack; only Linux engines
        // are supported there: a Windows path that names a Linux program is run natively.
        if (auto unix = korvex::wine::UnixPath(path)) return EngineLocation{true, *unix, path};
    }
    return e;
}

}  // namespace

std::optional<EngineLocation> FindEngine() {
    const std::wstring named = Env(L"KORVEX_BROWSER_ENGINE");
    const bool on_wine = korvex::wine::IsWine();
    if (!named.empty()) {
        if (on_wine && named.front() == L'/') return UnixProgram(korvex::WideToUtf8(named));
        return WindowsProgram(named);
    }
    if (on_wine) {
        for (const char* p : {"/usr/bin/chromium", "/usr/lib/chromium/chromium"})
            if (auto e = UnixProgram(p)) return e;
        return std::nullopt;
    }
    std::vector<std::wstring> candidates;
    for (const wchar_t* base : {L"ProgramFiles(x86)", L"ProgramFiles", L"ProgramW6432"}) {
        const std::wstring dir = Env(base);
        if (dir.empty()) continue;
        candidates.push_back(dir + L"\\Microsoft\\Edge\\Application\\msedge.exe");
        candidates.push_back(dir + L"\\Google\\Chrome\\Application\\chrome.exe");
    }
    const std::wstring local = Env(L"LOCALAPPDATA");
    if (!local.empty()) candidates.push_back(local + L"\\Google\\Chrome\\Application\\chrome.exe");
    for (const auto& c : candidates)
        if (auto e = WindowsProgram(c)) return e;
    return std::nullopt;
}

}  // namespace cef_detail
