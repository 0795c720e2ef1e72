// Text in a fixed rectangle, as the selection and results pages draw it into their
// off-screen DC with a transparent background; fonts are the shared ones (borrowed).
// The skin's bitmaps are drawn with a SkinPainter (ui/SkinPainter.h).
#pragma once

#include <windows.h>

#include <string>

#include "framework/Gdi.h"

enum class TextPlacement {
    Wrap,        // word-wrapped, centred vertically, left-aligned
    WrapCentre,  // word-wrapped, centred both ways
    Right,       // one line, centred vertically, right-aligned
    Line,        // one line, centred vertically, left-aligned, not cut at the right
};

// `text` in `rect` with `font` and `colour`.
void DrawPageText(HDC dc, const std::wstring& text, const RECT& rect, const fw::Font& font,
                  COLORREF colour, TextPlacement placement = TextPlacement::Wrap);
