// The demo site's login service: who gets in, and what the others are told.
#include "demo_login.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {

TEST(DemoLogin, KnownAccountsGetInOthersAreToldWhy) {
    struct Case {
        const char* account;
        const char* password;
        const char* server;
        bool ok;
        const char* message;
    };
    const Case cases[] = {
        {"tom", "123456", "12", true, ""},
        {"ann", "654321", "7", true, ""},
        {"tom", "654321", "12", false, "账号或密码错误"},
        {"nobody", "123456", "12", false, "账号或密码错误"},
        {"TOM", "123456", "12", false, "账号或密码错误"},
        {"", "123456", "12", false, "请输入账号和密码"},
        {"tom", "", "12", false, "请输入账号和密码"},
        {"tom", "123456", "99", false, "请选择服务器"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.account) + "/" + c.password + "/" + c.server);
        const auto answer = korvex_demo::CheckLogin(c.account, c.password, c.server);
        EXPECT_EQ(answer.ok, c.ok);
        EXPECT_EQ(answer.message, c.message);
        const auto json = nlohmann::json::parse(korvex_demo::AnswerJson(answer));
        EXPECT_EQ(json["ok"], c.ok);
        if (c.ok) {
            EXPECT_FALSE(json["uid"].get<std::string>().empty());
            EXPECT_EQ(json["token"].get<std::string>().size(), 24u);
        } else {
            EXPECT_EQ(json["message"], c.message);
        }
    }
}

TEST(DemoLogin, EachLoginGetsAFreshToken) {
    EXPECT_NE(korvex_demo::CheckLogin("tom", "123456", "12").token,
              korvex_demo::CheckLogin("tom", "123456", "12").token);
}

}  // namespace
