// Placeholder until the engine and the threads land.
#include "cef/cef_app.h"
#include "cef/cef_task.h"
#include "devtools/connection.h"

bool CefInitialize(const CefMainArgs&, const CefSettings&, CefRefPtr<CefApp>, void*) {
    return false;
}
void CefQuitMessageLoop() {}
bool CefCurrentlyOn(CefThreadId id) { return cef_detail::IsOnThread(id); }
bool CefPostTask(CefThreadId, CefRefPtr<CefTask>) { return false; }

namespace cef_detail {
Connection* GetConnection() { return nullptr; }
bool IsOnThread(CefThreadId) { return false; }
bool PostToThread(CefThreadId, std::function<void()>) { return false; }
}  // namespace cef_detail
