#include "launcher/launcher_layout.h"

namespace korvex {

LauncherOrigin PlaceLauncher(int left, int top, int right, int bottom, int width, int height) {
    return {(right - width - left) / 2, (bottom - height - top) / 2};
}

std::u16string_view TrayTip(std::u16string_view exe_file_name) {
    return exe_file_name.substr(0, exe_file_name.find(u'.'));
}

}  // namespace korvex
