#include "ui/widgets/PushControl.h"

#include "ui/format/StringPool.h"

namespace {

// The focus mark sits this far inside the control.
constexpr int kFocusInset = 2;

}  // namespace

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
    RECT mark = item.rcItem;
    InflateRect(&mark, -kFocusInset, -kFocusInset);
    SetTextColor(item.hDC, RGB(0, 0, 0));
    SetBkColor(item.hDC, RGB(255, 255, 255));
    DrawFocusRect(item.hDC, &mark);
}
