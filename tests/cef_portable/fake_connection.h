// A Connection without an engine: it records every command sent and lets a test answer them
// and deliver events, all on the test's thread.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "devtools/connection.h"

namespace cef_test {

using cef_detail::Json;

class FakeConnection : public cef_detail::Connection {
  public:
    struct Sent {
        std::string method;
        Json params;
        std::string session;
        Reply reply;
    };

    void Send(std::string method, Json params, Reply reply, std::string session_id) override {
        sent_.push_back(
            {std::move(method), std::move(params), std::move(session_id), std::move(reply)});
    }
    Json Call(std::string method, Json params, std::string session_id) override {
        sent_.push_back({std::move(method), std::move(params), std::move(session_id), {}});
        return Json::object();
    }
    int AddListener(Listener listener) override {
        listeners_[next_id_] = std::move(listener);
        return next_id_++;
    }
    void RemoveListener(int id) override { listeners_.erase(id); }
    int AddIoListener(std::string method, IoListener listener) override {
        io_listeners_[next_id_] = {std::move(method), std::move(listener)};
        return next_id_++;
    }
    void RemoveIoListener(int id) override { io_listeners_.erase(id); }
    bool IsOpen() const override { return open_; }

    // Delivers an event the way the reader thread and then TID_UI would.
    void Deliver(const std::string& method, Json params, const std::string& session = {}) {
        for (auto& [id, entry] : std::map(io_listeners_)) {
            if (entry.first == method && entry.second(method, params, session)) return;
        }
        for (auto& [id, listener] : std::map(listeners_)) listener(method, params, session);
    }

    const std::vector<Sent>& sent() const { return sent_; }
    // Methods sent so far, in order.
    std::vector<std::string> Methods() const {
        std::vector<std::string> methods;
        for (const Sent& s : sent_) methods.push_back(s.method);
        return methods;
    }
    // The first command of method not yet answered; null when there is none.
    Sent* Pending(const std::string& method) {
        for (Sent& s : sent_) {
            if (s.method == method && s.reply) return &s;
        }
        return nullptr;
    }
    // Answers the first pending command of method; false when there is none.
    bool Answer(const std::string& method, const Json& result = Json::object()) {
        Sent* s = Pending(method);
        if (!s) return false;
        Reply reply = std::exchange(s->reply, nullptr);
        reply(result, nullptr);
        return true;
    }
    bool Fail(const std::string& method, int code = -32000) {
        Sent* s = Pending(method);
        if (!s) return false;
        Reply reply = std::exchange(s->reply, nullptr);
        const cef_detail::ProtocolError error{code, "failed"};
        reply(Json::object(), &error);
        return true;
    }
    void Close() { open_ = false; }

  private:
    std::vector<Sent> sent_;
    std::map<int, Listener> listeners_;
    std::map<int, std::pair<std::string, IoListener>> io_listeners_;
    int next_id_ = 1;
    bool open_ = true;
};

}  // namespace cef_test
