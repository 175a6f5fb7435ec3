#include "demo_login.h"

#include <nlohmann/json.hpp>

#include <array>
#include <random>

namespace korvex_demo {
namespace {

struct Account {
    const char* name;
    const char* password;
    const char* uid;
};

// The demo's players (the README names them).
constexpr std::array<Account, 2> kAccounts = {{
    {"tom", "123456", "100012"},
    {"ann", "654321", "100034"},
}};

bool KnownServer(std::string_view server) {
    return server == "12" || server == "7" || server == "3";
}

std::string FreshToken() {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 24; ++i) token += kHex[random() % 16];
    return token;
}

}  // namespace

LoginAnswer CheckLogin(std::string_view account, std::string_view password,
                       std::string_view server) {
    LoginAnswer answer;
    if (account.empty() || password.empty()) {
        answer.message = "请输入账号和密码";
        return answer;
    }
    if (!KnownServer(server)) {
        answer.message = "请选择服务器";
        return answer;
    }
    for (const Account& a : kAccounts) {
        if (account == a.name && password == a.password) {
            answer.ok = true;
            answer.uid = a.uid;
            answer.token = FreshToken();
            return answer;
        }
    }
    answer.message = "账号或密码错误";
    return answer;
}

std::string AnswerJson(const LoginAnswer& answer) {
    nlohmann::json json = {{"ok", answer.ok}};
    if (answer.ok) {
        json["uid"] = answer.uid;
        json["token"] = answer.token;
    } else {
        json["message"] = answer.message;
    }
    return json.dump();
}

}  // namespace korvex_demo
