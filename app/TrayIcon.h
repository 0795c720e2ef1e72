// The notification-area icon the main window hides into: the application title as
// tooltip and the tray menu (Restore, About, Exit), whose commands go to the main
// window. The icon is visible only while the main window is in the tray.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "framework/Window.h"

inline constexpr UINT WM_TRAY_CALLBACK = 10045;

class CXTTrayIconEX : public fw::Window {
  public:
    CXTTrayIconEX() = default;
    ~CXTTrayIconEX() override;

    bool Create(const wchar_t* tooltip, HWND target, UINT iconId, UINT menuId, UINT defaultItem,
                bool defaultIsPosition);
    bool ShowIcon();
    bool HideIcon();
    bool IsIconShown() const { return shown_; }
    void MinimizeToTray(HWND window);
    void RestoreFromTray(HWND window);

  protected:
    const fw::MessageTable& Messages() const override;

  private:
    static const fw::MessageTable kTable;
    bool OnTrayNotification(fw::Message& m);
    void ShowMenu();
    void RemoveIcon();

    HWND target_ = nullptr;
    UINT menuId_ = 0;
    UINT defaultItem_ = 0;
    bool defaultIsPosition_ = false;
    HICON icon_ = nullptr;
    NOTIFYICONDATAW data_ = {};
    bool shown_ = false;
};
