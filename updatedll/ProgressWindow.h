// The small window a visible transfer shows: a line of text with the percentage, a
// progress bar and Cancel, owned by the caller's window. Cancel (or closing the
// window) trips the transfer's cancel switch. Report may be called from the transfer
// thread; everything else belongs to the thread that created the window.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "updatedll/CancelSwitch.h"

namespace upd {

class ProgressWindow {
  public:
    explicit ProgressWindow(CancelSwitch& cancel) : cancel_(cancel) {}
    ~ProgressWindow() { Destroy(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    bool Create(HWND owner);
    void Destroy();
    // Posts the new percentage to the window when it changed.
    void Report(std::uint64_t received, std::uint64_t total);
    bool IsDialogMessage(MSG& message) const;

  private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit();
    void CenterOverOwner();
    void ShowPercent(int percent);
    void OnCancel();

    CancelSwitch& cancel_;
    HWND window_ = nullptr;
    std::atomic<int> lastPercent_{-1};
};

// The module handle of update.dll (its resources).
HINSTANCE LibraryModule();

}  // namespace upd
