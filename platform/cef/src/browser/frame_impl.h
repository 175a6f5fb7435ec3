// One frame of a browser's page, known by the engine's frame id.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "cef/cef_frame.h"
#include "devtools/commands.h"

namespace cef_detail {

class FrameImpl : public CefFrame {
  public:
    // What a frame needs of its browser, which owns it. Any thread.
    class Host {
      public:
        // Sends a command about the frame to the session that hosts it.
        virtual void SendToFrame(std::string frame_id, Command command,
                                 Connection::Reply reply = {}) = 0;
        virtual CefRefPtr<FrameImpl> FrameById(const std::string& frame_id) = 0;
        // The browser object itself (which keeps the host alive).
        virtual CefRefPtr<CefBrowser> Browser() = 0;

      protected:
        ~Host() = default;
    };

    // host owns the frame and calls Invalidate before it goes.
    FrameImpl(Host* host, std::string frame_id, std::int64_t identifier);

    void LoadString(const CefString& string_val, const CefString& url) override;
    void LoadURL(const CefString& url) override;
    void ExecuteJavaScript(const CefString& code, const CefString& script_url,
                           int start_line) override;
    CefString GetURL() override;
    CefString GetName() override;
    std::int64_t GetIdentifier() override { return identifier_; }
    bool IsMain() override;
    bool IsValid() override { return valid_; }
    CefRefPtr<CefFrame> GetParent() override;
    CefRefPtr<CefBrowser> GetBrowser() override;

    // Kept up to date from the engine's frame events (TID_UI).
    const std::string& frame_id() const { return frame_id_; }
    void Update(const std::string& url, const std::string& name, const std::string& parent_id);
    // Same, keeping the parent.
    void Update(const std::string& url, const std::string& name);
    void SetParent(const std::string& parent_id);
    void Invalidate();

  private:
    Host* host_;  // cleared by Invalidate
    const std::string frame_id_;
    const std::int64_t identifier_;
    std::mutex mutex_;  // url_, name_ and parent_id_ may be read on any thread
    std::string url_;
    std::string name_;
    std::string parent_id_;
    std::atomic<bool> valid_{true};
    IMPLEMENT_REFCOUNTING(FrameImpl);
};

}  // namespace cef_detail
