// File formats the resource compiler takes: 24-bit BMP, ICO with 32-bit
// images, and a monochrome CUR.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/artgen/Canvas.h"

namespace artgen {

using Bytes = std::vector<uint8_t>;

// A bottom-up 24-bit BMP file of an opaque canvas.
Bytes EncodeBmp24(const Canvas& canvas);

// An icon file with one 32-bit image (alpha channel and AND mask) per canvas.
Bytes EncodeIcon(const std::vector<const Canvas*>& images);

// A 32 x 32 monochrome cursor. `rows` draws the picture from the top: 'B' is
// black, 'W' white, anything else transparent; missing cells are transparent.
Bytes EncodeMonochromeCursor(const std::vector<std::string>& rows, int hotX, int hotY);

bool WriteWholeFile(const std::wstring& path, const Bytes& bytes);

}  // namespace artgen
