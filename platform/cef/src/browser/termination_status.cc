#include "browser/termination_status.h"

namespace cef_detail {

TerminationStatus TerminationStatusFromEngine(std::string_view engine_status) {
    if (engine_status == "killed") return TS_PROCESS_WAS_KILLED;
    if (engine_status == "crashed") return TS_PROCESS_CRASHED;
    if (engine_status == "oom") return TS_PROCESS_OOM;
    return TS_ABNORMAL_TERMINATION;
}

std::string TerminationErrorText(TerminationStatus status) {
    switch (status) {
        case TS_PROCESS_WAS_KILLED:
            return "RENDERER_KILLED";
        case TS_PROCESS_CRASHED:
            return "RENDERER_CRASHED";
        case TS_PROCESS_OOM:
            return "RENDERER_OUT_OF_MEMORY";
        case TS_ABNORMAL_TERMINATION:
            break;
    }
    return "RENDERER_ENDED_ABNORMALLY";
}

}  // namespace cef_detail
