#include "ConfigRecord.h"

namespace korvex {

void TerminateConfigTexts(SysCtrlConfig& config) {
    for (ConfigChar* field : {config.szLoginUrl, config.szOfficialUrl, config.szRechargeUrl,
                              config.szServiceUrl, config.szForumUrl})
        field[kConfigTextMaxChars] = 0;
}

}  // namespace korvex
