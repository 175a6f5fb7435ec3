// The menu model handed to the context-menu handler, and the items offered by default.
#pragma once

#include <string>
#include <vector>

#include "cef/cef_menu_model.h"

namespace cef_detail {

class MenuModel : public CefMenuModel {
  public:
    bool Clear() override;
    int GetCount() override;
    bool AddSeparator() override;
    bool AddItem(int command_id, const CefString& label) override;
    bool InsertItemAt(int index, int command_id, const CefString& label) override;
    bool Remove(int command_id) override;
    bool RemoveAt(int index) override;
    int GetIndexOf(int command_id) override;
    int GetCommandIdAt(int index) override;
    CefString GetLabel(int command_id) override;
    CefString GetLabelAt(int index) override;
    cef_menu_item_type_t GetTypeAt(int index) override;
    bool IsEnabled(int command_id) override;
    bool SetEnabled(int command_id, bool enabled) override;

  private:
    struct Item {
        cef_menu_item_type_t type;
        int command_id;
        CefString label;
        bool enabled;
    };
    bool ValidIndex(int index) const { return index >= 0 && index < int(items_.size()); }

    std::vector<Item> items_;
    IMPLEMENT_REFCOUNTING(MenuModel);
};

// What the pointer was over when the menu was asked for.
struct MenuContext {
    int type_flags = 0;  // cef_context_menu_type_flags_t
    bool can_go_back = false;
    bool can_go_forward = false;
};

// The usual items for the context: navigation for pages and frames, editing for editable
// fields, copy for selections, open/copy for links.
void FillDefaultContextMenu(CefMenuModel& model, const MenuContext& context);

}  // namespace cef_detail
