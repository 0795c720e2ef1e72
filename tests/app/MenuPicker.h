// Picks an item of the next popup menu that appears (TrackPopupMenu), from a thread of
// its own while the test's thread sits in the menu's loop: it waits for the menu
// window, reads the menu and its default item, and chooses the item with the keys a
// user would press.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

namespace vantrel::testsupport {

class MenuPicker {
  public:
    // Chooses the item with command `command`; gives up after about ten seconds.
    explicit MenuPicker(UINT command)
        : thread_([this, command] {
              for (int i = 0; i < 400 && !stop_; ++i) {
                  HWND menuWindow = VisibleMenuWindow();
                  if (menuWindow != nullptr) {
                      auto* menu =
                          reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
                      if (menu != nullptr) {
                          Pick(menuWindow, menu, command);
                          return;
                      }
                  }
                  Sleep(25);
              }
          }) {}
    ~MenuPicker() {
        stop_ = true;
        Join();
    }
    MenuPicker(const MenuPicker&) = delete;
    MenuPicker& operator=(const MenuPicker&) = delete;

    bool Picked() {
        Join();
        return picked_;
    }
    // The menu's default item (a command id), -1 when none was seen.
    int DefaultItem() {
        Join();
        return defaultItem_;
    }
    int ItemCount() {
        Join();
        return itemCount_;
    }

  private:
    // A thread may keep hidden menu windows (a system menu's) besides the open one.
    static HWND VisibleMenuWindow() {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"#32768", nullptr)) != nullptr) {
            if (IsWindowVisible(window)) {
                return window;
            }
        }
        return nullptr;
    }
    void Pick(HWND menuWindow, HMENU menu, UINT command) {
        defaultItem_ = static_cast<int>(GetMenuDefaultItem(menu, FALSE, 0));
        itemCount_ = GetMenuItemCount(menu);
        // Down arrows from no selection: the first press selects the first item;
        // separators are skipped.
        int presses = 0;
        for (int position = 0; position < itemCount_; ++position) {
            const UINT id = GetMenuItemID(menu, position);
            if (id == 0) {
                continue;  // a separator
            }
            ++presses;
            if (id == command) {
                for (int p = 0; p < presses; ++p) {
                    PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
                }
                PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
                picked_ = true;
                return;
            }
        }
        PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> picked_{false};
    std::atomic<int> defaultItem_{-1};
    std::atomic<int> itemCount_{0};
    std::thread thread_;
};

}  // namespace vantrel::testsupport
