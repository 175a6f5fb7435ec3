// Finding, reading and closing a message box that another process shows, the way a user would:
// only visible windows count, and a box is closed by pressing one of its visible buttons.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace korvex_test {

// The dialog class of message boxes and other standard dialogs.
inline constexpr wchar_t kDialogClass[] = L"#32770";

// A visible top-level dialog of the process, captioned exactly `caption` unless that is null;
// nullptr when there is none.
HWND FindProcessDialog(DWORD processId, const wchar_t* caption = nullptr);

// A window's caption ("" for nullptr or a window that is gone).
std::wstring WindowCaption(HWND window);

// What a message box shows.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;                // the texts of its visible text controls, in order
    std::vector<int> visibleButtons;  // control ids of its visible buttons, in order
    bool showsIcon = false;           // whether a visible icon control shows an icon
    HWND owner = nullptr;
    std::wstring ownerCaption;
};
MessageBoxSeen ReadMessageBox(HWND box);

// Clicks the box's button with control id `id`; false, and nothing sent, when the box has no
// such button that is visible and enabled.
bool PressButton(HWND box, int id);

}  // namespace korvex_test
