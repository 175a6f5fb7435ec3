// CefBrowserHost::CreateBrowser: the entry to the browser half.
#include "browser/browser_impl.h"
#include "browser/browser_registry.h"

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                                   const CefString& url, const CefBrowserSettings& settings,
                                   CefRefPtr<CefRequestContext> request_context) {
    (void)settings, (void)request_context;
    using namespace cef_detail;
    Connection* connection = GetConnection();
    if (!connection || !connection->IsOpen()) return false;
    BrowserRegistry::Get().Listen(connection);
    return PostToThread(TID_UI, [windowInfo, client, address = url.ToString()] {
        CefRefPtr<BrowserImpl> browser =
            new BrowserImpl(windowInfo, client, address, std::string(), false);
        browser->Start();
    });
}
