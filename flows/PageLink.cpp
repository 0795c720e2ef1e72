#include "flows/PageLink.h"

bool PointIn(const RECT& rect, POINT point) {
    return PtInRect(&rect, point) != FALSE;
}

bool ShowHandOverLink(HWND page, const RECT& area, fw::Message& setCursor) {
    if (reinterpret_cast<HWND>(setCursor.wParam) != page || LOWORD(setCursor.lParam) != HTCLIENT) {
        return false;
    }
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(page, &point);
    if (!PointIn(area, point)) {
        return false;
    }
    static const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    SetCursor(hand);
    setCursor.result = TRUE;
    return true;
}
