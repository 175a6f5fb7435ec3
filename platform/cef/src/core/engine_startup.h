// Work that needs the engine, held back until the engine has answered.
#pragma once

#include <functional>

namespace cef_detail {

// Runs work on TID_UI once the engine has answered its first command: at once (posted) when it
// has, later when the answer is still to come. False, and work is dropped, when no engine runs
// or it never answered.
bool WhenEngineReady(std::function<void()> work);

}  // namespace cef_detail
