// Developers' trace of one part of the program: each line ("[name ms] text", ms since the
// process started) goes to the debugger
// (OutputDebugString) and, while the channel's environment variable is set, to standard error.
// Players see nothing of it.
#pragma once

#include <string_view>

namespace korvex {

class DebugLog {
  public:
    // name prefixes every line ("[name] text"); the variable is read once, here.
    DebugLog(const char* name, const wchar_t* environment_variable);

    bool to_stderr() const { return to_stderr_; }
    // Any thread.
    void Write(std::string_view text) const;

  private:
    const char* name_;
    bool to_stderr_;
};

}  // namespace korvex
