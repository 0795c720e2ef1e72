// A picture being drawn: a 32-bit top-down DIB section selected into a memory
// DC, so GDI (gradients, text) and the anti-aliased shapes work on the same
// pixels. Opaque canvases become 24-bit bitmaps; transparent ones carry an
// alpha channel for the icon.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "tools/artgen/Colour.h"
#include "tools/artgen/Shapes.h"

namespace artgen {

// The colour of each painted pixel; lets a shape carry a gradient.
using Paint = std::function<Rgb(int x, int y)>;

struct Font {
    int pixelHeight = 12;
    bool bold = false;
    bool underline = false;
};

class Canvas {
  public:
    Canvas(int width, int height, Rgb background);
    static Canvas Transparent(int width, int height);
    Canvas(Canvas&& other) noexcept;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas& operator=(Canvas&&) = delete;
    ~Canvas();

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsOpaque() const { return opaque_; }

    void Fill(const RECT& area, Rgb colour);
    // Two-colour gradients through GDI's GradientFill.
    void FillVertical(const RECT& area, Rgb top, Rgb bottom);
    void FillHorizontal(const RECT& area, Rgb left, Rgb right);

    // Paints the shape with coverage-weighted blending; `limit` (optional)
    // bounds the pixels that are looked at.
    void FillShape(const Shape& shape, const Paint& paint, double opacity = 1.0,
                   std::optional<RECT> limit = std::nullopt);
    void FillShape(const Shape& shape, Rgb colour, double opacity = 1.0,
                   std::optional<RECT> limit = std::nullopt);

    // Anti-aliased Tahoma through DrawTextW; `format` takes DT_* flags.
    void Text(std::wstring_view text, RECT area, Font font, Rgb colour, UINT format);

    // Copies all pixels of `source` with its top-left corner at (x, y).
    void Draw(const Canvas& source, int x, int y);
    // A new canvas holding the columns [x, x + width) of this one.
    Canvas Slice(int x, int width) const;

    Rgb At(int x, int y) const;
    uint8_t AlphaAt(int x, int y) const;
    void Set(int x, int y, Rgb colour, uint8_t alpha = 255);

  private:
    Canvas(int width, int height, bool opaque);
    void Blend(int x, int y, Rgb colour, double coverage);

    int width_;
    int height_;
    bool opaque_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    uint32_t* pixels_ = nullptr;
};

}  // namespace artgen
