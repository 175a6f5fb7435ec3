// Ids of the test dialog templates and their controls.
#pragma once

#define IDD_BUTTONS 100   // caption, close box, OK (default), Cancel, two buttons, hotkey, text
#define IDD_MODELESS 101  // one button, no caption
#define IDD_COLOURED 102  // visible, one tall static text
#define IDD_KEYS 103      // caption, close box, OK (default) and Cancel

#define IDC_FIRST 1001
#define IDC_SECOND 1002
#define IDC_HOTKEY 1003
#define IDC_THIRD 1004
#define IDC_LABEL 1005
#define IDC_MISSING 9999
