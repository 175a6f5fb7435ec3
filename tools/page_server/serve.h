// Running a page server as a program of its own: bound to a port the system chooses, that port
// and the process id written down, serving until told to stop or until the process that
// started it goes (so a test that crashes leaves no server behind).
#pragma once

#include <string>

#include "page_server.h"

namespace korvex {

// Writes "<port> <pid>" to info (atomically) once it listens; ends the process on SIGTERM or
// SIGINT, or when the parent goes. Returns the exit code for a failure to start; does not
// return otherwise.
int Serve(PageServer& server, const std::string& info, const char* program);

}  // namespace korvex
