// Time since this process was created, for developers' traces and start-up figures. Win32.
#pragma once

namespace korvex {

// Milliseconds since the process was created; -1 when the system does not tell.
long long MsSinceProcessStart();

}  // namespace korvex
