// JPEG files through the Windows Imaging Component's encoder (baseline, JFIF), for
// the pictures of the HTML reports.
#pragma once

#include "tools/artgen/Canvas.h"
#include "tools/artgen/ImageFiles.h"

namespace artgen {

// The opaque canvas as a JPEG file of the given quality (0..1). Throws when the
// encoder is not available.
Bytes EncodeJpeg(const Canvas& canvas, float quality = 0.95f);

}  // namespace artgen
