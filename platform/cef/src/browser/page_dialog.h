// A page's JavaScript dialog as the player sees it (alert, confirm, prompt, or the leave-page
// question): caption, text, buttons and field, in Chinese as the engine's own dialogs read on a
// Chinese system; and the command that takes the player's answer back to the page. Free of
// Win32: the dialog window only shows it and reports which button was pressed.
#pragma once

#include <string>

#include "devtools/commands.h"
#include "devtools/events.h"

namespace cef_detail {

struct PageDialog {
    events::DialogType type = events::DialogType::kAlert;
    std::string caption;  // UTF-8, like every text here
    std::string message;
    std::string ok_label;
    std::string cancel_label;  // empty: there is no Cancel button (an alert)
    bool has_field = false;    // a prompt's text field
    std::string default_text;  // what the field holds at first

    // What the page asked for.
    static PageDialog For(const events::JavascriptDialogOpening& opening);

    // The answer to the page. ok: the player pressed OK (or Leave); otherwise Cancel, the close
    // box or Escape. typed: the field's text, for a prompt. An alert has nothing to refuse: it
    // is always accepted. A prompt accepted returns typed (even empty); cancelled, null.
    Command Answer(bool ok, const std::string& typed = {}) const;
    // The answer when the dialog goes without the player (the browser closes): refused, so the
    // page goes no further on a question nobody answered.
    Command Dismissed() const { return Answer(false); }
};

// The caption of a page's dialog: "<host> 显示", the host with its port for web addresses, or
// "此网页显示" for an address without one (a file, data or blank page).
std::string DialogCaption(const std::string& frame_url);

}  // namespace cef_detail
