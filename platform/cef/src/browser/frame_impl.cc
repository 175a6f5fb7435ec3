#include "browser/frame_impl.h"

#include "cef/cef_browser.h"

namespace cef_detail {

FrameImpl::FrameImpl(Host* host, std::string frame_id, std::int64_t identifier)
    : host_(host), frame_id_(std::move(frame_id)), identifier_(identifier) {}

void FrameImpl::LoadString(const CefString& string_val, const CefString& url) {
    (void)url;  // the engine keeps the frame's address; the document is replaced in place
    std::lock_guard lock(mutex_);
    if (!host_) return;
    host_->SendToFrame(frame_id_, commands::SetDocumentContent(frame_id_, string_val.ToString()));
}

void FrameImpl::LoadURL(const CefString& url) {
    std::lock_guard lock(mutex_);
    if (!host_) return;
    host_->SendToFrame(frame_id_, commands::NavigateFrame(frame_id_, url.ToString()));
}

void FrameImpl::ExecuteJavaScript(const CefString& code, const CefString& script_url,
                                  int start_line) {
    (void)script_url, (void)start_line;
    std::lock_guard lock(mutex_);
    if (!host_) return;
    // Runs in a world of its own inside the frame: it sees the frame's document, not the
    // variables of the page's scripts.
    Host* host = host_;
    CefRefPtr<CefBrowser> keep = host->Browser();  // keeps host alive until the reply
    const std::string source = code.ToString();
    const std::string frame_id = frame_id_;
    host->SendToFrame(
        frame_id, commands::CreateFrameScriptWorld(frame_id),
        [host, keep, frame_id, source](const Json& result, const ProtocolError* error) {
            if (error) return;
            host->SendToFrame(frame_id, commands::EvaluateInContext(
                                            source, commands::ExecutionContextId(result)));
        });
}

CefString FrameImpl::GetURL() {
    std::lock_guard lock(mutex_);
    return CefString(url_);
}

CefString FrameImpl::GetName() {
    std::lock_guard lock(mutex_);
    return CefString(name_);
}

bool FrameImpl::IsMain() {
    std::lock_guard lock(mutex_);
    return parent_id_.empty();
}

CefRefPtr<CefFrame> FrameImpl::GetParent() {
    std::lock_guard lock(mutex_);
    if (!host_ || parent_id_.empty()) return nullptr;
    return host_->FrameById(parent_id_).get();
}

CefRefPtr<CefBrowser> FrameImpl::GetBrowser() {
    std::lock_guard lock(mutex_);
    return host_ ? host_->Browser() : nullptr;
}

void FrameImpl::Update(const std::string& url, const std::string& name,
                       const std::string& parent_id) {
    std::lock_guard lock(mutex_);
    url_ = url;
    name_ = name;
    parent_id_ = parent_id;
}

void FrameImpl::Update(const std::string& url, const std::string& name) {
    std::lock_guard lock(mutex_);
    url_ = url;
    name_ = name;
}

void FrameImpl::SetParent(const std::string& parent_id) {
    std::lock_guard lock(mutex_);
    parent_id_ = parent_id;
}

void FrameImpl::Invalidate() {
    std::lock_guard lock(mutex_);
    host_ = nullptr;
    valid_ = false;
}

}  // namespace cef_detail
