#include "app/PopupThread.h"

#include <process.h>

#include <memory>
#include <utility>

#include "framework/MessageLoop.h"

namespace {

// How often Join closes a popup that was still being made.
constexpr DWORD kDismissAgainMs = 50;

struct ThreadStart {
    PopupRequest request;
    PopupOptions options;
};

unsigned __stdcall PopupThreadMain(void* parameter) {
    // Nothing unwinds out of a thread procedure.
    try {
        std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
        const HWND owner = start->request.owner;
        if (!RunPopup(std::move(start->request), start->options) && owner != nullptr) {
            PostMessageW(owner, WM_POPUP_NOT_SHOWN, 0, 0);
        }
    } catch (...) {
    }
    return 0;
}

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

bool RunPopup(PopupRequest request, PopupOptions options) {
    try {
        const HWND owner = request.owner;
        CDLGPopupControl popup(std::move(request));
        popup.Configure(options);
        if (!popup.Create(owner)) {
            return false;
        }
        if (popup.Phase() == popup::Phase::None) {
            popup.Show();
        }
        PumpUntilDestroyed(popup.Handle());
        return true;
    } catch (...) {
        return false;
    }
}

PopupThread::~PopupThread() {
    Join();
}

bool PopupThread::Start(PopupRequest request, PopupOptions options) {
    Join();
    auto start = std::make_unique<ThreadStart>(ThreadStart{std::move(request), options});
    const uintptr_t thread = _beginthreadex(nullptr, 0, &PopupThreadMain, start.get(), 0, nullptr);
    if (thread == 0) {
        return false;
    }
    start.release();  // the thread owns it now
    thread_ = reinterpret_cast<HANDLE>(thread);
    return true;
}

void PopupThread::Join() {
    if (thread_ == nullptr) {
        return;
    }
    // The popup's window is owned by a window of this thread: its end may send this
    // thread messages, so they are answered while waiting. A popup still being made
    // is closed once its window is there.
    for (;;) {
        DismissPopup();
        const DWORD woken =
            MsgWaitForMultipleObjects(1, &thread_, FALSE, kDismissAgainMs, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) {
            break;
        }
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
}

void DismissPopup() {
    if (HWND window = CDLGPopupControl::CurrentWindow()) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}
