// The window of a page's JavaScript dialog: a standard dialog (class "#32770") owned by the
// browser window's top-level window, which it disables while it is up, so the player answers
// it before going on. It runs no message loop of its own: TID_UI's loop serves it (and keeps
// serving the library's tasks and every other browser meanwhile), so a second dialog, of this
// browser or another, never nests inside it. Lives on TID_UI.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "browser/page_dialog.h"

namespace cef_detail {

class PageDialogWindow {
  public:
    // ok: OK (or Leave) was pressed, otherwise Cancel, Escape or the close box; typed: the
    // field's text (UTF-8).
    using Answer = std::function<void(bool ok, const std::string& typed)>;

    // Control ids: the page's text and a prompt's field (the buttons are IDOK and IDCANCEL).
    static constexpr int kMessageId = 100;
    static constexpr int kFieldId = 101;

    // Shows dialog over browser_window's top-level window, in front, the field's text selected
    // for a prompt. answer runs once, later on TID_UI (never inside the dialog's own messages),
    // when the player has answered; the window stays, taking no more answers, until this
    // object goes. When the window cannot be made, answer runs with a refusal.
    PageDialogWindow(HWND browser_window, const PageDialog& dialog, Answer answer);
    // Closes the dialog (without an answer when the player has not answered yet); its owner
    // takes input again.
    ~PageDialogWindow();
    PageDialogWindow(const PageDialogWindow&) = delete;
    PageDialogWindow& operator=(const PageDialogWindow&) = delete;

    // Out of sight while the browser window cannot be seen, and back as it was.
    void Show(bool shown);
    HWND hwnd() const { return hwnd_; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Layout();
    void Finish(bool ok);
    void ReleaseOwner();

    const PageDialog dialog_;
    const Answer answer_;
    HWND owner_ = nullptr;
    bool owner_disabled_ = false;  // this dialog holds the owner disabled
    bool answered_ = false;
    HWND hwnd_ = nullptr;
};

}  // namespace cef_detail
