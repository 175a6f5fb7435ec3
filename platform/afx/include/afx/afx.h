// The application framework: include this one header.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "afx/runtime_class.h"
#include "afx/geometry.h"
#include "afx/dc.h"
#include "afx/gdi.h"
#include "afx/message_map.h"
#include "afx/wnd.h"
#include "afx/message_entries.h"
#include "afx/dialog.h"
#include "afx/controls.h"
#include "afx/app.h"
#include "afx/shell.h"
