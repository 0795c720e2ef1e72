#include "flows/SkinnedPage.h"

#include "res/resource.h"
#include "ui/widgets/SharedBrushes.h"

bool PointIn(const RECT& rect, POINT point) {
    return PtInRect(&rect, point) != FALSE;
}

const fw::MessageTable SkinnedPage::kTable{
    &fw::Dialog::kTable,
    {
        fw::OnSize(&SkinnedPage::OnSize),
        fw::OnEraseBackground(&SkinnedPage::OnEraseBackground),
        fw::OnCtlColor(&SkinnedPage::OnCtlColor),
        fw::OnSetCursor(&SkinnedPage::OnSetCursor),
        fw::OnMouse(WM_LBUTTONUP, &SkinnedPage::OnLButtonUp),
        fw::OnCommand(IDC_PAGE_LINK, &SkinnedPage::OnLinkClicked),
    }};

const fw::MessageTable& SkinnedPage::Messages() const {
    return kTable;
}

const RECT& SkinnedPage::LinkArea() const {
    static const RECT none = {};
    return none;
}

void SkinnedPage::CreateLink(UINT captionId) {
    link_.Create(Handle(), IDC_PAGE_LINK, LinkArea(), captionId);
}

void SkinnedPage::RefreshLink(const std::wstring& caption) {
    if (!caption.empty()) {
        link_.SetText(caption.c_str());
    }
    link_.SetArea(LinkArea());
}

HBRUSH SkinnedPage::StaticColours(HDC dc, int) {
    SetTextColor(dc, RGB(0, 0, 0));
    return WhiteBrush();
}

HBRUSH SkinnedPage::OnCtlColor(HDC dc, HWND control, UINT message) {
    SetBkMode(dc, TRANSPARENT);
    if (message == WM_CTLCOLORSTATIC) {
        return StaticColours(dc, GetDlgCtrlID(control));
    }
    return WhiteBrush();
}

bool SkinnedPage::OnSetCursor(HWND window, UINT hitTest, UINT) {
    if (window != Handle() || hitTest != HTCLIENT) {
        return false;
    }
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(Handle(), &point);
    if (!PointIn(LinkArea(), point)) {
        return false;
    }
    static const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    SetCursor(hand);
    return true;
}

void SkinnedPage::OnLButtonUp(POINT point) {
    if (PointIn(LinkArea(), point)) {
        OnLinkClicked();
    }
}
