#include "browser/page_dialog.h"

#include "browser/page_origin.h"

namespace cef_detail {
namespace {

constexpr char kOk[] = "确定";
constexpr char kCancel[] = "取消";
constexpr char kLeave[] = "离开";
constexpr char kLeaveCaption[] = "要离开此网站吗？";
constexpr char kLeaveMessage[] = "系统可能不会保存您所做的更改。";
constexpr char kShows[] = " 显示";
constexpr char kThisPageShows[] = "此网页显示";

}  // namespace

std::string DialogCaption(const std::string& frame_url) {
    const std::string origin = PageOrigin(frame_url);
    const auto scheme_end = origin.find("://");
    if (origin.empty() || scheme_end == std::string::npos) return kThisPageShows;
    const std::string scheme = origin.substr(0, scheme_end);
    if (scheme != "http" && scheme != "https") return kThisPageShows;
    return origin.substr(scheme_end + 3) + kShows;
}

PageDialog PageDialog::For(const events::JavascriptDialogOpening& opening) {
    PageDialog dialog;
    dialog.type = opening.type;
    dialog.caption = DialogCaption(opening.url);
    dialog.message = opening.message;
    dialog.ok_label = kOk;
    switch (opening.type) {
        case events::DialogType::kAlert:
            break;
        case events::DialogType::kConfirm:
            dialog.cancel_label = kCancel;
            break;
        case events::DialogType::kPrompt:
            dialog.cancel_label = kCancel;
            dialog.has_field = true;
            dialog.default_text = opening.default_prompt;
            break;
        case events::DialogType::kBeforeUnload:
            // The engine no longer shows a page's own text here.
            dialog.caption = kLeaveCaption;
            dialog.message = kLeaveMessage;
            dialog.ok_label = kLeave;
            dialog.cancel_label = kCancel;
            break;
    }
    return dialog;
}

Command PageDialog::Answer(bool ok, const std::string& typed) const {
    switch (type) {
        case events::DialogType::kAlert:
            return commands::HandleJavaScriptDialog(true);
        case events::DialogType::kPrompt:
            return ok ? commands::HandleJavaScriptDialog(true, typed)
                      : commands::HandleJavaScriptDialog(false);
        case events::DialogType::kConfirm:
        case events::DialogType::kBeforeUnload:
            break;
    }
    return commands::HandleJavaScriptDialog(ok);
}

}  // namespace cef_detail
