// The engine's words for how a renderer process ended, as the application's handlers hear them.
#pragma once

#include <string>
#include <string_view>

#include "cef/cef_termination_status.h"

namespace cef_detail {

// "killed", "crashed", "oom"; anything else (an exit code, a status the engine adds later) is
// an abnormal end.
TerminationStatus TerminationStatusFromEngine(std::string_view engine_status);
// The text a load error reports for a page whose renderer ended ("RENDERER_KILLED", ...).
std::string TerminationErrorText(TerminationStatus status);

}  // namespace cef_detail
