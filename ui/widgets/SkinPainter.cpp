#include "ui/widgets/SkinPainter.h"

#include "ui/widgets/SkinBitmaps.h"

SkinPainter::SkinPainter(HDC target) : target_(target), source_(target) {}

bool SkinPainter::Select(HBITMAP bitmap) {
    if (target_ == nullptr || bitmap == nullptr || !source_) {
        return false;
    }
    if (bitmap != selected_) {
        if (!source_.Select(bitmap)) {
            return false;
        }
        selected_ = bitmap;
    }
    return true;
}

void SkinPainter::Draw(HBITMAP bitmap, int x, int y, int width, int height) {
    if (Select(bitmap)) {
        BitBlt(target_, x, y, width, height, source_.Get(), 0, 0, SRCCOPY);
    }
}

void SkinPainter::Draw(UINT id, int x, int y, int width, int height) {
    Draw(SkinBitmap(id), x, y, width, height);
}

void SkinPainter::Repeat(UINT id, int fromX, int toX, int step, int y, int width, int height) {
    if (step < 1 || !Select(SkinBitmap(id))) {
        return;
    }
    for (int x = fromX; x <= toX; x += step) {
        BitBlt(target_, x, y, width, height, source_.Get(), 0, 0, SRCCOPY);
    }
}

void SkinPainter::Frame(const FramePieces& pieces, int x, int y, int tiles) {
    Draw(pieces.left, x, y, pieces.leftWidth, pieces.height);
    const int firstTile = x + pieces.leftWidth;
    if (tiles > 0) {
        Repeat(pieces.tile, firstTile, firstTile + tiles - 1, 1, y, 1, pieces.height);
    }
    Draw(pieces.right, firstTile + (tiles > 0 ? tiles : 0), y, pieces.rightWidth, pieces.height);
}
