// A library task that runs a function: what the tests post to TID_UI and TID_IO.
#pragma once

#include <functional>
#include <utility>

#include "cef/cef_task.h"

class FunctionTask : public CefTask {
  public:
    explicit FunctionTask(std::function<void()> work) : work_(std::move(work)) {}
    void Execute() override { work_(); }

  private:
    std::function<void()> work_;
    IMPLEMENT_REFCOUNTING(FunctionTask);
};
