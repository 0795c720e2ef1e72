#include "ui/widgets/PushControl.h"

#include "ui/format/StringPool.h"

namespace {

// The focus mark sits this far inside the control, clear of the skins' borders.
constexpr int kFocusInset = 3;

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
    SetTextColor(item.hDC, RGB(0, 0, 0));
    SetBkColor(item.hDC, RGB(255, 255, 255));
    DrawFocusRect(item.hDC, &mark);
}
