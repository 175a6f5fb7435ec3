#include "core/library_threads.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "devtools/connection.h"

namespace cef_detail {
namespace {

constexpr UINT kRunTasks = WM_APP + 1;
// The atom of the standard dialog class "#32770".
constexpr ULONG_PTR kDialogClassAtom = 32770;

// A queue of work for one thread. The UI thread is woken through a message-only window, so
// tasks also run while a modal loop (message box, window move) pumps that thread.
class TaskThread {
  public:
    explicit TaskThread(bool message_loop) : message_loop_(message_loop) {}

    void Start() {
        std::promise<void> started;
        auto ready = started.get_future();
        std::thread([this, &started] {
            thread_id_ = GetCurrentThreadId();
            if (message_loop_) CreateDispatchWindow();
            started.set_value();
            message_loop_ ? RunMessageLoop() : RunQueue();
        }).detach();
        ready.wait();
    }

    bool IsCurrent() const { return thread_id_ != 0 && GetCurrentThreadId() == thread_id_; }

    void Post(std::function<void()> work) {
        bool wake;
        {
            std::lock_guard lock(mutex_);
            wake = queue_.empty();
            queue_.push_back(std::move(work));
        }
        if (message_loop_) {
            if (wake) PostMessageW(window_, kRunTasks, 0, 0);
        } else {
            cv_.notify_one();
        }
    }

  private:
    void CreateDispatchWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TaskThread::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KorvexLibraryDispatch";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == kRunTasks) {
            auto* self = reinterpret_cast<TaskThread*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            self->RunPending();
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    void RunMessageLoop() {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            // A modeless dialog of this thread (a page's JavaScript dialog) gets the dialog
            // keys: Enter, Escape, Tab.
            HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
            if (root && GetClassLongPtrW(root, GCW_ATOM) == kDialogClassAtom &&
                IsDialogMessageW(root, &msg)) {
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    // Runs what is queued now; work posted meanwhile wakes the window again.
    void RunPending() {
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard lock(mutex_);
            batch.swap(queue_);
        }
        for (auto& work : batch) work();
    }

    void RunQueue() {
        for (;;) {
            std::function<void()> work;
            {
                std::unique_lock lock(mutex_);
                cv_.wait(lock, [this] { return !queue_.empty(); });
                work = std::move(queue_.front());
                queue_.pop_front();
            }
            work();
        }
    }

    const bool message_loop_;
    std::atomic<DWORD> thread_id_{0};
    HWND window_ = nullptr;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
};

// Never destroyed: the threads run until the process ends (there is no shutdown call).
TaskThread* g_ui = nullptr;
TaskThread* g_io = nullptr;
std::once_flag g_started;
std::atomic<bool> g_running{false};

TaskThread* ThreadFor(CefThreadId id) {
    if (!g_running.load(std::memory_order_acquire)) return nullptr;
    switch (id) {
        case TID_UI:
            return g_ui;
        case TID_IO:
            return g_io;
    }
    return nullptr;
}

}  // namespace

void StartLibraryThreads() {
    std::call_once(g_started, [] {
        g_ui = new TaskThread(true);
        g_io = new TaskThread(false);
        g_ui->Start();
        g_io->Start();
        g_running.store(true, std::memory_order_release);
    });
}

bool LibraryThreadsRunning() { return g_running.load(std::memory_order_acquire); }

bool IsOnThread(CefThreadId id) {
    TaskThread* t = ThreadFor(id);
    return t && t->IsCurrent();
}

bool PostToThread(CefThreadId id, std::function<void()> work) {
    TaskThread* t = ThreadFor(id);
    if (!t || !work) return false;
    t->Post(std::move(work));
    return true;
}

}  // namespace cef_detail

bool CefCurrentlyOn(CefThreadId thread_id) { return cef_detail::IsOnThread(thread_id); }

bool CefPostTask(CefThreadId thread_id, CefRefPtr<CefTask> task) {
    if (!task) return false;
    return cef_detail::PostToThread(thread_id, [task] { task->Execute(); });
}
