// The page server (a Linux program of the host build) started from a Wine test program: pages
// from a folder on 127.0.0.1 at a port the system chooses, every request written down as it
// arrives. Ended by the destructor, and by itself when the test program goes.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace korvex_test {

class PageServerProcess {
  public:
    // root: a Unix path (see SourcePath); https: serve with a fresh self-signed certificate.
    explicit PageServerProcess(const std::string& root, bool https = false);
    // Another server program of the host build that takes --info and --log the same way (the
    // demo's), with its own arguments first.
    PageServerProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~PageServerProcess();
    PageServerProcess(const PageServerProcess&) = delete;
    PageServerProcess& operator=(const PageServerProcess&) = delete;

    bool running() const { return port_ != 0; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port>" (https for a secure server).
    std::string Origin() const;
    std::string Url(const std::string& path) const { return Origin() + path; }

    // Every request so far as "<method> <target>" (target: path with query), in arrival order.
    std::vector<std::string> Requests() const;
    // How many requests so far were GETs of exactly this target.
    int Count(const std::string& target) const;
    // Waits until some request satisfies seen, pumping the calling thread's messages.
    bool WaitFor(const std::function<bool(const std::vector<std::string>&)>& seen,
                 std::chrono::milliseconds limit = std::chrono::seconds(30)) const;

  private:
    void Start(const std::string& program, std::vector<std::string> arguments);

    std::wstring dir_;  // the server's own scratch folder (Windows path)
    bool https_ = false;
    int port_ = 0;
    unsigned long pid_ = 0;
};

// A path below the source tree (KORVEX_SOURCE_DIR) as a Unix path, e.g. "tests/x/pages".
std::string SourcePath(const std::string& relative);

}  // namespace korvex_test
