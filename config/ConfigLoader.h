// The process-wide configuration record and its one-time loading from sysctrl.dat. Win32.
#pragma once

#include <windows.h>

#include "ConfigRecord.h"

// Zero until LoadConfigFile fills it on the user-interface thread; read-only afterwards. Every
// text field ends within its 300 units, so pointers to the fields are safe C strings.
extern SysCtrlConfig g_config;

// Makes the executable's directory current, reads and deciphers sysctrl.dat beside it and
// copies the record into g_config. On failure shows the reason in a message box owned by
// `owner`, posts WM_QUIT to `owner` and returns false.
bool LoadConfigFile(HWND owner);
