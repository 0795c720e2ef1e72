// Drawing steps the selection and results pages share: skin bitmaps at fixed
// places, a bitmap repeated along a row, the three-piece frames, and text in a
// fixed rectangle. Everything draws into the page's off-screen DC with a
// transparent text background; fonts are the shared ones (borrowed).
#pragma once

#include <windows.h>

#include <string>

#include "framework/Gdi.h"

// Skin bitmap `id` at (x, y), width x height pixels of it.
void DrawSkin(HDC dc, UINT id, int x, int y, int width, int height);

// Skin bitmap `id` drawn at every `step`-th x from `fromX` up to `toX` (inclusive).
void RepeatSkin(HDC dc, UINT id, int fromX, int toX, int step, int y, int width, int height);

// A box edge of three pieces at row y: `left` (leftWidth wide) at x, `tiles` copies
// of the 1-pixel `tile` after it, then `right` (rightWidth wide).
struct FramePieces {
    UINT left;
    UINT tile;
    UINT right;
    int leftWidth;
    int rightWidth;
    int height;
};
void DrawFrame(HDC dc, const FramePieces& pieces, int x, int y, int tiles);

enum class TextPlacement {
    Wrap,        // word-wrapped, centred vertically, left-aligned
    WrapCentre,  // word-wrapped, centred both ways
    Right,       // one line, centred vertically, right-aligned
    Line,        // one line, centred vertically, left-aligned, not cut at the right
};

// `text` in `rect` with `font` and `colour`.
void DrawPageText(HDC dc, const std::wstring& text, const RECT& rect, const fw::Font& font,
                  COLORREF colour, TextPlacement placement = TextPlacement::Wrap);
