#include "base/process_clock.h"

#include <windows.h>

namespace korvex {

long long MsSinceProcessStart() {
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& t) {
        return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(now) - ticks(created)) / 10000;  // FILETIME counts 100 ns
}

}  // namespace korvex
