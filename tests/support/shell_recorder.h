// Stands in for the user's default web browser and mail program in a test's own Wine prefix:
// while it lives, the shell's "open" of an http:, https: or mailto: address runs a small
// recorder instead, which writes the address down. Restores nothing (the prefix is the test's).
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace korvex_test {

class ShellRecorder {
  public:
    ShellRecorder();
    // The addresses the shell was asked to open, in order.
    std::vector<std::string> Opened() const;
    // Waits (pumping messages) until at least count addresses were opened.
    bool WaitForCount(std::size_t count,
                      std::chrono::milliseconds limit = std::chrono::seconds(20)) const;

  private:
    std::wstring log_;  // Windows path of the recorder's log
};

}  // namespace korvex_test
