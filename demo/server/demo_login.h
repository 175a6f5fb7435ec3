// The demo game site's login: a few demo accounts, checked the way a game's login service would
// answer its login page (JSON). Win32-free.
#pragma once

#include <string>
#include <string_view>

namespace korvex_demo {

struct LoginAnswer {
    bool ok = false;
    std::string message;  // for the player, when not ok
    std::string uid;
    std::string token;
};

// account and password as the player typed them (UTF-8); server: the chosen server's number.
LoginAnswer CheckLogin(std::string_view account, std::string_view password,
                       std::string_view server);

// The answer as the login page reads it: {"ok":true,"uid":..,"token":..} or
// {"ok":false,"message":..}.
std::string AnswerJson(const LoginAnswer& answer);

}  // namespace korvex_demo
