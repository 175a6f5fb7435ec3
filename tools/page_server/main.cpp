// page_server: serves a folder on 127.0.0.1 for tests and the demo.
//
//   page_server --root DIR --info FILE [--log FILE] [--https CERT KEY]
//
// Once it listens it writes "<port> <pid>" to FILE (atomically). It ends on SIGTERM or SIGINT,
// and by itself when the process that started it goes, so a test that crashes leaves no server.
#include <filesystem>
#include <iostream>
#include <string>

#include "page_server.h"
#include "serve.h"

namespace {

int Usage() {
    std::cerr << "usage: page_server --root DIR --info FILE [--log FILE] [--https CERT KEY]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    korvex::PageServer::Options options;
    std::string info;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--root" && i + 1 < argc) {
            options.root = argv[++i];
        } else if (a == "--info" && i + 1 < argc) {
            info = argv[++i];
        } else if (a == "--log" && i + 1 < argc) {
            options.log_path = argv[++i];
        } else if (a == "--https" && i + 2 < argc) {
            options.certificate = argv[++i];
            options.private_key = argv[++i];
        } else {
            return Usage();
        }
    }
    if (info.empty()) return Usage();
    if (!options.root.empty() && !std::filesystem::is_directory(options.root)) {
        std::cerr << "page_server: " << options.root << " is not a folder\n";
        return 1;
    }
    korvex::PageServer server(options);
    return korvex::Serve(server, info, "page_server");
}
