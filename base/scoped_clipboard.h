// The system clipboard, open for one owner while this object lives, and global memory owned
// until the clipboard takes it.
#pragma once

#include <windows.h>

#include <utility>

namespace korvex {

class ScopedClipboard {
  public:
    // Opens the clipboard for owner (a window of this thread). Another program may hold it for
    // a moment: a few tries, a few milliseconds apart.
    explicit ScopedClipboard(HWND owner) {
        for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
            open_ = OpenClipboard(owner) != FALSE;
            if (!open_) Sleep(5);
        }
    }
    ~ScopedClipboard() {
        if (open_) CloseClipboard();
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    explicit operator bool() const { return open_; }

  private:
    bool open_ = false;
};

class ScopedGlobalMemory {
  public:
    explicit ScopedGlobalMemory(HGLOBAL memory) : memory_(memory) {}
    ~ScopedGlobalMemory() {
        if (memory_) GlobalFree(memory_);
    }
    ScopedGlobalMemory(const ScopedGlobalMemory&) = delete;
    ScopedGlobalMemory& operator=(const ScopedGlobalMemory&) = delete;
    HGLOBAL get() const { return memory_; }
    // The clipboard (or whoever) owns it now.
    HGLOBAL release() { return std::exchange(memory_, nullptr); }
    explicit operator bool() const { return memory_ != nullptr; }

  private:
    HGLOBAL memory_ = nullptr;
};

}  // namespace korvex
