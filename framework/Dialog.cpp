#include "framework/Dialog.h"

#include "framework/MessageLoop.h"

namespace fw {

const MessageTable Dialog::kTable{&Window::kTable,
                                  {
                                      OnMessage(WM_INITDIALOG, &Dialog::HandleInitDialog),
                                      OnCommand(IDOK, &Dialog::OnOK),
                                      OnCommand(IDCANCEL, &Dialog::OnCancel),
                                  }};

Dialog::Dialog(UINT templateId, HINSTANCE module)
    : templateId_(templateId), module_(module ? module : GetModuleHandleW(nullptr)) {}

Dialog::~Dialog() {
    DetachAndDestroy();
}

const MessageTable& Dialog::Messages() const {
    return kTable;
}

bool Dialog::ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

LRESULT Dialog::DefaultProcessing(Message& m) {
    // DefDlgProc first calls the dialog procedure with this very message; the
    // flag makes that call decline, so DefDlgProc carries out its default.
    const Message* outer = forwardingToDefault_;
    forwardingToDefault_ = &m;
    const LRESULT result = DefDlgProcW(m.hwnd, m.message, m.wParam, m.lParam);
    forwardingToDefault_ = outer;
    return result;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        if (self) {
            self->SetHandle(hwnd);
            SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) {
        return FALSE;
    }
    if (const Message* forwarded = self->forwardingToDefault_;
        forwarded && forwarded->message == message && forwarded->wParam == wParam &&
        forwarded->lParam == lParam) {
        self->forwardingToDefault_ = nullptr;
        return FALSE;
    }
    Message m{hwnd, message, wParam, lParam};
    RouteAtBoundary(*self, m);
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(m.result);
    }
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, m.result);
    return TRUE;
}

bool Dialog::HandleInitDialog(Message& m) {
    m.result = OnInitDialog() ? TRUE : FALSE;
    return true;
}

void Dialog::Unbind() {
    HWND hwnd = Handle();
    if (hwnd && GetWindowLongPtrW(hwnd, DWLP_USER) == reinterpret_cast<LONG_PTR>(this)) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    }
    SetHandle(nullptr);
}

Dialog* Dialog::FromHandle(HWND hwnd) {
    if (!hwnd || GetClassLongPtrW(hwnd, GCL_CBWNDEXTRA) < DLGWINDOWEXTRA) {
        return nullptr;
    }
    if (GetWindowLongPtrW(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&Dialog::DialogProc)) {
        return nullptr;
    }
    return reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

bool Dialog::CreateFromTemplate(HWND parent) {
    ended_ = false;
    result_ = -1;
    HWND hwnd = CreateDialogParamW(module_, MAKEINTRESOURCEW(templateId_), parent,
                                   &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr && hwnd == Handle();
}

bool Dialog::CreateModeless(HWND parent) {
    if (Handle()) {
        return false;
    }
    modal_ = false;
    return CreateFromTemplate(parent);
}

INT_PTR Dialog::RunModal(HWND owner) {
    if (Handle()) {
        return -1;
    }
    // Like the dialog manager: the owner is the top-level window, and it is
    // disabled before WM_INITDIALOG (unless something disabled it before us).
    HWND topOwner = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    const bool disableOwner = topOwner && IsWindowEnabled(topOwner);
    if (disableOwner) {
        EnableWindow(topOwner, FALSE);
    }
    modal_ = true;
    if (CreateFromTemplate(topOwner)) {
        if (!ended_ && !IsWindowVisible(Handle())) {
            ShowWindow(Handle(), SW_SHOWNORMAL);
        }
        while (!ended_ && Handle()) {
            MSG msg;
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                result_ = -1;
                break;
            }
            if (got == -1) {
                result_ = -1;
                break;
            }
            if (!PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    // The owner is enabled again before the dialog goes, so that it, and not some
    // other program, becomes the active window.
    if (disableOwner) {
        EnableWindow(topOwner, TRUE);
    }
    Destroy();
    modal_ = false;
    return result_;
}

void Dialog::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (!Handle()) {
        return;
    }
    if (modal_) {
        // Wakes the modal loop when this call did not come from a queued message.
        PostMessageW(Handle(), WM_NULL, 0, 0);
    } else {
        ShowWindow(Handle(), SW_HIDE);
    }
}

bool Dialog::PreTranslateMessage(MSG& msg) {
    HWND hwnd = Handle();
    if (!hwnd) {
        return false;
    }
    const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                       (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST);
    if (!input || (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) {
        return false;
    }
    return IsDialogMessageW(hwnd, &msg) != FALSE;
}

}  // namespace fw
