#include "devtools/pipe_connection.h"

#include "devtools/message_reader.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace cef_detail {
namespace {

constexpr int kClosedCode = kConnectionClosedCode;
constexpr int kTimeoutCode = -32001;

// What a blocking Call waits on; filled by the reader thread.
struct Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    Json result;
    std::optional<ProtocolError> error;
};

class PipeConnectionImpl final : public PipeConnection {
  public:
    PipeConnectionImpl(HANDLE read, HANDLE write, std::function<void()> on_closed)
        : write_(write), on_closed_(std::move(on_closed)) {
        std::thread([this, read] { ReadLoop(read); }).detach();
    }
    // The reader thread uses the object until the pipe closes; the library keeps the connection
    // for the life of the process, so this runs only in tests of a closed pipe.
    ~PipeConnectionImpl() override = default;

    void Send(std::string method, Json params, Reply reply, std::string session_id) override {
        Pending p;
        p.reply = std::move(reply);
        Write(std::move(method), std::move(params), std::move(session_id), std::move(p));
    }

    Json Call(std::string method, Json params, std::string session_id) override {
        return CallWithTimeout(std::move(method), std::move(params), std::chrono::hours(24 * 365),
                               std::move(session_id));
    }

    Json CallWithTimeout(std::string method, Json params, std::chrono::milliseconds limit,
                         std::string session_id) override {
        auto waiter = std::make_shared<Waiter>();
        Pending p;
        p.waiter = waiter;
        const std::string name = method;
        Write(std::move(method), std::move(params), std::move(session_id), std::move(p));
        std::unique_lock lock(waiter->mutex);
        if (!waiter->cv.wait_for(lock, limit, [&] { return waiter->done; }))
            throw ProtocolError{kTimeoutCode, "no answer to " + name};
        if (waiter->error) throw *waiter->error;
        return std::move(waiter->result);
    }

    int AddListener(Listener listener) override {
        std::lock_guard lock(listeners_mutex_);
        const int id = ++next_listener_;
        listeners_.emplace(id, std::make_shared<Listener>(std::move(listener)));
        return id;
    }
    void RemoveListener(int id) override {
        std::lock_guard lock(listeners_mutex_);
        listeners_.erase(id);
    }
    int AddIoListener(std::string method, IoListener listener) override {
        std::lock_guard lock(listeners_mutex_);
        const int id = ++next_listener_;
        io_listeners_.emplace(
            id, IoEntry{std::move(method), std::make_shared<IoListener>(std::move(listener))});
        return id;
    }
    void RemoveIoListener(int id) override {
        std::lock_guard lock(listeners_mutex_);
        io_listeners_.erase(id);
    }
    bool IsOpen() const override { return open_.load(std::memory_order_acquire); }

    void Detach() override {
        std::lock_guard write_lock(write_mutex_);  // waits for a write under way
        write_ = nullptr;
        Close();
    }

    void Reopen(HANDLE read, HANDLE write) override {
        {
            std::lock_guard write_lock(write_mutex_);
            std::lock_guard lock(pending_mutex_);
            write_ = write;
            open_.store(true, std::memory_order_release);
        }
        std::thread([this, read] { ReadLoop(read); }).detach();
    }

  private:
    struct Pending {
        Reply reply;
        std::shared_ptr<Waiter> waiter;
    };
    struct IoEntry {
        std::string method;
        std::shared_ptr<IoListener> listener;
    };

    void Write(std::string method, Json params, std::string session_id, Pending pending) {
        Json message{{"method", std::move(method)}};
        if (!params.is_null()) message["params"] = std::move(params);
        if (!session_id.empty()) message["sessionId"] = std::move(session_id);
        std::lock_guard write_lock(write_mutex_);
        int id;
        {
            std::lock_guard lock(pending_mutex_);
            if (!open_.load()) {
                Complete(std::move(pending), nullptr,
                         ProtocolError{kClosedCode, "connection closed"});
                return;
            }
            id = ++next_id_;
            pending_.emplace(id, std::move(pending));
        }
        message["id"] = id;
        std::string text = message.dump(-1, ' ', false, Json::error_handler_t::replace);
        text.push_back('\0');
        const char* data = text.data();
        std::size_t left = text.size();
        while (left > 0) {
            DWORD written = 0;
            if (!WriteFile(write_, data, static_cast<DWORD>(left), &written, nullptr) ||
                written == 0)
                break;  // The reader sees the pipe close and fails what is pending.
            data += written;
            left -= written;
        }
    }

