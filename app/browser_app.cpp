#include "app/browser_app.h"

namespace {

constexpr wchar_t kIgnoreCertificateErrors[] = L"--ignore-certificate-errors";
constexpr wchar_t kIgnoreSslErrors[] = L"--ignore-ssl-errors";
constexpr wchar_t kFlashPathSwitch[] = L"--ppapi-flash-path";
// Relative: the launcher makes the executable's directory current before any browser exists.
constexpr wchar_t kFlashPath[] = L"pepperflash/pepflashplayer.dll";
constexpr wchar_t kFlashVersionSwitch[] = L"--ppapi-flash-version";
constexpr wchar_t kFlashVersion[] = L"23.0.0.162";

}  // namespace

void CBrowserApp::OnBeforeCommandLineProcessing(const CefString& process_type,
                                                CefRefPtr<CefCommandLine> command_line) {
    (void)process_type;
    command_line->AppendArgument(kIgnoreCertificateErrors);
    command_line->AppendArgument(kIgnoreSslErrors);
    command_line->AppendSwitchWithValue(kFlashPathSwitch, kFlashPath);
    command_line->AppendSwitchWithValue(kFlashVersionSwitch, kFlashVersion);
}
