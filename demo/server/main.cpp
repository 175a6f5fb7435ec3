// demo_server: the demo game site on 127.0.0.1 for ./scripts/run and the end-to-end test: the
// site's pages, its login service (POST /api/login) and the game's events (GET /api/event).
//
//   demo_server --site DIR --info FILE [--log FILE]
//
// Writes "<port> <pid>" to FILE once it listens; ends on SIGTERM or when its parent goes.
#include <filesystem>
#include <iostream>
#include <string>

#include "demo_login.h"
#include "page_server.h"
#include "serve.h"

int main(int argc, char** argv) {
    korvex::PageServer::Options options;
    std::string info;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--site" && i + 1 < argc) {
            options.root = argv[++i];
        } else if (a == "--info" && i + 1 < argc) {
            info = argv[++i];
        } else if (a == "--log" && i + 1 < argc) {
            options.log_path = argv[++i];
        } else {
            std::cerr << "usage: demo_server --site DIR --info FILE [--log FILE]\n";
            return 2;
        }
    }
    if (info.empty() || !std::filesystem::is_directory(options.root)) {
        std::cerr
            << "demo_server: the site folder (--site) and the info file (--info) are needed\n";
        return 2;
    }
    korvex::PageServer server(options);
    server.server().Post("/api/login", [](const httplib::Request& request,
                                          httplib::Response& response) {
        const auto answer = korvex_demo::CheckLogin(request.get_param_value("account"),
                                                    request.get_param_value("password"),
                                                    request.get_param_value("server"));
        response.set_header("Cache-Control", "no-store");
        response.set_content(korvex_demo::AnswerJson(answer), "application/json; charset=utf-8");
    });
    server.server().Get("/api/event", [](const httplib::Request&, httplib::Response& response) {
        response.status = 204;
    });
    server.server().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/login.html");
    });
    return korvex::Serve(server, info, "demo_server");
}
