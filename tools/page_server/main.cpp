// page_server: serves a folder on 127.0.0.1 for tests and the demo.
//
//   page_server --root DIR --info FILE [--log FILE] [--https CERT KEY]
//
// Once it listens it writes "<port> <pid>" to FILE (atomically). It ends on SIGTERM or SIGINT,
// and by itself when the process that started it goes, so a test that crashes leaves no server.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "page_server.h"

namespace {

int Usage() {
    std::cerr << "usage: page_server --root DIR --info FILE [--log FILE] [--https CERT KEY]\n";
    return 2;
}

bool WriteInfo(const std::string& path, int port) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp);
        out << port << ' ' << getpid() << '\n';
        if (!out) return false;
    }
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    return !error;
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

    // Ends with whoever started it (a Wine program, a script).
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) return 0;

    korvex::PageServer server(options);
    if (!server.valid()) {
        std::cerr << "page_server: cannot set up the server (certificate or key unusable?)\n";
        return 1;
    }
    const int port = server.Bind();
    if (port <= 0) {
        std::cerr << "page_server: cannot bind 127.0.0.1\n";
        return 1;
    }
    // Ends at once: every request is already in the log, and waiting for the engine's
    // keep-alive connections to time out would only hold the test up.
    struct sigaction stop {};
    stop.sa_handler = [](int) { _exit(0); };
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);
    // The parent may go without a signal reaching us (a subreaper takes us over).
    std::thread([parent] {
        while (getppid() == parent) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        _exit(0);
    }).detach();

    if (!WriteInfo(info, port)) {
        std::cerr << "page_server: cannot write " << info << "\n";
        return 1;
    }
    server.Run();
    return 0;
}
