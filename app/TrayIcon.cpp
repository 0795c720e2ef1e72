#include "app/TrayIcon.h"

#include <shlwapi.h>

#include <algorithm>

namespace {

// The shell's notifications about the icon's selection (NIN_SELECT, NIN_KEYSELECT).
constexpr UINT kShellSelect = WM_USER;
constexpr UINT kShellKeySelect = WM_USER + 1;

constexpr DWORD kShellWithHiddenState = 5;

}  // namespace

DWORD ShellMajorVersion() {
    static const DWORD version = [] {
        HMODULE shell = GetModuleHandleW(L"shell32.dll");
        if (shell == nullptr) {
            return DWORD{0};
        }
        const auto get = reinterpret_cast<DLLGETVERSIONPROC>(
            reinterpret_cast<void*>(GetProcAddress(shell, "DllGetVersion")));
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof(info);
        if (get == nullptr || FAILED(get(&info))) {
            return DWORD{0};
        }
        return info.dwMajorVersion;
    }();
    return version;
}

const fw::MessageTable CXTTrayIcon::kTable{
    &fw::Window::kTable,
    {
        fw::OnMessage(WM_TRAY_CALLBACK, &CXTTrayIcon::OnTrayNotification),
        fw::OnRegisteredMessage(L"TaskbarCreated", &CXTTrayIcon::OnTaskbarCreated),
        fw::OnMessage(WM_SETTINGCHANGE, &CXTTrayIcon::OnSettingChange),
    }};

const fw::MessageTable& CXTTrayIcon::Messages() const {
    return kTable;
}

CXTTrayIcon::~CXTTrayIcon() {
    if (!removed_) {
        DeleteIcon();
    }
}

bool CXTTrayIcon::Create(const wchar_t* tooltip, HWND target, UINT iconId, UINT menuId,
                         UINT defaultItem, bool defaultIsPosition) {
    if (target == nullptr) {
        return false;
    }
    iconId_ = iconId;
    target_ = target;
    defaultItem_ = defaultItem;
    defaultIsPosition_ = defaultIsPosition;
    tooltipLimit_ = kTooltipLimit;

    icon_.Reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), 0)));

    if (Handle() == nullptr && !fw::Window::Create(L"", WS_POPUP)) {
        return false;
    }
    // Created again: the icon of the earlier creation leaves the tray first.
    if (!removed_) {
        DeleteIcon();
    }
    data_ = {};
    data_.cbSize = kNotifyRecordSize;
    data_.hWnd = Handle();
    data_.uID = menuId;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = WM_TRAY_CALLBACK;
    data_.hIcon = icon_.Get();
    const std::wstring tip = TruncateTooltip(tooltip, tooltipLimit_);
    std::copy(tip.begin(), tip.end(), data_.szTip);
    data_.szTip[tip.size()] = L'\0';
    wanted_ = true;
    return AddIcon();
}

bool CXTTrayIcon::AddIcon() {
    NOTIFYICONDATAW add = data_;
    add.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    const bool added = Shell_NotifyIconW(NIM_ADD, &add) != FALSE;
    addFailed_ = !added;
    if (added) {
        hidden_ = false;
        removed_ = false;
        // Version 3 keeps the callback's layout and adds the keyboard: Space or Enter on
        // the icon comes as the shell's key select, the menu key as WM_CONTEXTMENU.
        NOTIFYICONDATAW version = data_;
        version.uVersion = NOTIFYICON_VERSION;
        Shell_NotifyIconW(NIM_SETVERSION, &version);
    }
    return added;
}

bool CXTTrayIcon::DeleteIcon() {
    NOTIFYICONDATAW remove = data_;
    remove.uFlags = 0;
    const bool deleted = Shell_NotifyIconW(NIM_DELETE, &remove) != FALSE;
    removed_ = true;
    hidden_ = true;
    return deleted;
}

bool CXTTrayIcon::SetShellHiddenState(bool hidden) {
    NOTIFYICONDATAW modify = data_;
    modify.uFlags = NIF_STATE;
    modify.dwState = hidden ? NIS_HIDDEN : 0;
    modify.dwStateMask = NIS_HIDDEN;
    return Shell_NotifyIconW(NIM_MODIFY, &modify) != FALSE;
}

bool CXTTrayIcon::ShowIcon() {
    wanted_ = true;
    if (!hidden_ && !removed_) {
        return true;
    }
    if (!removed_ && ShellMajorVersion() >= kShellWithHiddenState && SetShellHiddenState(false)) {
        hidden_ = false;
        return true;
    }
    // Older shells, and a shell that no longer knows the icon: add it again.
    if (!removed_) {
        DeleteIcon();
    }
    return AddIcon();
}

