#include "flows/PageDrawing.h"

#include "framework/DeviceContexts.h"
#include "ui/BlitBitmap.h"
#include "ui/SkinBitmaps.h"

void DrawSkin(HDC dc, UINT id, int x, int y, int width, int height) {
    BlitBitmap(SkinBitmap(id), dc, x, y, width, height);
}

void RepeatSkin(HDC dc, UINT id, int fromX, int toX, int step, int y, int width, int height) {
    fw::MemoryDC source(dc);
    if (!source || step < 1 || !source.Select(SkinBitmap(id))) {
        return;
    }
    for (int x = fromX; x <= toX; x += step) {
        BitBlt(dc, x, y, width, height, source.Get(), 0, 0, SRCCOPY);
    }
}

void DrawFrame(HDC dc, const FramePieces& pieces, int x, int y, int tiles) {
    DrawSkin(dc, pieces.left, x, y, pieces.leftWidth, pieces.height);
    const int firstTile = x + pieces.leftWidth;
    if (tiles > 0) {
        RepeatSkin(dc, pieces.tile, firstTile, firstTile + tiles - 1, 1, y, 1, pieces.height);
    }
    DrawSkin(dc, pieces.right, firstTile + (tiles > 0 ? tiles : 0), y, pieces.rightWidth,
             pieces.height);
}

void DrawPageText(HDC dc, const std::wstring& text, const RECT& rect, const fw::Font& font,
                  COLORREF colour, TextPlacement placement) {
    fw::SelectGuard selectFont(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    const int length = static_cast<int>(text.size());
    RECT place = rect;
    if (placement == TextPlacement::Right || placement == TextPlacement::Line) {
        const UINT format = placement == TextPlacement::Right ? DT_RIGHT : DT_LEFT | DT_NOCLIP;
        DrawTextW(dc, text.c_str(), length, &place,
                  format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    const UINT align = placement == TextPlacement::WrapCentre ? DT_CENTER : DT_LEFT;
    // Word-wrapped text does not centre itself vertically: measure it, then move it down.
    RECT measured = rect;
    const int height = DrawTextW(dc, text.c_str(), length, &measured,
                                 align | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    const int room = (rect.bottom - rect.top) - height;
    if (room > 0) {
        place.top += room / 2;
    }
    DrawTextW(dc, text.c_str(), length, &place, align | DT_WORDBREAK | DT_NOPREFIX);
}
