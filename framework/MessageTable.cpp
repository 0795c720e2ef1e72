#include "framework/MessageTable.h"

#include <windowsx.h>

#include "framework/DeviceContexts.h"
#include "framework/Window.h"

namespace fw {

MessageKey KeyOf(const Message& m) {
    switch (m.message) {
        case WM_COMMAND:
            // Menus (code 0) and accelerators (code 1) both come without a control
            // window; both are the plain command.
            return {LOWORD(m.wParam), m.lParam == 0 ? 0u : HIWORD(m.wParam)};
        case WM_NOTIFY:
            if (m.lParam == 0) {
                return {};
            }
            return {reinterpret_cast<const NMHDR*>(m.lParam)->idFrom,
                    reinterpret_cast<const NMHDR*>(m.lParam)->code};
        case WM_TIMER:
            return {m.wParam, 0};
        default:
            return {};
    }
}

namespace {

bool CarriesScreenCoordinates(UINT message) {
    switch (message) {
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
        case WM_CONTEXTMENU:
        case WM_NCHITTEST:
        case WM_NCMOUSEMOVE:
        case WM_NCMOUSEHOVER:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP:
        case WM_NCRBUTTONDBLCLK:
        case WM_NCMBUTTONDOWN:
        case WM_NCMBUTTONUP:
        case WM_NCMBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

}  // namespace

POINT ClientPointOf(const Message& m) {
    POINT point{};
    if (m.message == WM_MOUSELEAVE || m.message == WM_NCMOUSELEAVE) {
        GetCursorPos(&point);
        ScreenToClient(m.hwnd, &point);
        return point;
    }
    point.x = GET_X_LPARAM(m.lParam);
    point.y = GET_Y_LPARAM(m.lParam);
    if (CarriesScreenCoordinates(m.message)) {
        ScreenToClient(m.hwnd, &point);
    }
    return point;
}

MessageEntry::MessageEntry(UINT message, std::optional<UINT_PTR> id, std::optional<UINT> code,
                           Handler handler)
    : message_(message),
      lastMessage_(message),
      id_(id),
      code_(code),
      handler_(std::move(handler)) {}

MessageEntry::MessageEntry(UINT first, UINT last, Handler handler)
    : message_(first), lastMessage_(last), handler_(std::move(handler)) {}

bool MessageEntry::Matches(const Message& m) const {
    if (message_ == 0 || m.message < message_ || m.message > lastMessage_) {
        return false;
    }
    if (!id_ && !code_) {
        return true;
    }
    if (m.message == WM_NOTIFY && m.lParam == 0) {
        return false;
    }
    const MessageKey key = KeyOf(m);
    return (!id_ || *id_ == key.id) && (!code_ || *code_ == key.code);
}

bool DispatchThroughTable(const MessageTable& table, Window& window, Message& m) {
    for (const MessageTable* t = &table; t; t = t->Base()) {
        for (const MessageEntry& entry : t->Entries()) {
            if (entry.Matches(m) && entry.Invoke(window, m)) {
                return true;
            }
            // A handler that destroyed the window ends the routing: nothing else
            // may act on a window that is gone.
            if (window.WindowGone()) {
                return true;
            }
        }
    }
    return false;
}

UINT RegisteredMessage(const wchar_t* name) {
    return name && *name ? RegisterWindowMessageW(name) : 0;
}

namespace detail {

bool RunPaint(Message& m, const std::function<bool(HDC, const PAINTSTRUCT&)>& paint) {
    if (m.wParam) {
        // WM_PAINT with a DC (WM_PRINTCLIENT-style callers): draw into it, no BeginPaint.
        PAINTSTRUCT info{};
        info.hdc = reinterpret_cast<HDC>(m.wParam);
        GetClientRect(m.hwnd, &info.rcPaint);
        return paint(info.hdc, info);
    }
    PaintScope scope(m.hwnd);
    if (!scope.Get()) {
        return false;
    }
    return paint(scope.Get(), scope.Info());
}

}  // namespace detail

}  // namespace fw
