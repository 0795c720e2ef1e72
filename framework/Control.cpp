#include "framework/Control.h"

#include <commctrl.h>

namespace fw {

namespace {

// Every Control subclasses with this one id, so a window carries at most one Control.
constexpr UINT_PTR kSubclassId = 0x56574657;  // "VFWW"

}  // namespace

const MessageTable Control::kTable{&Window::kTable, {}};

Control::~Control() {
    Detach();
}

const MessageTable& Control::Messages() const {
    return kTable;
}

LRESULT Control::DefaultProcessing(Message& m) {
    return DefSubclassProc(m.hwnd, m.message, m.wParam, m.lParam);
}

bool Control::Attach(HWND parent, int id) {
    return parent && Attach(GetDlgItem(parent, id));
}

bool Control::Attach(HWND control) {
    if (Handle() || !control || !IsWindow(control) || FromHandle(control)) {
        return false;
    }
    if (!SetWindowSubclass(control, &Control::SubclassProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    SetHandle(control);
    return true;
}

void Control::Detach() {
    Unbind();
}

void Control::Unbind() {
    if (HWND hwnd = Handle()) {
        RemoveWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId);
    }
    SetHandle(nullptr);
}

Control* Control::FromHandle(HWND hwnd) {
    DWORD_PTR refData = 0;
    if (!hwnd || !GetWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId, &refData)) {
        return nullptr;
    }
    return reinterpret_cast<Control*>(refData);
}

void Control::DrawItem(const DRAWITEMSTRUCT&) {}

bool Control::MeasureItem(MEASUREITEMSTRUCT&) {
    return false;
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR refData) {
    auto* self = reinterpret_cast<Control*>(refData);
    if (!self || self->Handle() != hwnd) {
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    Message m{hwnd, message, wParam, lParam};
    if (message == WM_NCDESTROY) {
        // The subclass must go while the window still exists, whatever handlers of
        // the control are still running further up; the control's own procedure
        // still gets the message.
        RemoveWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId);
    }
    return RouteAtBoundary(*self, m);
}

}  // namespace fw
