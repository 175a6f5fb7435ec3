// The portable texts composed straight into the wide buffers the windows hand to the system.
#include "base/text_view.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <span>

#include "game/recharge_address.h"
#include "game/server_label.h"

namespace {

TEST(WideText, ServerLabelInAWideBuffer) {
    wchar_t label[korvex::kServerLabelUnits];
    korvex::FormatServerLabel(korvex::AsU16(std::span(label)), korvex::AsU16(L"12"));
    EXPECT_STREQ(label, L"双线12区");

    // A static control shows the buffer as it is.
    HWND text = ::CreateWindowExW(0, L"STATIC", label, WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(text, nullptr);
    wchar_t shown[16] = {};
    ::GetWindowTextW(text, shown, 16);
    ::DestroyWindow(text);
    EXPECT_STREQ(shown, L"双线12区");
}

TEST(WideText, RechargeAddressInAWideBuffer) {
    wchar_t url[korvex::kRechargeAddressUnits];
    const wchar_t server[100] = L"12";
    const wchar_t account[100] = L"玩家";
    const auto text = korvex::ComposeRechargeAddress(korvex::AsU16(std::span(url)),
                                                     korvex::AsU16(L"http://pay.example/c?id=1"),
                                                     korvex::AsU16(server), korvex::AsU16(account));
    EXPECT_STREQ(url, L"http://pay.example/c?id=1&server=12&account=玩家");
    EXPECT_EQ(text.size(), std::wcslen(url));
    EXPECT_EQ(static_cast<const void*>(text.data()), static_cast<const void*>(url));
}

}  // namespace
