// The notification-area icon the main window hides into: the application title as
// tooltip and the tray menu (Restore, About, Exit), whose commands go to the target
// window (the main window). The icon has a hidden window of its own that receives
// the shell's notifications; the object owns that window and the small icon.
//
// State: "removed" means the icon is not in the tray at all, "hidden" that it is
// either removed or in the tray with the shell's hidden state (shell 5 and later
// hide and show it that way; older shells delete and add it again).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/TrayIconRules.h"
#include "framework/UserHandles.h"
#include "framework/Window.h"

inline constexpr UINT WM_TRAY_CALLBACK = 10045;

// The notify record as shell 5 reads it: up to the balloon fields, without the
// GUID and the balloon icon of later shells (936 bytes on 32-bit Windows).
inline constexpr DWORD kNotifyRecordSize = NOTIFYICONDATAW_V2_SIZE;
#ifndef _WIN64
static_assert(kNotifyRecordSize == 936, "the shell 5 notify record");
#endif

// The major version of shell32, asked once and remembered.
DWORD ShellMajorVersion();

class CXTTrayIcon : public fw::Window {
  public:
    CXTTrayIcon() = default;
    // Removes the icon from the tray.
    ~CXTTrayIcon() override;

    // Stores the target (required), the icon and menu resources and the default
    // menu item (a command id, or a position when `defaultIsPosition`), loads the
    // small icon, creates the icon's hidden window and adds the icon. The menu id is
    // also the icon's id; the icon of an earlier Create leaves the tray first. False
    // without a target, when the window cannot be made or the shell refuses the icon.
    bool Create(const wchar_t* tooltip, HWND target, UINT iconId, UINT menuId, UINT defaultItem,
                bool defaultIsPosition);
    // True when the icon is (now) visible in the tray.
    bool ShowIcon();
    bool HideIcon();

    // Hides `window` into the tray, with the caption animation when the user's
    // settings animate minimising.
    void MinimizeToTray(HWND window);
    // Brings `window` back from the tray: animation, top-level again, shown with its
    // frame refreshed, activated and in the foreground.
    void RestoreFromTray(HWND window);

    bool IsHidden() const { return hidden_; }
    bool IsRemoved() const { return removed_; }
    bool AddFailed() const { return addFailed_; }
    UINT IconId() const { return data_.uID; }
    HWND Target() const { return target_; }
    std::wstring Tooltip() const { return data_.szTip; }

  protected:
    const fw::MessageTable& Messages() const override;
    // Takes `window` off the taskbar before it is hidden: here by giving it the
    // icon's hidden window as owner. True on success.
    virtual bool RemoveTaskbarIcon(HWND window);

  private:
    static const fw::MessageTable kTable;

    bool AddIcon();
    bool DeleteIcon();
    bool SetShellHiddenState(bool hidden);
    bool OnTrayNotification(fw::Message& m);
    bool OnTaskbarCreated(fw::Message& m);
    bool OnSettingChange(fw::Message& m);
    void ShowMenu();
    void SendDefaultCommand();
    // The default item as a command id (a position is looked up in the first submenu).
    UINT DefaultCommand() const;
    static RECT AnimationTrayEnd();

    UINT iconId_ = 0;
    UINT defaultItem_ = 0;
    bool defaultIsPosition_ = true;
    bool hidden_ = true;
    bool removed_ = true;
    bool addFailed_ = false;
    // What the owner last asked for: shown (Create, ShowIcon) or hidden (HideIcon).
    bool wanted_ = false;
    HWND target_ = nullptr;
    std::size_t tooltipLimit_ = kDefaultTooltipLimit;
    fw::Icon icon_;
    NOTIFYICONDATAW data_ = {};
};

// The program's tray icon: the main window keeps its own taskbar button while it is
// in the tray (it is only hidden), so nothing is re-parented.
class CXTTrayIconEX : public CXTTrayIcon {
  protected:
    bool RemoveTaskbarIcon(HWND window) override;
};
