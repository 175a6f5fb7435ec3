// The DevTools connection over the engine's pipe: NUL-separated JSON messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>

#include "devtools/connection.h"

namespace cef_detail {

class PipeConnection;

// Creates the connection on the two pipe handles (not owned; they must outlive it) and starts
// its reader thread.
std::unique_ptr<PipeConnection> OpenPipeConnection(HANDLE read, HANDLE write);

class PipeConnection : public Connection {
  public:
    // Call with a time limit; throws ProtocolError (code -32001) when it passes.
    virtual Json CallWithTimeout(std::string method, Json params, std::chrono::milliseconds limit,
                                 std::string session_id = {}) = 0;
};

// Makes connection the one GetConnection() returns (for the life of the process).
void SetConnection(Connection* connection);

}  // namespace cef_detail
