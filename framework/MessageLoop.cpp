#include "framework/MessageLoop.h"

#include "framework/Application.h"
#include "framework/Window.h"

namespace fw {

bool WalkPreTranslateTree(MSG& msg) {
    for (HWND hwnd = msg.hwnd; hwnd;) {
        if (Window* window = Window::FromHandle(hwnd)) {
            if (window->PreTranslateMessage(msg)) {
                return true;
            }
        }
        if (!IsWindow(hwnd) || !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) {
            break;
        }
        hwnd = GetParent(hwnd);
    }
    return false;
}

bool PreTranslate(MSG& msg) {
    Application* app = Application::Current();
    if (app && app->ThreadId() == GetCurrentThreadId()) {
        return app->PreTranslateMessage(msg);
    }
    return WalkPreTranslateTree(msg);
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return -1;
        }
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

bool DispatchPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

}  // namespace fw
