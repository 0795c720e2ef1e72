#include "app/TrayIcon.h"

#include <algorithm>

const fw::MessageTable CXTTrayIconEX::kTable{
    &fw::Window::kTable,
    {
        fw::OnMessage(WM_TRAY_CALLBACK, &CXTTrayIconEX::OnTrayNotification),
    }};

const fw::MessageTable& CXTTrayIconEX::Messages() const {
    return kTable;
}

CXTTrayIconEX::~CXTTrayIconEX() {
    RemoveIcon();
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
}

bool CXTTrayIconEX::Create(const wchar_t* tooltip, HWND target, UINT iconId, UINT menuId,
                           UINT defaultItem, bool defaultIsPosition) {
    if (target == nullptr) {
        return false;
    }
    target_ = target;
    menuId_ = menuId;
    defaultItem_ = defaultItem;
    defaultIsPosition_ = defaultIsPosition;
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
    icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId),
                                          IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), 0));
    if (Handle() == nullptr && !fw::Window::Create(L"", WS_POPUP)) {
        return false;
    }
    data_ = {};
    data_.cbSize = sizeof(data_);
    data_.hWnd = Handle();
    data_.uID = menuId;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = WM_TRAY_CALLBACK;
    data_.hIcon = icon_;
    // The tooltip keeps at most 126 characters and its terminator.
    const std::size_t limit = 127 - 1;
    const std::size_t length = std::min(wcslen(tooltip), limit);
    std::copy_n(tooltip, length, data_.szTip);
    data_.szTip[length] = L'\0';
    return ShowIcon();
}

bool CXTTrayIconEX::ShowIcon() {
    if (shown_) {
        return true;
    }
    shown_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return shown_;
}

bool CXTTrayIconEX::HideIcon() {
    RemoveIcon();
    return true;
}

void CXTTrayIconEX::RemoveIcon() {
    if (shown_) {
        Shell_NotifyIconW(NIM_DELETE, &data_);
        shown_ = false;
    }
}

void CXTTrayIconEX::MinimizeToTray(HWND window) {
    ShowWindow(window, SW_HIDE);
}

void CXTTrayIconEX::RestoreFromTray(HWND window) {
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    SetActiveWindow(window);
    SetForegroundWindow(window);
}

bool CXTTrayIconEX::OnTrayNotification(fw::Message& m) {
    if (m.wParam != data_.uID) {
        return true;
    }
    switch (static_cast<UINT>(m.lParam)) {
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            ShowMenu();
            break;
        case WM_LBUTTONDBLCLK:
            SetForegroundWindow(target_);
            SendMessageW(target_, WM_COMMAND, defaultItem_, 0);
            break;
        default:
            break;
    }
    return true;
}

void CXTTrayIconEX::ShowMenu() {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId_));
    if (menu == nullptr) {
        return;
    }
    HMENU popup = GetSubMenu(menu, 0);
    SetMenuDefaultItem(popup, defaultItem_, defaultIsPosition_ ? TRUE : FALSE);
    POINT cursor = {};
    GetCursorPos(&cursor);
    SetForegroundWindow(target_);
    TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, target_, nullptr);
    PostMessageW(target_, WM_NULL, 0, 0);
    DestroyMenu(menu);
}
