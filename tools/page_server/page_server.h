// A small HTTP(S) server on loopback for the Windows test programs and the demo: files from a
// folder, every request written down as it arrives, a few behaviours a test can ask for.
// Runs natively on Linux; Wine programs start it by its Unix path.
#pragma once

#include <httplib.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

namespace korvex {

class PageServer {
  public:
    struct Options {
        // Files served under "/"; an empty root serves nothing but the extra handlers.
        std::string root;
        // Certificate and key in PEM; both empty: plain HTTP.
        std::string certificate;
        std::string private_key;
        // One line per request as it arrives: "<ms since start> <method> <target>".
        std::string log_path;
    };

    explicit PageServer(Options options);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // Binds 127.0.0.1 on a port the system chooses; 0 when that failed.
    int Bind();
    // Serves until Stop (from another thread or a signal handler's thread).
    void Run();
    void Stop();
    bool valid() const;

    // For programs that add behaviour of their own (the demo's login).
    httplib::Server& server() { return *server_; }

  private:
    void Log(const httplib::Request& request);

    Options options_;
    std::unique_ptr<httplib::Server> server_;
    std::mutex log_mutex_;
    std::ofstream log_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace korvex
