// The running engine: started headless with the DevTools pipe as its only channel.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/engine_locator.h"

namespace cef_detail {

class EngineProcess {
  public:
    struct Options {
        EngineLocation engine;
        // Entries after the program, UTF-8, in order. The pipe switch is added here.
        std::vector<std::string> args;
        // The profile directory as a Windows path; empty = a fresh one in the private folder.
        std::wstring profile_dir;
    };

    // Starts the engine; null (with a reason in error) when it could not be started.
    static std::unique_ptr<EngineProcess> Start(const Options& options, std::string& error);

    virtual ~EngineProcess() = default;
    // Our ends of the pipe: we read the engine's messages from one and write commands to the
    // other. Owned by this object.
    virtual HANDLE ReadHandle() const = 0;
    virtual HANDLE WriteHandle() const = 0;
    // The engine's process id (a Linux PID under Wine).
    virtual unsigned long Pid() const = 0;
    // The folder private to this engine run (removed when the engine ends under Wine).
    virtual std::wstring PrivateDir() const = 0;
};

}  // namespace cef_detail
