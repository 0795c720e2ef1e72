// A 32-bit top-down DIB section selected into a memory DC: a drawing target whose
// pixels a test reads back exactly (no screen, no colour conversion).
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/DeviceContexts.h"
#include "framework/Gdi.h"

// The plain colours the widget tests paint and read back.
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr COLORREF kYellow = RGB(255, 255, 0);
inline constexpr COLORREF kCyan = RGB(0, 255, 255);
inline constexpr COLORREF kMagenta = RGB(255, 0, 255);

class DibCanvas {
  public:
    DibCanvas(int width, int height, COLORREF fill) : width_(width), height_(height), dc_(nullptr) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down: row 0 first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        dc_.Select(bitmap_.Get());
        Fill(fill);
    }

    HDC Dc() const { return dc_.Get(); }
    bool Valid() const { return bits_ != nullptr && dc_; }

    void Fill(COLORREF colour) {
        fw::Brush brush(CreateSolidBrush(colour));
        RECT all{0, 0, width_, height_};
        FillRect(dc_.Get(), &all, brush.Get());
    }

    // The pixel as an RGB() value.
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        const uint32_t bgra = bits_[y * width_ + x];
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }

  private:
    int width_;
    int height_;
    uint32_t* bits_ = nullptr;
    // Declared before the DC so that the DC releases it before it is deleted.
    fw::Bitmap bitmap_;
    fw::MemoryDC dc_;
};
