// A task and a completion callback that run a function: what callers hand the library when they
// need no class of their own.
#pragma once

#include <functional>
#include <utility>

#include "cef/cef_browser.h"
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

// A completion callback that runs a function.
class CefCompletionClosure : public CefCompletionCallback {
  public:
    explicit CefCompletionClosure(std::function<void()> done) : done_(std::move(done)) {}
    void OnComplete() override {
        if (done_) done_();
    }

  private:
    std::function<void()> done_;
    IMPLEMENT_REFCOUNTING(CefCompletionClosure);
};
