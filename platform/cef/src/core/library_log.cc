#include "core/library_log.h"

namespace cef_detail {

const korvex::DebugLog& LibraryLog() {
    static const korvex::DebugLog log("cef", L"KORVEX_CEF_LOG");
    return log;
}

}  // namespace cef_detail
