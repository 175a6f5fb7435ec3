#include "browser/menu_model.h"

namespace cef_detail {

bool MenuModel::Clear() {
    items_.clear();
    return true;
}

int MenuModel::GetCount() { return int(items_.size()); }

bool MenuModel::AddSeparator() {
    items_.push_back({MENUITEMTYPE_SEPARATOR, -1, {}, true});
    return true;
}

bool MenuModel::AddItem(int command_id, const CefString& label) {
    items_.push_back({MENUITEMTYPE_COMMAND, command_id, label, true});
    return true;
}

bool MenuModel::InsertItemAt(int index, int command_id, const CefString& label) {
    if (index < 0 || index > int(items_.size())) return false;
    items_.insert(items_.begin() + index, {MENUITEMTYPE_COMMAND, command_id, label, true});
    return true;
}

bool MenuModel::Remove(int command_id) { return RemoveAt(GetIndexOf(command_id)); }

bool MenuModel::RemoveAt(int index) {
    if (!ValidIndex(index)) return false;
    items_.erase(items_.begin() + index);
    return true;
}

int MenuModel::GetIndexOf(int command_id) {
    for (int i = 0; i < int(items_.size()); ++i) {
        if (items_[i].type == MENUITEMTYPE_COMMAND && items_[i].command_id == command_id) return i;
    }
    return -1;
}

int MenuModel::GetCommandIdAt(int index) {
    return ValidIndex(index) ? items_[index].command_id : -1;
}

CefString MenuModel::GetLabel(int command_id) { return GetLabelAt(GetIndexOf(command_id)); }

CefString MenuModel::GetLabelAt(int index) {
    return ValidIndex(index) ? items_[index].label : CefString();
}

cef_menu_item_type_t MenuModel::GetTypeAt(int index) {
    return ValidIndex(index) ? items_[index].type : MENUITEMTYPE_NONE;
}

bool MenuModel::IsEnabled(int command_id) {
    const int index = GetIndexOf(command_id);
    return ValidIndex(index) && items_[index].enabled;
}

bool MenuModel::SetEnabled(int command_id, bool enabled) {
    const int index = GetIndexOf(command_id);
    if (!ValidIndex(index)) return false;
    items_[index].enabled = enabled;
    return true;
}

}  // namespace cef_detail
