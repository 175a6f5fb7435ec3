// A task that runs a function: what callers post with CefPostTask when they need no task class
// of their own.
#pragma once

#include <functional>
#include <utility>

#include "cef/cef_task.h"

class CefClosureTask : public CefTask {
  public:
    explicit CefClosureTask(std::function<void()> work) : work_(std::move(work)) {}
    void Execute() override {
        if (work_) work_();
    }

  private:
    std::function<void()> work_;
    IMPLEMENT_REFCOUNTING(CefClosureTask);
};

inline CefRefPtr<CefTask> CefCreateClosureTask(std::function<void()> work) {
    return new CefClosureTask(std::move(work));
}
