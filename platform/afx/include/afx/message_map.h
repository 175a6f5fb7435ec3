// Message maps: each window class owns a constant table of entries that bind window messages or
// control notifications to its member functions, and names its base class's table. Dispatch
// searches the most derived table first and follows the chain to the root.
//
//   class CMyDlg : public CDialogEx {
//       DECLARE_MESSAGE_MAP()
//   };
//   IMPLEMENT_MESSAGE_MAP(CMyDlg, CDialogEx,
//                         afx::On<WM_SIZE, &CMyDlg::OnSize>(),
//                         afx::OnBnClicked<IDC_RUN, &CMyDlg::OnRun>());
//
// The typed entry makers live in afx/message_entries.h.
#pragma once

#include <windows.h>

class CWnd;

namespace afx {

// Decodes wParam/lParam for one handler and calls it on the target window object.
using Invoker = LRESULT (*)(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam);

enum class EntryKind : unsigned char {
    End,        // terminates a table
    Message,    // a window message in [firstMessage, lastMessage]
    Command,    // WM_COMMAND with notification `code` from control `id`
    Reflected,  // a message handed back to the child control that caused it
};

struct MessageMapEntry {
    EntryKind kind;
    UINT firstMessage;
    UINT lastMessage;
    UINT code;
    UINT id;
    Invoker invoke;
};

struct MessageMap {
    const MessageMap* (*base)();  // null at the root
    const MessageMapEntry* entries;
};

// The first entry of the chain starting at `map` that matches, or null.
const MessageMapEntry* FindEntry(const MessageMap* map, EntryKind kind, UINT message, UINT code,
                                 UINT id);

inline constexpr MessageMapEntry EndOfMap() { return {EntryKind::End, 0, 0, 0, 0, nullptr}; }

}  // namespace afx

#define DECLARE_MESSAGE_MAP()                            \
  protected:                                             \
    static const ::afx::MessageMap* GetThisMessageMap(); \
    const ::afx::MessageMap* GetMessageMap() const override;

// Defines the map of class_name, chained to the map of base_class_name, with the given entries
// (none for an empty map). Ends with a semicolon like a declaration.
#define IMPLEMENT_MESSAGE_MAP(class_name, base_class_name, ...)                                \
    const ::afx::MessageMap* class_name::GetMessageMap() const { return GetThisMessageMap(); } \
    const ::afx::MessageMap* class_name::GetThisMessageMap() {                                 \
        static const ::afx::MessageMapEntry entries[] = {                                      \
            __VA_ARGS__ __VA_OPT__(, )::afx::EndOfMap()};                                      \
        static const ::afx::MessageMap map{&base_class_name::GetThisMessageMap, entries};      \
        return &map;                                                                           \
    }                                                                                          \
    static_assert(true)
