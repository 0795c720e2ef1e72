#include "flows/PageDrawing.h"

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
