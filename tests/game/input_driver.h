// Driving a window of another thread the way a player would: waiting for it to appear and to
// take the foreground, clicking it and typing into it with SendInput (which Wine delivers to
// the foreground window only), and reading its pixels back. Every wait is bounded, so a window
// that never gets there fails the test instead of hanging it.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace game_test {

// How long a wait for a window's state may take before the step counts as failed.
inline constexpr DWORD kStepTimeoutMs = 20000;

// Polls `done` until it holds or `timeoutMs` have passed; true when it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kStepTimeoutMs);

// A visible top-level window of thread `threadId` captioned `caption`, once there is one;
// nullptr after the timeout.
HWND WaitForThreadWindow(DWORD threadId, const wchar_t* caption, DWORD timeoutMs = kStepTimeoutMs);

// The window that has the keyboard focus in thread `threadId`'s input state, or nullptr.
HWND FocusOfThread(DWORD threadId);

// Waits until `window` is the foreground window.
bool WaitForForeground(HWND window);

// A key and whether it belongs to the extended block (arrows, the editing block).
struct Key {
    WORD vk;
    bool extended = false;
};

// Presses the keys in order and releases them in reverse order: {VK_CONTROL, VK_MENU, 'Z'}
// types Ctrl+Alt+Z. One SendInput call, so the system queues the strokes together.
bool TypeChord(const std::vector<Key>& keys);

// Moves the cursor to the centre of `window` (on the primary monitor) and clicks the left button
// there.
bool ClickCentre(HWND window);

// A thread-safe sent message with a bounded wait; `fallback` when the window does not answer.
LRESULT SendBounded(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                    LRESULT fallback = -1);

// The client area of `window` as 32-bit pixels, row by row, after it has painted; empty when
// it cannot be read.
std::vector<DWORD> ClientPixels(HWND window);

}  // namespace game_test
