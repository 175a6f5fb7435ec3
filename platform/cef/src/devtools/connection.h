// The one DevTools protocol connection to the engine, shared by all browsers.
#pragma once

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "cef/cef_task.h"

namespace cef_detail {

using Json = nlohmann::json;

// The error every reply gets once the engine has gone (the pipe closed). The engine itself
// answers with codes from -32000 up, never this one.
inline constexpr int kConnectionClosedCode = -32099;

struct ProtocolError {
    int code = 0;
    std::string message;
};

// Browser targets are reached through flat sessions (Target.attachToTarget with flatten=true);
// an empty session_id addresses the browser-level target.
class Connection {
  public:
    using Reply = std::function<void(const Json& result, const ProtocolError* error)>;
    using Listener = std::function<void(const std::string& method, const Json& params,
                                        const std::string& session_id)>;
    // Runs on the reader thread. Returns true when it consumed the event (it then does not reach
    // the TID_UI listeners). For heavy events such as Page.screencastFrame.
    using IoListener =
        std::function<bool(const std::string& method, Json& params, const std::string& session_id)>;

    virtual ~Connection() = default;

    // Thread-safe. reply runs on TID_UI; when the connection closes, pending replies run with
    // an error (kConnectionClosedCode, "connection closed").
    virtual void Send(std::string method, Json params, Reply reply = {},
                      std::string session_id = {}) = 0;
    // Blocking call for library threads other than TID_UI and the reader (never call it there).
    // Throws ProtocolError on an error reply or a closed connection.
    virtual Json Call(std::string method, Json params, std::string session_id = {}) = 0;

    // Events delivered on TID_UI in arrival order. Thread-safe; returns an id for removal.
    virtual int AddListener(Listener listener) = 0;
    virtual void RemoveListener(int id) = 0;
    // Events whose method equals `method`, delivered on the reader thread in arrival order.
    virtual int AddIoListener(std::string method, IoListener listener) = 0;
    virtual void RemoveIoListener(int id) = 0;

    // False once the engine has gone (pipe closed), until a new engine replaces it.
    virtual bool IsOpen() const = 0;
};

// Null when no engine runs.
Connection* GetConnection();

// Behind CefCurrentlyOn and CefPostTask; usable by the library's own code. PostToThread returns
// false (and drops the work) when the library is not running.
bool IsOnThread(CefThreadId id);
bool PostToThread(CefThreadId id, std::function<void()> work);

}  // namespace cef_detail
