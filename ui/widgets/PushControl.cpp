#include "ui/widgets/PushControl.h"

#include "framework/Gdi.h"
#include "ui/format/StringPool.h"

namespace {

// The focus mark sits this far inside the control, clear of the skins' borders.
constexpr int kFocusInset = 3;

// A dotted mark in white over a dark skin and in black over a light one: the
// system's inverted mark fades to a faint orange over the blue buttons.
COLORREF FocusMarkColour(COLORREF under) {
    if (under == CLR_INVALID) {
        return RGB(0, 0, 0);
    }
    const int luminance =
        (GetRValue(under) * 299 + GetGValue(under) * 587 + GetBValue(under) * 114) / 1000;
    return luminance < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

}  // namespace

const fw::MessageTable CPushControl::kTable{
    &fw::Control::kTable,
    {
        fw::OnMessage(WM_UPDATEUISTATE, &CPushControl::OnUpdateUiState),
    }};

const fw::MessageTable& CPushControl::Messages() const {
    return kTable;
}

bool CPushControl::OnUpdateUiState(fw::Message&) {
    Invalidate(nullptr, false);
    return false;  // the button keeps the state it reports to WM_QUERYUISTATE
}

void CPushControl::SetCaption(UINT stringId) {
    SetText(LoadPooledString(stringId).c_str());
}

bool CPushControl::PreTranslateMessage(MSG& msg) {
    if (msg.hwnd != Handle() || msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) {
        return false;
    }
    if (IsWindowEnabled(Handle()) && IsWindowVisible(Handle())) {
        Send(BM_CLICK);
    }
    return true;
}

void CPushControl::DrawKeyboardFocus(const DRAWITEMSTRUCT& item) {
    if ((item.itemState & ODS_FOCUS) == 0 || (item.itemState & ODS_NOFOCUSRECT) != 0) {
        return;
    }
    // Not every button implementation reports hidden focus marks in the item state;
    // the window's UI state is what the dialog manager changes on Tab.
    if ((SendMessageW(item.hwndItem, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0) {
        return;
    }
    RECT mark = item.rcItem;
    InflateRect(&mark, -kFocusInset, -kFocusInset);
    const COLORREF colour =
        FocusMarkColour(GetPixel(item.hDC, mark.left + 1, (mark.top + mark.bottom) / 2));
    LOGBRUSH stroke{BS_SOLID, colour, 0};
    const fw::Pen dotted(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &stroke, 0, nullptr));
    const fw::SelectGuard pen(item.hDC, dotted);
    const fw::SelectGuard hollow(item.hDC, GetStockObject(NULL_BRUSH));
    Rectangle(item.hDC, mark.left, mark.top, mark.right, mark.bottom);
}
