#include "browser/context_menu.h"

#include "browser/menu_model.h"
#include "cef/cef_client.h"

namespace cef_detail {
namespace {

class ContextMenuParams : public CefContextMenuParams {
  public:
    ContextMenuParams(int x, int y, const PageHit& hit)
        : x_(x),
          y_(y),
          link_(hit.link),
          page_(hit.page_url),
          frame_(hit.frame_url),
          selection_(hit.selection),
          editable_(hit.editable) {
        flags_ = CM_TYPEFLAG_PAGE;
        if (hit.frame) flags_ |= CM_TYPEFLAG_FRAME;
        if (!link_.empty()) flags_ |= CM_TYPEFLAG_LINK;
        if (hit.media) flags_ |= CM_TYPEFLAG_MEDIA;
        if (!selection_.empty()) flags_ |= CM_TYPEFLAG_SELECTION;
        if (editable_) flags_ |= CM_TYPEFLAG_EDITABLE;
    }
    int GetXCoord() override { return x_; }
    int GetYCoord() override { return y_; }
    int GetTypeFlags() override { return flags_; }
    CefString GetLinkUrl() override { return CefString(link_); }
    CefString GetPageUrl() override { return CefString(page_); }
    CefString GetFrameUrl() override { return CefString(frame_); }
    CefString GetSelectionText() override { return CefString(selection_); }
    bool IsEditable() override { return editable_; }

  private:
    int x_, y_, flags_;
    std::string link_, page_, frame_, selection_;
    bool editable_;
    IMPLEMENT_REFCOUNTING(ContextMenuParams);
};

void CopyToClipboard(HWND window, const std::wstring& text) {
    if (!OpenClipboard(window)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
        if (void* p = GlobalLock(memory)) {
            memcpy(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

// The library's own action for a command the handler did not take.
void Execute(CefBrowser& browser, ContextMenuHost& host, HWND window, int command,
             CefContextMenuParams& params) {
    auto edit = [&host](const char* name) {
        host.SendToPage(
            commands::EvaluateAsUser(std::string("document.execCommand('") + name + "')"));
    };
    switch (command) {
        case MENU_ID_BACK:
            browser.GoBack();
            break;
        case MENU_ID_FORWARD:
            browser.GoForward();
            break;
        case MENU_ID_RELOAD:
            browser.Reload();
            break;
        case MENU_ID_RELOAD_NOCACHE:
            host.SendToPage(commands::Reload(true));
            break;
        case MENU_ID_STOPLOAD:
            browser.StopLoad();
            break;
        case MENU_ID_UNDO:
            edit("undo");
            break;
        case MENU_ID_REDO:
            edit("redo");
            break;
        case MENU_ID_CUT:
            edit("cut");
            break;
        case MENU_ID_COPY:
            edit("copy");
            break;
        case MENU_ID_PASTE:
            edit("paste");
            break;
        case MENU_ID_DELETE:
            edit("delete");
            break;
        case MENU_ID_SELECT_ALL:
            edit("selectAll");
            break;
        case MENU_ID_OPEN_LINK_NEW_WINDOW:
            host.SendToPage(commands::EvaluateAsUser(
                "window.open(" + Json(params.GetLinkUrl().ToString()).dump() + ")"));
            break;
        case MENU_ID_COPY_LINK:
            CopyToClipboard(window, params.GetLinkUrl().ToWString());
            break;
        default:
            break;
    }
}

class MenuCallback : public CefRunContextMenuCallback {
  public:
    MenuCallback(CefRefPtr<CefBrowser> browser, ContextMenuHost& host, HWND window,
                 CefRefPtr<CefContextMenuParams> params)
        : browser_(browser), host_(host), window_(window), params_(params) {}
    void Continue(int command_id, cef_event_flags_t) override {
        PostToThread(TID_UI,
                     [browser = browser_, host = &host_, window = window_, params = params_,
                      command_id] { Execute(*browser, *host, window, command_id, *params); });
    }
    void Cancel() override {}

  private:
    CefRefPtr<CefBrowser> browser_;  // keeps host_ alive
    ContextMenuHost& host_;
    HWND window_;
    CefRefPtr<CefContextMenuParams> params_;
    IMPLEMENT_REFCOUNTING(MenuCallback);
};

}  // namespace

void RunContextMenu(CefRefPtr<CefBrowser> keep, ContextMenuHost& host, HWND window, int x, int y,
                    const PageHit& hit) {
    CefBrowser& browser = *keep;
    CefRefPtr<CefContextMenuParams> params = new ContextMenuParams(x, y, hit);
    CefRefPtr<MenuModel> model = new MenuModel;
    FillDefaultContextMenu(*model,
                           {params->GetTypeFlags(), browser.CanGoBack(), browser.CanGoForward()});

    CefRefPtr<CefClient> client = browser.GetHost()->GetClient();
    CefRefPtr<CefContextMenuHandler> handler = client ? client->GetContextMenuHandler() : nullptr;
    CefRefPtr<CefFrame> frame = browser.GetMainFrame();
    if (handler) handler->OnBeforeContextMenu(keep.get(), frame, params, model.get());
    if (model->GetCount() == 0) return;  // emptied: no menu at all
    if (handler && handler->RunContextMenu(keep.get(), frame, params, model.get(),
                                           new MenuCallback(keep, host, window, params))) {
        return;
    }

    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < model->GetCount(); ++i) {
        if (model->GetTypeAt(i) == MENUITEMTYPE_SEPARATOR) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const int command = model->GetCommandIdAt(i);
        const std::wstring label = model->GetLabelAt(i).ToWString();
        AppendMenuW(menu, MF_STRING | (model->IsEnabled(command) ? 0 : MF_GRAYED),
                    UINT_PTR(command), label.c_str());
    }
    POINT pt{x, y};
    ClientToScreen(window, &pt);
    const int chosen = int(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                          pt.x, pt.y, 0, window, nullptr));
    DestroyMenu(menu);
    if (chosen > 0 && !(handler && handler->OnContextMenuCommand(keep.get(), frame, params, chosen,
                                                                 EVENTFLAG_NONE))) {
        Execute(browser, host, window, chosen, *params);
    }
    if (handler) handler->OnContextMenuDismissed(keep.get(), frame);
}

}  // namespace cef_detail
