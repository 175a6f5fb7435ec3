// Resource ids of Korvex: dialog templates, controls, the program icon and the PNG pictures.
// Included by korvex.rc and by the code that loads the resources.
#pragma once

// Dialog templates.
#define IDD_LAUNCHER 102
#define IDD_BROWSER_HOST 130
#define IDD_GAME 174
#define IDD_HOTKEY 181

// Controls of the dialog templates.
#define IDC_HOTKEY 1003
#define IDC_GAME_TITLE 1005

// Program icon (also the notification-area icon).
#define IDR_MAINFRAME 128

// PNG pictures, resource type "PNG". Suffixes: _PRESSED also serves as disabled image.
#define IDP_OFFICIAL_PRESSED 132
#define IDP_OFFICIAL 133
#define IDP_OFFICIAL_HOVER 134
#define IDP_RECHARGE_PRESSED 135
#define IDP_RECHARGE 136
#define IDP_RECHARGE_HOVER 137
#define IDP_FORUM_PRESSED 138
#define IDP_FORUM 139
#define IDP_FORUM_HOVER 140
#define IDP_SERVICE_PRESSED 141
#define IDP_SERVICE 142
#define IDP_SERVICE_HOVER 143
#define IDP_MINIMIZE_PRESSED 144
#define IDP_MINIMIZE 145
#define IDP_MINIMIZE_HOVER 146
#define IDP_CLOSE_PRESSED 147
#define IDP_CLOSE 148
#define IDP_CLOSE_HOVER 149
#define IDP_LOGO_SMALL 150
#define IDP_LOGO_LARGE 152
#define IDP_LAUNCHER_BACKGROUND 153
#define IDP_TITLE_LOGO 183

#define IDP_RECHARGE_ICON 156
#define IDP_RECHARGE_ICON_DISABLED 157
#define IDP_RECHARGE_ICON_HOVER 158
#define IDP_REFRESH_ICON 159
#define IDP_REFRESH_ICON_DISABLED 160
#define IDP_REFRESH_ICON_HOVER 161
#define IDP_HOME_ICON 162
#define IDP_HOME_ICON_DISABLED 163
#define IDP_HOME_ICON_HOVER 164
#define IDP_WIN_MINIMIZE 165
#define IDP_WIN_MINIMIZE_DISABLED 166
#define IDP_WIN_MINIMIZE_HOVER 167
#define IDP_WIN_MAXIMIZE 168
#define IDP_WIN_MAXIMIZE_DISABLED 169
#define IDP_WIN_MAXIMIZE_HOVER 170
#define IDP_WIN_CLOSE 171
#define IDP_WIN_CLOSE_DISABLED 172
#define IDP_WIN_CLOSE_HOVER 173
#define IDP_BOSSKEY_ICON 177
#define IDP_BOSSKEY_ICON_HOVER 178
#define IDP_HIDE 179
#define IDP_HIDE_HOVER 180
#define IDP_CLEAR_CACHE_ICON 184
#define IDP_CLEAR_CACHE_ICON_HOVER 185
