// A dialog from a resource template of the program's module.
//
// RunModal runs the dialog with the layer's own modal loop: the owner is disabled,
// and every message taken from the queue passes the application's message filter
// (Application::PreTranslateMessage) and the PreTranslateMessage of its window and
// the parents before the dialog's own dialog-key processing (IsDialogMessage).
// CreateModeless makes a modeless dialog, or a child page when the template has
// WS_CHILD (give pages DS_CONTROL so the top-level dialog's Tab order enters them).
//
// Results: handlers answer the dialog manager the way it expects: WM_INITDIALOG,
// WM_CTLCOLOR*, WM_COMPAREITEM, WM_VKEYTOITEM, WM_CHARTOITEM and WM_QUERYDRAGICON
// return their result directly, every other message through DWLP_MSGRESULT.
// Messages before WM_INITDIALOG get the dialog manager's default handling.
#pragma once

#include <windows.h>

#include "framework/Window.h"

namespace fw {

class Dialog : public Window {
  public:
    // `module` holds the template; null = the program's own module.
    explicit Dialog(UINT templateId, HINSTANCE module = nullptr);
    ~Dialog() override;

    // Creates the dialog, disables the owner's top-level window, runs the modal
    // loop until EndDialog, re-enables the owner (if it was enabled), destroys the
    // dialog and returns the EndDialog value. -1 when the template cannot be
    // loaded, the dialog is already open, or WM_QUIT arrives (it is posted again
    // for the outer loop).
    INT_PTR RunModal(HWND owner);
    // Creates a modeless dialog (or a child page) with `parent`; it is shown only if
    // its template says WS_VISIBLE.
    bool CreateModeless(HWND parent);
    // Modal: ends the loop with `result`. Modeless: records `result` and hides the dialog.
    void EndDialog(INT_PTR result);

    bool IsModal() const { return modal_; }
    bool HasEnded() const { return ended_; }
    INT_PTR Result() const { return result_; }
    UINT TemplateId() const { return templateId_; }

    // Dialog-key processing for input messages; a child page leaves it to its top-level dialog.
    bool PreTranslateMessage(MSG& msg) override;

    static Dialog* FromHandle(HWND hwnd);
    // True for the messages whose dialog-procedure return value is their result.
    static bool ReturnsResultDirectly(UINT message);

  protected:
    static const MessageTable kTable;
    const MessageTable& Messages() const override;
    // The dialog manager's default handling (DefDlgProc), callable from a handler.
    LRESULT DefaultProcessing(Message& m) override;

    // true = let the dialog manager set the focus; false = the handler set it.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateFromTemplate(HWND parent);
    bool HandleInitDialog(Message& m);
    void Unbind() override;

    UINT templateId_;
    HINSTANCE module_;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = -1;
    // The message DefaultProcessing is handing to DefDlgProc: DefDlgProc calls the
    // dialog procedure with it first, and that call must decline it.
    const Message* forwardingToDefault_ = nullptr;
};

}  // namespace fw
