#include "tools/artgen/Canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace artgen {

namespace {

uint32_t Pack(Rgb c, uint8_t alpha) {
    return (uint32_t{alpha} << 24) | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

TRIVERTEX Vertex(LONG x, LONG y, Rgb c) {
    TRIVERTEX v{};
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(c.r << 8);
    v.Green = static_cast<COLOR16>(c.g << 8);
    v.Blue = static_cast<COLOR16>(c.b << 8);
    v.Alpha = 0xFF00;
    return v;
}

}  // namespace

Canvas::Canvas(int width, int height, bool opaque)
    : width_(width), height_(height), opaque_(opaque) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc_ == nullptr || bitmap_ == nullptr || bits == nullptr) {
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
        throw std::runtime_error("cannot create a drawing surface");
    }
    pixels_ = static_cast<uint32_t*>(bits);
    previousBitmap_ = SelectObject(dc_, bitmap_);
    SetBkMode(dc_, TRANSPARENT);
    std::fill(pixels_, pixels_ + static_cast<size_t>(width) * height, 0u);
}

Canvas::Canvas(int width, int height, Rgb background) : Canvas(width, height, true) {
    Fill({0, 0, width, height}, background);
}

Canvas Canvas::Transparent(int width, int height) {
    return Canvas(width, height, false);
}

Canvas::Canvas(Canvas&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      opaque_(other.opaque_),
      dc_(other.dc_),
      bitmap_(other.bitmap_),
      previousBitmap_(other.previousBitmap_),
      pixels_(other.pixels_) {
    other.dc_ = nullptr;
    other.bitmap_ = nullptr;
    other.pixels_ = nullptr;
}

Canvas::~Canvas() {
    if (dc_ != nullptr) {
        SelectObject(dc_, previousBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
}

void Canvas::Fill(const RECT& area, Rgb colour) {
    GdiFlush();
    const LONG left = std::max(area.left, 0L);
    const LONG right = std::min(area.right, static_cast<LONG>(width_));
    const LONG top = std::max(area.top, 0L);
    const LONG bottom = std::min(area.bottom, static_cast<LONG>(height_));
    for (LONG y = top; y < bottom; ++y) {
        std::fill(pixels_ + y * width_ + left, pixels_ + y * width_ + right, Pack(colour, 255));
    }
}

void Canvas::FillVertical(const RECT& area, Rgb top, Rgb bottom) {
    TRIVERTEX corners[2] = {Vertex(area.left, area.top, top),
                            Vertex(area.right, area.bottom, bottom)};
    GRADIENT_RECT rect{0, 1};
    GradientFill(dc_, corners, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

void Canvas::FillHorizontal(const RECT& area, Rgb left, Rgb right) {
    TRIVERTEX corners[2] = {Vertex(area.left, area.top, left),
                            Vertex(area.right, area.bottom, right)};
    GRADIENT_RECT rect{0, 1};
    GradientFill(dc_, corners, 2, &rect, 1, GRADIENT_FILL_RECT_H);
}

void Canvas::FillShape(const Shape& shape, const Paint& paint, double opacity,
                       std::optional<RECT> limit) {
    GdiFlush();
    RECT area = limit.value_or(RECT{0, 0, width_, height_});
    area.left = std::max(area.left, 0L);
    area.top = std::max(area.top, 0L);
    area.right = std::min(area.right, static_cast<LONG>(width_));
    area.bottom = std::min(area.bottom, static_cast<LONG>(height_));
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            // A pixel is fully covered half a pixel inside the edge.
            const double coverage = std::clamp(0.5 - shape({x + 0.5, y + 0.5}), 0.0, 1.0);
            if (coverage > 0) {
                Blend(x, y, paint(x, y), coverage * opacity);
            }
        }
    }
}

void Canvas::FillShape(const Shape& shape, Rgb colour, double opacity, std::optional<RECT> limit) {
    FillShape(
        shape, [colour](int, int) { return colour; }, opacity, limit);
}

void Canvas::Text(std::wstring_view text, RECT area, Font font, Rgb colour, UINT format) {
    HFONT handle =
        CreateFontW(-font.pixelHeight, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                    font.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                    CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    HGDIOBJ previousFont = SelectObject(dc_, handle);
    SetTextColor(dc_, RGB(colour.r, colour.g, colour.b));
    const std::wstring copy(text);
    DrawTextW(dc_, copy.c_str(), static_cast<int>(copy.size()), &area, format | DT_NOPREFIX);
    SelectObject(dc_, previousFont);
    DeleteObject(handle);
    GdiFlush();
}

void Canvas::Draw(const Canvas& source, int x, int y) {
    GdiFlush();
    for (int sy = 0; sy < source.height_; ++sy) {
        for (int sx = 0; sx < source.width_; ++sx) {
            if (x + sx >= 0 && x + sx < width_ && y + sy >= 0 && y + sy < height_) {
                pixels_[(y + sy) * width_ + x + sx] = source.pixels_[sy * source.width_ + sx];
            }
        }
    }
}

Canvas Canvas::Slice(int x, int width) const {
    Canvas slice(width, height_, opaque_);
    slice.Draw(*this, -x, 0);
    return slice;
}

Rgb Canvas::At(int x, int y) const {
    GdiFlush();
    const uint32_t p = pixels_[y * width_ + x];
    return {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
}

uint8_t Canvas::AlphaAt(int x, int y) const {
    GdiFlush();
    return opaque_ ? 255 : static_cast<uint8_t>(pixels_[y * width_ + x] >> 24);
}

void Canvas::Set(int x, int y, Rgb colour, uint8_t alpha) {
    GdiFlush();
    pixels_[y * width_ + x] = Pack(colour, alpha);
}

void Canvas::Blend(int x, int y, Rgb colour, double coverage) {
    uint32_t& pixel = pixels_[y * width_ + x];
    const Rgb below{static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                    static_cast<uint8_t>(pixel)};
    // GDI leaves the alpha byte of what it draws at 0: on an opaque canvas
    // every pixel counts as fully covered.
    const double belowAlpha = opaque_ ? 1.0 : (pixel >> 24) / 255.0;
    const double alpha = coverage + belowAlpha * (1 - coverage);
    if (alpha <= 0) {
        return;
    }
    auto channel = [&](uint8_t src, uint8_t dst) {
        return static_cast<uint8_t>(
            std::lround((src * coverage + dst * belowAlpha * (1 - coverage)) / alpha));
    };
    pixel =
        Pack({channel(colour.r, below.r), channel(colour.g, below.g), channel(colour.b, below.b)},
             static_cast<uint8_t>(std::lround(alpha * 255)));
}

}  // namespace artgen
