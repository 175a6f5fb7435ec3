// Work that needs the engine, held back until the engine has answered.
#pragma once

#include <functional>
#include <string>

namespace cef_detail {

// Runs work on TID_UI once the engine has answered its first command: at once (posted) when it
// has, later when the answer is still to come. False, and work is dropped, when no engine runs
// or it never answered.
bool WhenEngineReady(std::function<void()> work);

// Runs handler on TID_UI each time an engine started again after the last one died has
// answered: every browser is to be made again in it, back on its last address (error_text
// empty) or on its error page with error_text. Replaces the handler set before.
void SetEngineRestartHandler(std::function<void(const std::string& error_text)> handler);

}  // namespace cef_detail
