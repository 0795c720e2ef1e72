// Device contexts with scoped lifetime. None of them is copyable or movable: each
// lives in the scope that draws.
#pragma once

#include <windows.h>

namespace fw {

// A memory DC compatible with `compatibleWith` (null: the screen). It does not own
// the bitmaps selected into it; its destructor selects the DC's original bitmap
// back before DeleteDC, so the caller's bitmap is free to be deleted afterwards.
class MemoryDC {
  public:
    explicit MemoryDC(HDC compatibleWith);
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    // Selects `bitmap` (null: the original one back). False if it cannot be
    // selected, e.g. because it is selected into another DC.
    bool Select(HBITMAP bitmap);

  private:
    HDC dc_;
    HGDIOBJ originalBitmap_ = nullptr;
};

// BeginPaint / EndPaint.
class PaintScope {
  public:
    explicit PaintScope(HWND hwnd);
    ~PaintScope();
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Info() const { return paint_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// GetDC / ReleaseDC: the client area.
class ClientDC {
  public:
    explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ClientDC() {
        if (dc_) {
            ReleaseDC(hwnd_, dc_);
        }
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;

    HDC Get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// GetWindowDC / ReleaseDC: the whole window, frame included.
class WindowDC {
  public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetWindowDC(hwnd)) {}
    ~WindowDC() {
        if (dc_) {
            ReleaseDC(hwnd_, dc_);
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

}  // namespace fw
