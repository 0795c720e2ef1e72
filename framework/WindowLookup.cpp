// Finding the object of a window: each kind of window keeps its object pointer in
// its own place, and only a window that routes through this layer is trusted.
#include "framework/Control.h"
#include "framework/Dialog.h"
#include "framework/Window.h"

namespace fw {

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd || !IsWindow(hwnd)) {
        return nullptr;
    }
    if (Control* control = Control::FromHandle(hwnd)) {
        return control;
    }
    if (Dialog* dialog = Dialog::FromHandle(hwnd)) {
        return dialog;
    }
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Window::WindowProc)) {
        return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    return nullptr;
}

}  // namespace fw
