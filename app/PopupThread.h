// The thread of the notification popup: it makes the popup, shows it and runs its
// messages until the popup window is gone, then ends.
#pragma once

#include "app/PopupControl.h"

// Starts the popup on a new thread; false when no thread could be started.
bool StartPopupThread(PopupRequest request, PopupOptions options = {});

// The thread's work, on the calling thread: returns when the popup window is gone.
// A C++ exception ends it quietly.
void RunPopup(PopupRequest request, PopupOptions options);

// Runs the calling thread's messages, waiting for each, until `window` no longer
// exists.
void PumpUntilDestroyed(HWND window);

// Closes the popup now open, if any, without ending the program. Any thread.
void DismissPopup();
