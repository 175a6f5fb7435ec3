// The items a context menu starts with. Kept apart from the model: the context flags come with
// the handler's header, which needs Windows.
#include "browser/menu_model.h"

#include "cef/cef_context_menu_handler.h"

namespace cef_detail {

void FillDefaultContextMenu(CefMenuModel& model, const MenuContext& context) {
    const int flags = context.type_flags;
    if (flags & CM_TYPEFLAG_EDITABLE) {
        model.AddItem(MENU_ID_UNDO, "&Undo");
        model.AddItem(MENU_ID_REDO, "&Redo");
        model.AddSeparator();
        model.AddItem(MENU_ID_CUT, "Cu&t");
        model.AddItem(MENU_ID_COPY, "&Copy");
        model.AddItem(MENU_ID_PASTE, "&Paste");
        model.AddItem(MENU_ID_DELETE, "&Delete");
        model.AddSeparator();
        model.AddItem(MENU_ID_SELECT_ALL, "Select &all");
        return;
    }
    if (flags & CM_TYPEFLAG_SELECTION) {
        model.AddItem(MENU_ID_COPY, "&Copy");
        model.AddSeparator();
        model.AddItem(MENU_ID_SELECT_ALL, "Select &all");
        return;
    }
    if (flags & CM_TYPEFLAG_LINK) {
        model.AddItem(MENU_ID_OPEN_LINK_NEW_WINDOW, "&Open link");
        model.AddItem(MENU_ID_COPY_LINK, "Copy link &address");
        model.AddSeparator();
    }
    model.AddItem(MENU_ID_BACK, "&Back");
    model.SetEnabled(MENU_ID_BACK, context.can_go_back);
    model.AddItem(MENU_ID_FORWARD, "&Forward");
    model.SetEnabled(MENU_ID_FORWARD, context.can_go_forward);
    model.AddItem(MENU_ID_RELOAD, "&Reload");
    model.AddSeparator();
    model.AddItem(MENU_ID_SELECT_ALL, "Select &all");
}

}  // namespace cef_detail
