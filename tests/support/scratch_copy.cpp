#include "scratch_copy.h"

#include <windows.h>

#include <filesystem>
#include <string>

#include "base/environment.h"
#include "base/exe_paths.h"
#include "base/quote_argument.h"
#include "base/scoped_handle.h"
#include "environment_block.h"
#include "linux_processes.h"

namespace korvex_test {
namespace {

constexpr wchar_t kMarker[] = L"KORVEX_SCRATCH_COPY";

}  // namespace

int RunAgain(const std::wstring& exe, const std::wstring& folder, const wchar_t* marker, int argc,
             wchar_t** argv) {
    std::wstring command = korvex::QuoteArgument(exe);
    for (int i = 1; i < argc; ++i) command += L" " + korvex::QuoteArgument(argv[i]);
    std::wstring environment = EnvironmentBlock({std::wstring(marker) + L"=1"});
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), folder.c_str(), &si, &pi))
        return 2;
    const korvex::ScopedProcess child(pi);
    WaitForSingleObject(child.process.get(), INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(child.process.get(), &code);
    return int(code);
}

int RunAsScratchCopy(int argc, wchar_t** argv) {
    if (korvex::HasEnv(kMarker)) return -1;
    const std::wstring folder = RunDir() + L"\\scratch-" + std::to_wstring(GetCurrentProcessId());
    std::filesystem::create_directories(folder);
    const std::wstring copy = folder + L"\\" + GetExeFileName();
    if (!CopyFileW(korvex::GetExePath().c_str(), copy.c_str(), FALSE)) return 2;
    return RunAgain(copy, folder, kMarker, argc, argv);
}

}  // namespace korvex_test