    // Hands a reply to its caller: a waiting Call directly, a Send's reply on TID_UI.
    static void Complete(Pending pending, const Json* result, std::optional<ProtocolError> error) {
        if (pending.waiter) {
            std::lock_guard lock(pending.waiter->mutex);
            if (result) pending.waiter->result = *result;
            pending.waiter->error = std::move(error);
            pending.waiter->done = true;
            pending.waiter->cv.notify_all();
            return;
        }
        if (!pending.reply) return;
        PostToThread(TID_UI,
                     [reply = std::move(pending.reply), value = result ? *result : Json::object(),
                      error = std::move(error)] { reply(value, error ? &*error : nullptr); });
    }

    // One per pipe: ends when the engine closes its end.
    void ReadLoop(HANDLE read) {
        std::vector<char> chunk(1 << 20);
        std::string buffer;
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(read, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) ||
                got == 0)
                break;
            std::size_t scan = buffer.size();
            buffer.append(chunk.data(), got);
            std::size_t start = 0;
            for (std::size_t end; (end = buffer.find('\0', scan)) != std::string::npos;) {
                Dispatch(std::string_view(buffer).substr(start, end - start));
                start = scan = end + 1;
            }
            buffer.erase(0, start);
        }
        Close();
        if (on_closed_) on_closed_();
    }

    void Dispatch(std::string_view text) {
        Json message = ReadMessage(text);
        if (message.is_discarded() || !message.is_object()) return;
        if (auto id = message.find("id"); id != message.end() && id->is_number_integer()) {
            std::optional<Pending> pending;
            {
                std::lock_guard lock(pending_mutex_);
                auto it = pending_.find(id->get<int>());
                if (it == pending_.end()) return;
                pending = std::move(it->second);
                pending_.erase(it);
            }
            if (auto e = message.find("error"); e != message.end()) {
                Complete(std::move(*pending), nullptr,
                         ProtocolError{e->value("code", 0), e->value("message", std::string())});
            } else {
                Json result =
                    message.contains("result") ? std::move(message["result"]) : Json::object();
                Complete(std::move(*pending), &result, std::nullopt);
            }
            return;
        }
        auto m = message.find("method");
        if (m == message.end() || !m->is_string()) return;
        std::string method = m->get<std::string>();
        std::string session = message.value("sessionId", std::string());
        Json params = message.contains("params") ? std::move(message["params"]) : Json::object();

        std::vector<std::shared_ptr<IoListener>> io;
        {
            std::lock_guard lock(listeners_mutex_);
            for (const auto& [id, entry] : io_listeners_)
                if (entry.method == method) io.push_back(entry.listener);
        }
        for (const auto& l : io)
            if ((*l)(method, params, session)) return;

        PostToThread(TID_UI, [this, method = std::move(method), params = std::move(params),
                              session = std::move(session)] { Deliver(method, params, session); });
    }

    // On TID_UI: each listener registered at the time of delivery, skipping those removed
    // meanwhile.
    void Deliver(const std::string& method, const Json& params, const std::string& session) {
        std::vector<std::pair<int, std::shared_ptr<Listener>>> snapshot;
        {
            std::lock_guard lock(listeners_mutex_);
            snapshot.assign(listeners_.begin(), listeners_.end());
        }
        for (const auto& [id, listener] : snapshot) {
            {
                std::lock_guard lock(listeners_mutex_);
                if (!listeners_.count(id)) continue;
            }
            (*listener)(method, params, session);
        }
    }

    void Close() {
        std::map<int, Pending> failed;
        {
            std::lock_guard lock(pending_mutex_);
            open_.store(false, std::memory_order_release);
            failed.swap(pending_);
        }
        for (auto& [id, p] : failed)
            Complete(std::move(p), nullptr, ProtocolError{kClosedCode, "connection closed"});
    }

    HANDLE write_;  // changes under write_mutex_ only
    const std::function<void()> on_closed_;
    std::atomic<bool> open_{true};
    std::mutex write_mutex_;
    std::mutex pending_mutex_;
    int next_id_ = 0;
    std::map<int, Pending> pending_;
    std::mutex listeners_mutex_;
    int next_listener_ = 0;
    std::map<int, std::shared_ptr<Listener>> listeners_;
    std::map<int, IoEntry> io_listeners_;
};

std::atomic<Connection*> g_connection{nullptr};

}  // namespace

std::unique_ptr<PipeConnection> OpenPipeConnection(HANDLE read, HANDLE write,
                                                   std::function<void()> on_closed) {
    return std::make_unique<PipeConnectionImpl>(read, write, std::move(on_closed));
}

void SetConnection(Connection* connection) { g_connection.store(connection); }

Connection* GetConnection() { return g_connection.load(); }

}  // namespace cef_detail
