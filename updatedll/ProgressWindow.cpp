#include "updatedll/ProgressWindow.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "updatedll/InputRules.h"
#include "updatedll/UpdateDllResources.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace upd {

namespace {

constexpr UINT kPercentMessage = WM_APP + 1;

std::wstring LoadText(UINT id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(LibraryModule(), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

}  // namespace

HINSTANCE LibraryModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

bool ProgressWindow::Create(HWND owner) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    window_ = CreateDialogParamW(LibraryModule(), MAKEINTRESOURCEW(IDD_UPD_PROGRESS), owner,
                                 &ProgressWindow::Procedure, reinterpret_cast<LPARAM>(this));
    if (window_ == nullptr) {
        return false;
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    return true;
}

void ProgressWindow::Destroy() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, DWLP_USER, 0);
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

void ProgressWindow::Report(std::uint64_t received, std::uint64_t total) {
    const int percent = PercentOf(received, total);
    if (lastPercent_.exchange(percent) != percent && window_ != nullptr) {
        PostMessageW(window_, kPercentMessage, static_cast<WPARAM>(percent), 0);
    }
}

bool ProgressWindow::IsDialogMessage(MSG& message) const {
    return window_ != nullptr && ::IsDialogMessageW(window_, &message);
}

INT_PTR CALLBACK ProgressWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<ProgressWindow*>(lParam);
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            self->window_ = window;
            self->OnInit();
            return TRUE;
        }
        auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, DWLP_USER));
        if (self == nullptr) {
            return FALSE;
        }
        switch (message) {
            case kPercentMessage:
                self->ShowPercent(static_cast<int>(wParam));
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wParam) == IDCANCEL) {
                    self->OnCancel();
                    return TRUE;
                }
                break;
            default:
                break;
        }
    } catch (...) {
        // Nothing unwinds into the system's dialog code.
    }
    return FALSE;
}

void ProgressWindow::OnInit() {
    SetWindowTextW(window_, LoadText(IDS_UPD_PROGRESS_TITLE).c_str());
    SetDlgItemTextW(window_, IDC_UPD_TEXT, LoadText(IDS_UPD_PROGRESS_WAITING).c_str());
    SetDlgItemTextW(window_, IDCANCEL, LoadText(IDS_UPD_CANCEL).c_str());
    SendDlgItemMessageW(window_, IDC_UPD_BAR, PBM_SETRANGE32, 0, 100);
    CenterOverOwner();
}

void ProgressWindow::CenterOverOwner() {
    HWND owner = GetWindow(window_, GW_OWNER);
    RECT ownerRect = {}, own = {};
    if (owner == nullptr || !IsWindowVisible(owner) || !GetWindowRect(owner, &ownerRect) ||
        !GetWindowRect(window_, &own)) {
        return;  // the template centres it on the screen
    }
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
    const int y = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ProgressWindow::ShowPercent(int percent) {
    if (cancel_.Cancelled()) {
        return;
    }
    const std::wstring format = LoadText(IDS_UPD_PROGRESS_TEXT);
    wchar_t text[128] = {};
    if (!format.empty()) {
        swprintf(text, 128, format.c_str(), percent);
    }
    SetDlgItemTextW(window_, IDC_UPD_TEXT, text);
    SendDlgItemMessageW(window_, IDC_UPD_BAR, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void ProgressWindow::OnCancel() {
    SetDlgItemTextW(window_, IDC_UPD_TEXT, LoadText(IDS_UPD_CANCELLING).c_str());
    EnableWindow(GetDlgItem(window_, IDCANCEL), FALSE);
    cancel_.Cancel();
}

}  // namespace upd
