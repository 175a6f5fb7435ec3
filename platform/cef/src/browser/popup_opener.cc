#include "browser/popup_opener.h"

#include "cef/cef_client.h"

namespace cef_detail {

void OpenPopup(Connection& connection, BrowserDirectory& directory, AddBrowser add,
               CefRefPtr<BrowserImpl> opener, std::string target_id, std::string url) {
    PostToThread(TID_IO, [&connection, &directory, add = std::move(add), opener,
                          target_id = std::move(target_id), url = std::move(url)] {
        CefRefPtr<CefClient> client = opener->GetClient();
        CefRefPtr<CefLifeSpanHandler> life = client ? client->GetLifeSpanHandler() : nullptr;
        CefWindowInfo window_info;
        window_info.SetAsPopup(nullptr, CefString());
        CefRefPtr<CefClient> popup_client = client;
        CefBrowserSettings settings;
        CefPopupFeatures features;
        bool no_javascript_access = false;
        const bool suppress =
            life && life->OnBeforePopup(opener.get(), opener->GetMainFrame(), CefString(url),
                                        CefString(), WOD_NEW_FOREGROUND_TAB, true, features,
                                        window_info, popup_client, settings, &no_javascript_access);
        if (suppress) {
            directory.CloseTarget(target_id);
            return;
        }
        PostToThread(
            TID_UI, [&connection, &directory, add, window_info, settings, popup_client, target_id] {
                CefRefPtr<BrowserImpl> popup =
                    new BrowserImpl(connection, directory, window_info, settings, popup_client,
                                    std::string(), target_id, true);
                add(popup);
                popup->Start();
            });
    });
}

}  // namespace cef_detail
