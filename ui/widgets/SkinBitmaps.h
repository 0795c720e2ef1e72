// The skin bitmaps of the program's resources, loaded on first use and kept for the
// life of the process, so painting never loads a resource. User-interface thread only.
#pragma once

#include <windows.h>

// The bitmap resource `id` of the program's own module; null when it does not exist.
HBITMAP SkinBitmap(UINT id);
