#include "ui/BlitBitmap.h"

void BlitBitmap(HBITMAP bitmap, HDC target, int x, int y, int width, int height) {
    if (bitmap == nullptr || target == nullptr) {
        return;
    }
    HDC source = CreateCompatibleDC(target);
    if (source == nullptr) {
        return;
    }
    // The bitmap must be selected out again before the context goes away.
    HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(target, x, y, width, height, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}
