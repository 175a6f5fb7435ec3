// What the library knows about the running engine (for diagnostics and tests).
#pragma once

#include <string>

namespace cef_detail {

// 0 when no engine runs. A Linux PID under Wine: the leader of the engine's process group.
unsigned long EnginePid();
// The folder private to this engine run; empty when no engine runs.
std::wstring EnginePrivateDir();

}  // namespace cef_detail
