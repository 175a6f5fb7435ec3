// Waiting in a test program while its own windows keep working.
#pragma once

#include <chrono>
#include <functional>

namespace korvex_test {

// Pumps the calling thread's messages until done() holds or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(30));

// Dispatches every message already queued for this thread (a WM_QUIT is put back).
void PumpPending();

// Pumps messages for the whole time.
void PumpFor(std::chrono::milliseconds time);

}  // namespace korvex_test
