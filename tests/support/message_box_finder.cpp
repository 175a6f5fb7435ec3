#include "message_box_finder.h"

namespace korvex_test {
namespace {

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct DialogSearch {
    DWORD processId;
    const wchar_t* caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window) ||
        ClassName(window) != kDialogClass)
        return TRUE;
    if (search->caption && WindowCaption(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK ReadControl(HWND control, LPARAM param) {
    auto* seen = reinterpret_cast<MessageBoxSeen*>(param);
    if (!IsWindowVisible(control)) return TRUE;
    const std::wstring kind = ClassName(control);
    if (CompareStringOrdinal(kind.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL) {
        seen->visibleButtons.push_back(GetDlgCtrlID(control));
    } else if (CompareStringOrdinal(kind.c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL) {
        if ((GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            if (SendMessageW(control, STM_GETICON, 0, 0)) seen->showsIcon = true;
        } else {
            seen->text += WindowCaption(control);
        }
    }
    return TRUE;
}

}  // namespace

HWND FindProcessDialog(DWORD processId, const wchar_t* caption) {
    DialogSearch search{processId, caption};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowCaption(HWND window) {
    // A fixed buffer rather than WM_GETTEXTLENGTH, which would wait on a hung window's thread.
    std::wstring text(4096, L'\0');
    text.resize(window ? GetWindowTextW(window, text.data(), int(text.size())) : 0);
    return text;
}

MessageBoxSeen ReadMessageBox(HWND box) {
    MessageBoxSeen seen;
    seen.window = box;
    seen.caption = WindowCaption(box);
    EnumChildWindows(box, ReadControl, reinterpret_cast<LPARAM>(&seen));
    seen.owner = GetWindow(box, GW_OWNER);
    seen.ownerCaption = WindowCaption(seen.owner);
    return seen;
}

bool PressButton(HWND box, int id) {
    const HWND button = GetDlgItem(box, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != FALSE;
}

}  // namespace korvex_test
