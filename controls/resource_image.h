// GDI+ images made from the program's picture resources.
#pragma once

#include <windows.h>
#include <objidl.h>
// GDI+ after the COM headers it builds on.
#include <gdiplus.h>

// A new image decoded from resource `id` of `type` in `module` (null: the application's resource
// module), owned by the caller, who deletes it. `type` RT_BITMAP loads a bitmap resource from
// `module` exactly as given (LoadBitmapW: null names the system's bitmaps) into a
// Gdiplus::Bitmap. Every other type is read as an encoded picture (PNG): its bytes are copied
// into a global memory block that the image's stream owns, so the block lives exactly as long as
// the image needs it and is freed with it.
// A resource that is missing, empty or undecodable gives an image whose width and height read
// 0 and that draws nothing; null only when the image object cannot be allocated.
// GDI+ must be running, from the call until the image is deleted.
Gdiplus::Image* LoadResourceImage(UINT id, LPCWSTR type, HINSTANCE module);
