// A control created by a dialog template (or by anyone else), subclassed so that
// its messages run through this object's message table. Unhandled messages go on
// to the control's own window procedure (DefSubclassProc).
//
// The parent owns the control window: Detach (also run by the destructor and
// automatically at WM_NCDESTROY) removes the subclass and leaves the window alone.
// An owner-drawn control draws itself: any fw::Window parent hands WM_DRAWITEM and
// WM_MEASUREITEM for an attached control to its DrawItem / MeasureItem.
#pragma once

#include <windows.h>

#include "framework/Window.h"

namespace fw {

class Control : public Window {
  public:
    Control() = default;
    ~Control() override;

    // Subclasses child `id` of `parent` (or `control`). False when there is no
    // such window, this object is attached already, or another Control has it.
    bool Attach(HWND parent, int id);
    bool Attach(HWND control);
    void Detach();

    static Control* FromHandle(HWND hwnd);

    // Owner-draw painting of this control, called through the parent.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    // Return true when the sizes were filled in.
    virtual bool MeasureItem(MEASUREITEMSTRUCT& item);

  protected:
    static const MessageTable kTable;
    const MessageTable& Messages() const override;
    // The control's own window procedure (DefSubclassProc).
    LRESULT DefaultProcessing(Message& m) override;
    void Unbind() override;

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR subclassId, DWORD_PTR refData);
};

}  // namespace fw
