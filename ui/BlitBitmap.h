// Draws a bitmap of the skin onto a device context.
#pragma once

#include <windows.h>

// Copies width x height pixels from the origin of `bitmap` to (x, y) of `target`
// (plain source copy). Nothing happens for a null bitmap or context.
void BlitBitmap(HBITMAP bitmap, HDC target, int x, int y, int width, int height);
