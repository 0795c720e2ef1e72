#include "framework/DeviceContexts.h"

namespace fw {

MemoryDC::MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}

MemoryDC::~MemoryDC() {
    if (!dc_) {
        return;
    }
    Select(nullptr);
    DeleteDC(dc_);
}

bool MemoryDC::Select(HBITMAP bitmap) {
    if (!dc_) {
        return false;
    }
    if (!bitmap) {
        if (originalBitmap_) {
            SelectObject(dc_, originalBitmap_);
            originalBitmap_ = nullptr;
        }
        return true;
    }
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    if (!previous || previous == HGDI_ERROR) {
        return false;
    }
    if (!originalBitmap_) {
        originalBitmap_ = previous;
    }
    return true;
}

PaintScope::PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}

PaintScope::~PaintScope() {
    if (dc_) {
        EndPaint(hwnd_, &paint_);
    }
}

}  // namespace fw
