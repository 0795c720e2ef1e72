#include "app/PopupThread.h"

#include <memory>
#include <thread>
#include <utility>

#include "framework/MessageLoop.h"

namespace {

// A new popup gives an earlier one's thread this long to let it go.
constexpr DWORD kReplaceDelayMs = 100;

}  // namespace

void PumpUntilDestroyed(HWND window) {
    MSG msg;
    while (IsWindow(window)) {
        // The popup's end posts a message to this thread, so waiting here always wakes
        // up once the window is gone, even when another thread closed it.
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            return;
        }
        if (!fw::PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void RunPopup(PopupRequest request, PopupOptions options) {
    try {
        if (CDLGPopupControl::CurrentWindow() != nullptr) {
            Sleep(kReplaceDelayMs);
        }
        const HWND owner = request.owner;
        CDLGPopupControl popup(std::move(request));
        popup.Configure(options);
        if (popup.Create(owner) && popup.Phase() == popup::Phase::None) {
            popup.Show();
        }
        PumpUntilDestroyed(popup.Handle());
    } catch (...) {
        // The thread ends quietly; the program goes on without its reminder.
    }
}

bool StartPopupThread(PopupRequest request, PopupOptions options) {
    try {
        std::thread(RunPopup, std::move(request), options).detach();
        return true;
    } catch (...) {
        return false;
    }
}

void DismissPopup() {
    if (HWND window = CDLGPopupControl::CurrentWindow()) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}
