// The library's developer trace: lines "[cef] ..." to the debugger, and to standard error while
// KORVEX_CEF_LOG is set.
#pragma once

#include "base/debug_log.h"

namespace cef_detail {

const korvex::DebugLog& LibraryLog();

}  // namespace cef_detail
