// The items of a context menu, as offered to the context-menu handler before it is shown.
#pragma once

#include "cef/cef_base.h"
#include "cef/cef_string.h"

// Command ids of the items the library puts into a context menu.
enum cef_menu_id_t {
    MENU_ID_BACK = 100,
    MENU_ID_FORWARD = 101,
    MENU_ID_RELOAD = 102,
    MENU_ID_RELOAD_NOCACHE = 103,
    MENU_ID_STOPLOAD = 104,
    MENU_ID_UNDO = 110,
    MENU_ID_REDO = 111,
    MENU_ID_CUT = 112,
    MENU_ID_COPY = 113,
    MENU_ID_PASTE = 114,
    MENU_ID_DELETE = 115,
    MENU_ID_SELECT_ALL = 116,
    MENU_ID_PRINT = 131,
    MENU_ID_VIEW_SOURCE = 132,
    MENU_ID_OPEN_LINK_NEW_WINDOW = 133,  // library's own: open the link under the pointer
    MENU_ID_COPY_LINK = 134,             // library's own: copy the link's address
    MENU_ID_USER_FIRST = 26500,
    MENU_ID_USER_LAST = 28500,
};

enum cef_menu_item_type_t {
    MENUITEMTYPE_NONE,
    MENUITEMTYPE_COMMAND,
    MENUITEMTYPE_SEPARATOR,
};

class CefMenuModel : public virtual CefBase {
  public:
    // Removes every item. A menu without items is not shown.
    virtual bool Clear() = 0;
    virtual int GetCount() = 0;
    virtual bool AddSeparator() = 0;
    virtual bool AddItem(int command_id, const CefString& label) = 0;
    virtual bool InsertItemAt(int index, int command_id, const CefString& label) = 0;
    virtual bool Remove(int command_id) = 0;
    virtual bool RemoveAt(int index) = 0;
    // -1 when absent.
    virtual int GetIndexOf(int command_id) = 0;
    virtual int GetCommandIdAt(int index) = 0;
    virtual CefString GetLabel(int command_id) = 0;
    virtual CefString GetLabelAt(int index) = 0;
    virtual cef_menu_item_type_t GetTypeAt(int index) = 0;
    virtual bool IsEnabled(int command_id) = 0;
    virtual bool SetEnabled(int command_id, bool enabled) = 0;
};
