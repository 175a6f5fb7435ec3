#include "serve.h"

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

namespace korvex {
namespace {

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

int Serve(PageServer& server, const std::string& info, const char* program) {
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) return 0;
    if (!server.valid()) {
        std::cerr << program << ": cannot set up the server (certificate or key unusable?)\n";
        return 1;
    }
    const int port = server.Bind();
    if (port <= 0) {
        std::cerr << program << ": cannot bind 127.0.0.1\n";
        return 1;
    }
    // Ends at once: every request is already in the log, and waiting for the engine's
    // keep-alive connections to time out would only hold the caller up.
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
        std::cerr << program << ": cannot write " << info << "\n";
        return 1;
    }
    server.Run();
    return 0;
}

}  // namespace korvex
