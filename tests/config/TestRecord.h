// A record with a value in every field, for tests on both platforms.
#pragma once

#include <algorithm>
#include <string_view>

#include "config/ConfigRecord.h"

namespace korvex::testing {

inline void SetText(ConfigChar (&field)[kConfigTextUnits], std::u16string_view text) {
    std::fill(std::begin(field), std::end(field), ConfigChar(0));
    std::copy(text.begin(), text.end(), field);
}

inline SysCtrlConfig KnownRecord() {
    SysCtrlConfig r{};
    r.rcOfficialBtn = {1, 2, 3, 4};
    r.rcRechargeBtn = {-5, 6, 70000, 8};
    r.rcServiceBtn = {9, 10, 11, 12};
    r.rcForumBtn = {13, 14, 15, -2147483647 - 1};
    r.rcMinimizeBtn = {17, 18, 19, 2147483647};
    r.rcCloseBtn = {21, 22, 23, 24};
    r.nBrowserLeft = 400;
    r.nBrowserTop = -170;
    r.nBrowserWidth = 460;
    r.nBrowserHeight = 280;
    SetText(r.szLoginUrl, u"http://127.0.0.1:47110/登录.html?x=1");
    SetText(r.szOfficialUrl, u"https://example.test/official");
    SetText(r.szRechargeUrl, u"https://example.test/pay?game=torvane&\U0001F3AE");
    SetText(r.szServiceUrl, u"");
    SetText(r.szForumUrl, std::u16string(299, u'f'));
    return r;
}

}  // namespace korvex::testing
