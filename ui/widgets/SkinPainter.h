// Draws the skin's bitmaps onto one device context for the length of a paint. One
// memory DC serves every copy of the paint, each bitmap selected into it in turn:
// a paint copies a few hundred small pieces, and a context for each would cost more
// than the copies. The painter borrows the bitmaps (the skin's are kept for the life
// of the process).
#pragma once

#include <windows.h>

#include "framework/DeviceContexts.h"

// A box edge of three pieces at row y: `left` (leftWidth wide), a run of the 1-pixel
// `tile`, then `right` (rightWidth wide).
struct FramePieces {
    UINT left;
    UINT tile;
    UINT right;
    int leftWidth;
    int rightWidth;
    int height;
};

class SkinPainter {
  public:
    explicit SkinPainter(HDC target);
    SkinPainter(const SkinPainter&) = delete;
    SkinPainter& operator=(const SkinPainter&) = delete;

    // The top-left width x height pixels of `bitmap` at (x, y) (plain source copy).
    // Nothing for a null bitmap or target.
    void Draw(HBITMAP bitmap, int x, int y, int width, int height);
    // The skin bitmap resource `id` (ui/SkinBitmaps.h) the same way.
    void Draw(UINT id, int x, int y, int width, int height);
    // Skin bitmap `id` at every `step`-th x from `fromX` up to `toX` (inclusive).
    void Repeat(UINT id, int fromX, int toX, int step, int y, int width, int height);
    // A three-piece box edge at (x, y) with `tiles` copies of its tile.
    void Frame(const FramePieces& pieces, int x, int y, int tiles);

  private:
    bool Select(HBITMAP bitmap);

    HDC target_;
    fw::MemoryDC source_;
    HBITMAP selected_ = nullptr;
};
