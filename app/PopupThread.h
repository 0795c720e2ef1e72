// The thread of the notification popup: it makes the popup, shows it and runs its
// messages until the popup window is gone, then ends. The main window owns the
// thread: a new popup replaces an earlier one only after that one's thread has
// ended, and the thread is joined when the main window goes.
#pragma once

#include <windows.h>

#include "app/PopupControl.h"

// Posted to the popup's owner when the popup could not be made or shown.
inline constexpr UINT WM_POPUP_NOT_SHOWN = WM_USER + 102;

class PopupThread {
  public:
    PopupThread() = default;
    // Joins the thread (see Join).
    ~PopupThread();
    PopupThread(const PopupThread&) = delete;
    PopupThread& operator=(const PopupThread&) = delete;

    // Closes the popup open now, if any, waits for its thread, and starts the popup of
    // `request` on a new thread. False when no thread could be started.
    bool Start(PopupRequest request, PopupOptions options = {});
    // Closes the popup, if any, and waits for its thread to end. While waiting the
    // calling thread answers messages other threads send it (the popup's owner may be
    // on it), and nothing else.
    void Join();

  private:
    HANDLE thread_ = nullptr;
};

// The thread's work, on the calling thread: returns when the popup window is gone.
// False when the popup could not be made or shown (a C++ exception included).
bool RunPopup(PopupRequest request, PopupOptions options);

// Runs the calling thread's messages, waiting for each, until `window` no longer
// exists.
void PumpUntilDestroyed(HWND window);

// Closes the popup now open, if any, without ending the program. Any thread.
void DismissPopup();
