// CefBrowserHost::CreateBrowser: the entry to the browser half.
#include "browser/browser_impl.h"
#include "browser/browser_registry.h"
#include "core/engine_startup.h"

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                                   const CefString& url, const CefBrowserSettings& settings,
                                   CefRefPtr<CefRequestContext> request_context) {
    (void)request_context;
    using namespace cef_detail;
    // Asked for before the engine has answered, the browser is made once it has.
    return WhenEngineReady([windowInfo, client, settings, address = url.ToString()] {
        Connection* connection = GetConnection();
        if (!connection || !connection->IsOpen()) return;
        BrowserRegistry& registry = BrowserRegistry::Get();
        registry.Listen(*connection);
        CefRefPtr<BrowserImpl> browser = new BrowserImpl(
            *connection, registry, windowInfo, settings, client, address, std::string(), false);
        registry.Add(browser);
        browser->Start();
    });
}
