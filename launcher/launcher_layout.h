// Where the launcher goes and what its notification-area icon says: decisions that need no
// window.
#pragma once

#include <string_view>

namespace korvex {

struct LauncherOrigin {
    int x;
    int y;
};

// The launcher's top-left corner for a background of width x height on the work area (left,
// top, right, bottom): ((right - width - left) / 2, (bottom - height - top) / 2), integer
// division toward zero. For a work area at the screen's origin this centres the launcher; for
// one that does not start there the same formula decides.
LauncherOrigin PlaceLauncher(int left, int top, int right, int bottom, int width, int height);

// The icon's tip: the executable's file name up to its first "." ("Korvex" for Korvex.exe, "a"
// for a.b.exe).
std::u16string_view TrayTip(std::u16string_view exe_file_name);

}  // namespace korvex
