// The DevTools connection over the engine's pipe: NUL-separated JSON messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>

#include "devtools/connection.h"

namespace cef_detail {

class PipeConnection;

// Creates the connection on the two pipe handles (not owned; they must outlive their use, see
// Detach) and starts its reader thread. on_closed runs on the reader thread each time the engine
// closes its end of a pipe (it went away), after every pending reply has failed.
std::unique_ptr<PipeConnection> OpenPipeConnection(HANDLE read, HANDLE write,
                                                   std::function<void()> on_closed = {});

class PipeConnection : public Connection {
  public:
    // Call with a time limit; throws ProtocolError (code -32001) when it passes.
    virtual Json CallWithTimeout(std::string method, Json params, std::chrono::milliseconds limit,
                                 std::string session_id = {}) = 0;
    // After the engine went away: nothing more is written to its pipe (what is asked fails as
    // closed). Returns once no write to it is under way, so its handles may then be closed.
    virtual void Detach() = 0;
    // Carries on over the pipe of a new engine, with every listener as it was. Only after the
    // old pipe closed (on_closed) and Detach.
    virtual void Reopen(HANDLE read, HANDLE write) = 0;
};

// Makes connection the one GetConnection() returns (for the life of the process).
void SetConnection(Connection* connection);

}  // namespace cef_detail
