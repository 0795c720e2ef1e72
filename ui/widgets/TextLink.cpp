#include "ui/widgets/TextLink.h"

#include "framework/DeviceContexts.h"

const fw::MessageTable CTextLink::kTable{&CPushControl::kTable,
                                         {
                                             fw::OnMessage(WM_NCHITTEST, &CTextLink::OnNcHitTest),
                                             fw::OnMessage(WM_SETFOCUS, &CTextLink::OnFocusChange),
                                             fw::OnMessage(WM_KILLFOCUS, &CTextLink::OnFocusChange),
                                         }};

const fw::MessageTable& CTextLink::Messages() const {
    return kTable;
}

bool CTextLink::Create(HWND parent, int id, const RECT& area, UINT captionId) {
    if (!Create(parent, id, area, std::wstring())) {
        return false;
    }
    SetCaption(captionId);
    return true;
}

bool CTextLink::Create(HWND parent, int id, const RECT& area, const std::wstring& caption) {
    HWND window = CreateWindowExW(
        0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_OWNERDRAW, area.left, area.top,
        area.right - area.left, area.bottom - area.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr || !Attach(window)) {
        if (window != nullptr) {
            DestroyWindow(window);
        }
        return false;
    }
    SetText(caption.c_str());
    SetArea(area);
    return true;
}

void CTextLink::SetArea(const RECT& area) {
    if (Handle() == nullptr) {
        return;
    }
    const bool armed = !IsRectEmpty(&area);
    if (armed) {
        SetWindowPos(Handle(), nullptr, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Enable(armed);
    Show(armed ? SW_SHOWNA : SW_HIDE);
}

bool CTextLink::OnNcHitTest(fw::Message& m) {
    // The window under the link handles the mouse itself.
    m.result = HTTRANSPARENT;
    return true;
}

void CTextLink::OnFocusChange() {
    // The focus mark comes and goes over the window's own picture.
    Invalidate(nullptr, false);
}

void CTextLink::DrawItem(const DRAWITEMSTRUCT& item) {
    const HWND parent = GetParent(Handle());
    POINT origin = {0, 0};
    MapWindowPoints(Handle(), parent, &origin, 1);
    POINT previous = {};
    SetViewportOrgEx(item.hDC, -origin.x, -origin.y, &previous);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(item.hDC), PRF_CLIENT);
    SetViewportOrgEx(item.hDC, previous.x, previous.y, nullptr);
    DrawKeyboardFocus(item);
}
