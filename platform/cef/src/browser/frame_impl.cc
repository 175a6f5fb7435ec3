#include "browser/frame_impl.h"

#include "browser/browser_impl.h"

namespace cef_detail {

FrameImpl::FrameImpl(BrowserImpl* browser, std::string frame_id, std::int64_t identifier)
    : browser_(browser), frame_id_(std::move(frame_id)), identifier_(identifier) {}

void FrameImpl::LoadString(const CefString& string_val, const CefString& url) {
    (void)url;  // the engine keeps the frame's address; the document is replaced in place
    std::lock_guard lock(mutex_);
    if (!browser_) return;
    browser_->SendToFrame(frame_id_,
                          commands::SetDocumentContent(frame_id_, string_val.ToString()));
}

void FrameImpl::LoadURL(const CefString& url) {
    std::lock_guard lock(mutex_);
    if (!browser_) return;
    browser_->SendToFrame(frame_id_, commands::NavigateFrame(frame_id_, url.ToString()));
}

void FrameImpl::ExecuteJavaScript(const CefString& code, const CefString& script_url,
                                  int start_line) {
    (void)script_url, (void)start_line;
    std::lock_guard lock(mutex_);
    if (!browser_) return;
    // Runs in a world of its own inside the frame: it sees the frame's document, not the
    // variables of the page's scripts.
    CefRefPtr<BrowserImpl> browser = browser_;
    const std::string source = code.ToString();
    const std::string frame_id = frame_id_;
    browser->SendToFrame(
        frame_id, commands::CreateFrameScriptWorld(frame_id),
        [browser, frame_id, source](const Json& result, const ProtocolError* error) {
            if (error) return;
            browser->SendToFrame(frame_id, commands::EvaluateInContext(
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
    if (!browser_ || parent_id_.empty()) return nullptr;
    return browser_->FrameById(parent_id_).get();
}

CefRefPtr<CefBrowser> FrameImpl::GetBrowser() {
    std::lock_guard lock(mutex_);
    return browser_;
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
    browser_ = nullptr;
    valid_ = false;
}

}  // namespace cef_detail
