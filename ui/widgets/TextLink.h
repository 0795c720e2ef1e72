// A text link a skinned window paints itself (an underlined text in a fixed
// rectangle), made reachable from the keyboard and by assistive technology: a
// focusable owner-drawn button over the link's rectangle with the link's caption as
// its window text. The mouse passes through it to the window, which keeps its own
// hand cursor and click handling. The control shows the window's own picture of its
// rectangle (the window paints it on WM_PRINTCLIENT), with a focus mark when the
// focus came from the keyboard; Space or Enter on it sends the window command `id`,
// as a click on the link does.
//
// The window owns the control's window (it is a child); the object only subclasses it.
#pragma once

#include <windows.h>

#include <string>

#include "ui/widgets/PushControl.h"

class CTextLink : public CPushControl {
  public:
    // Creates the control as child `id` of `parent` at `area` (the parent's client
    // coordinates), with string `captionId` as its caption. An empty area hides it.
    bool Create(HWND parent, int id, const RECT& area, UINT captionId);
    // The same with a caption that is not in the string table (an address).
    bool Create(HWND parent, int id, const RECT& area, const std::wstring& caption);
    // Moves the control to `area`; an empty area hides and disables it (a link that
    // is not armed is no stop for the keyboard).
    void SetArea(const RECT& area);

    void DrawItem(const DRAWITEMSTRUCT& item) override;

  protected:
    static const fw::MessageTable kTable;
    const fw::MessageTable& Messages() const override;

  private:
    bool OnNcHitTest(fw::Message& m);
    void OnFocusChange();
};
