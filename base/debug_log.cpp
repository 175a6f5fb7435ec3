#include "base/debug_log.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "base/environment.h"
#include "base/process_clock.h"

namespace korvex {

DebugLog::DebugLog(const char* name, const wchar_t* environment_variable)
    : name_(name), to_stderr_(HasEnv(environment_variable)) {}

void DebugLog::Write(std::string_view text) const {
    std::string line = "[";
    line += name_;
    line += " ";
    line += std::to_string(MsSinceProcessStart());
    line += "] ";
    line += text;
    line += "\n";
    OutputDebugStringA(line.c_str());
    if (to_stderr_) {
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    }
}

}  // namespace korvex