bool CXTTrayIcon::HideIcon() {
    wanted_ = false;
    if (hidden_ || removed_) {
        return true;
    }
    if (ShellMajorVersion() >= kShellWithHiddenState) {
        if (SetShellHiddenState(true)) {
            hidden_ = true;
            return true;
        }
        return false;
    }
    return DeleteIcon();
}

RECT CXTTrayIcon::AnimationTrayEnd() {
    // Without any idea of the tray the animation ends in the empty rectangle at (0, 0).
    return FindTrayRect().value_or(RECT{});
}

bool CXTTrayIcon::RemoveTaskbarIcon(HWND window) {
    if (Handle() == nullptr) {
        return false;
    }
    SetLastError(0);
    return SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Handle())) != 0 ||
           GetLastError() == 0;
}

void CXTTrayIcon::MinimizeToTray(HWND window) {
    if (MinimizeAnimates()) {
        RECT from = {};
        GetWindowRect(window, &from);
        const RECT to = AnimationTrayEnd();
        DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
    }
    RemoveTaskbarIcon(window);
    ShowWindow(window, SW_HIDE);
}

void CXTTrayIcon::RestoreFromTray(HWND window) {
    if (MinimizeAnimates()) {
        const RECT from = AnimationTrayEnd();
        RECT to = {};
        GetWindowRect(window, &to);
        DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
    }
    // Top-level again: no owner.
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, 0);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    SetActiveWindow(window);
    SetForegroundWindow(window);
}

bool CXTTrayIcon::OnTrayNotification(fw::Message& m) {
    m.result = 0;
    if (m.wParam != data_.uID) {
        return true;
    }
    // The target may take the notification itself.
    if (target_ != nullptr && SendMessageW(target_, WM_TRAY_CALLBACK, m.wParam, m.lParam) != 0) {
        return true;
    }
    switch (static_cast<UINT>(m.lParam)) {
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
        case kShellSelect:
        case kShellKeySelect:
            ShowMenu();
            break;
        case WM_LBUTTONDBLCLK:
            SendDefaultCommand();
            break;
        default:
            break;
    }
    return true;
}

UINT CXTTrayIcon::DefaultCommand() const {
    if (!defaultIsPosition_) {
        return defaultItem_;
    }
    const fw::Menu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(data_.uID)));
    return menu ? GetMenuItemID(GetSubMenu(menu.Get(), 0), static_cast<int>(defaultItem_)) : 0;
}

void CXTTrayIcon::SendDefaultCommand() {
    const UINT command = DefaultCommand();
    SetForegroundWindow(target_);
    if (command != 0 && command != static_cast<UINT>(-1)) {
        SendMessageW(target_, WM_COMMAND, command, 0);
    }
}

void CXTTrayIcon::ShowMenu() {
    const fw::Menu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(data_.uID)));
    if (!menu) {
        return;
    }
    HMENU popup = GetSubMenu(menu.Get(), 0);
    if (popup != nullptr) {
        // The default item is drawn bold.
        SetMenuDefaultItem(popup, defaultItem_, defaultIsPosition_ ? TRUE : FALSE);
        POINT cursor = {};
        GetCursorPos(&cursor);
        SetForegroundWindow(target_);
        TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, target_, nullptr);
        // Lets the menu close when the user clicks elsewhere.
        PostMessageW(target_, WM_NULL, 0, 0);
        NOTIFYICONDATAW focus = data_;
        focus.uFlags = 0;
        Shell_NotifyIconW(NIM_SETFOCUS, &focus);
    }
}

bool CXTTrayIcon::OnTaskbarCreated(fw::Message& m) {
    // The shell restarted and forgot every icon. A hidden icon is added again only
    // when it is next shown.
    if (!hidden_ && !removed_) {
        AddIcon();
    } else {
        removed_ = true;
        hidden_ = true;
    }
    m.result = 0;
    return true;
}

bool CXTTrayIcon::OnSettingChange(fw::Message& m) {
    // The taskbar may exist now. The icon comes in the state its owner last asked
    // for: a window that is not in the tray has no visible icon.
    if (m.wParam == SPI_SETWORKAREA && addFailed_ && AddIcon() && !wanted_) {
        HideIcon();
    }
    return false;
}

bool CXTTrayIconEX::RemoveTaskbarIcon(HWND) {
    return true;
}
