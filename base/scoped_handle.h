// A kernel handle owned by one object and closed when it goes. INVALID_HANDLE_VALUE, which
// some calls return on failure, is kept as null.
#pragma once

#include <windows.h>

#include <utility>

namespace korvex {

class ScopedHandle {
  public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ScopedHandle(ScopedHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        reset(std::exchange(other.h_, nullptr));
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { reset(); }

    void reset(HANDLE h = nullptr) {
        if (h == INVALID_HANDLE_VALUE) h = nullptr;
        if (h_ && h_ != h) CloseHandle(h_);
        h_ = h;
    }
    HANDLE get() const { return h_; }
    HANDLE release() { return std::exchange(h_, nullptr); }
    // Closes what is held and lends the slot to a call that fills it.
    HANDLE* put() {
        reset();
        return &h_;
    }
    explicit operator bool() const { return h_ != nullptr; }

  private:
    HANDLE h_ = nullptr;
};

// The process and thread handles CreateProcessW hands back.
struct ScopedProcess {
    ScopedHandle process;
    ScopedHandle thread;
    DWORD id = 0;

    ScopedProcess() = default;
    explicit ScopedProcess(const PROCESS_INFORMATION& pi)
        : process(pi.hProcess), thread(pi.hThread), id(pi.dwProcessId) {}
};

}  // namespace korvex
