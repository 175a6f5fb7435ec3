#include "ConfigLoader.h"

#include <vector>

#include "ConfigFile.h"
#include "base/exe_paths.h"
#include "base/scoped_handle.h"

SysCtrlConfig g_config;

namespace {

constexpr wchar_t kConfigFileName[] = L"sysctrl.dat";
constexpr wchar_t kFileMissing[] = L"系统文件丢失";
constexpr wchar_t kOpenFailed[] = L"打开系统文件错误";
constexpr wchar_t kReadFailed[] = L"读取系统文件错误";

// The real file is about 3 KB; anything far larger is not a configuration file and is refused
// rather than allocated.
constexpr DWORD kMaxConfigFileSize = 1u << 20;

bool Fail(HWND owner, const wchar_t* message) {
    MessageBoxW(owner, message, korvex::GetAppName(), MB_OK);
    PostMessageW(owner, WM_QUIT, 0, 0);
    return false;
}

// The whole file, or false when its length cannot be taken or one read does not deliver it.
bool ReadWholeFile(HANDLE file, std::vector<std::uint8_t>& contents) {
    LONG high = 0;
    SetLastError(NO_ERROR);
    const DWORD length = SetFilePointer(file, 0, &high, FILE_END);
    if ((length == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) || high != 0 ||
        length > kMaxConfigFileSize)
        return false;
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0) return false;
    contents.resize(length);
    DWORD read = 0;
    if (!ReadFile(file, contents.data(), length, &read, nullptr)) return false;
    return read == length;
}

}  // namespace

bool LoadConfigFile(HWND owner) {
    SetCurrentDirectoryW(GetExeDirectory());
    if (!FileExists(kConfigFileName)) return Fail(owner, kFileMissing);

    std::vector<std::uint8_t> contents;
    bool read = false;
    {
        korvex::ScopedHandle file(CreateFileW(kConfigFileName, GENERIC_READ, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file) return Fail(owner, kOpenFailed);
        read = ReadWholeFile(file.get(), contents);
    }  // the file is closed before any message shows
    if (!read) return Fail(owner, kReadFailed);

    // A file that cannot fill the whole record is refused like a failed read.
    SysCtrlConfig record;
    if (!korvex::ReadConfigRecord(contents.data(), contents.size(), record))
        return Fail(owner, kReadFailed);
    g_config = record;
    return true;
}
