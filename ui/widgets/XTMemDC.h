// Off-screen drawing for the skinned windows: paint into this object instead of
// the window's DC and the picture reaches the window in one copy, without flicker.
//
//   CXTMemDC dc(paintDc);            // the clip box of paintDc
//   CXTMemDC dc(paintDc, someRect);  // or a rectangle of it
//   ... draw into dc.Get() in the target's own coordinates ...
//   // the destructor copies the rectangle to paintDc
//
// The buffer starts white and its text background mode is TRANSPARENT. The
// target DC is borrowed and must outlive this object. The memory DC and bitmap
// are owned; the destructor copies first, then the memory DC puts its original
// bitmap back and is deleted, and only then is the buffer bitmap deleted.
// When no buffer can be made for a non-empty rectangle (out of memory), drawing
// goes straight to the target, which is filled white the same way.
#pragma once

#include <windows.h>

#include "framework/DeviceContexts.h"
#include "framework/Gdi.h"

class CXTMemDC {
  public:
    CXTMemDC(HDC target, const RECT& area = RECT{});
    ~CXTMemDC();
    CXTMemDC(const CXTMemDC&) = delete;
    CXTMemDC& operator=(const CXTMemDC&) = delete;

    // Where to draw: the buffer, or the target itself when there is no buffer.
    HDC Get() const { return buffered_ ? memory_.Get() : target_; }
    operator HDC() const { return Get(); }
    // The rectangle of the target that is drawn, in the target's logical coordinates.
    const RECT& Area() const { return area_; }
    bool IsBuffered() const { return buffered_; }

  private:
    static RECT AreaFor(HDC target, const RECT& requested);

    HDC target_;
    RECT area_;
    // Declared before memory_ so that it is deleted after memory_ has released it.
    fw::Bitmap buffer_;
    fw::MemoryDC memory_;
    bool buffered_ = false;
};
