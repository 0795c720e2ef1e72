// What every push control of the skinned windows shares for the keyboard and for
// assistive technology: a caption from the string table as its window text (the
// name the system's accessibility proxy reads), Enter on the focused control
// pressing it as a click does (Space already does, as for any push button), and a
// focus mark drawn only when the focus came from the keyboard.
#pragma once

#include <windows.h>

#include "framework/Control.h"

class CPushControl : public fw::Control {
  public:
    // The control's window text: string `stringId` of the string table.
    void SetCaption(UINT stringId);

    // Enter on the focused control clicks it; the dialog manager would otherwise
    // take it as the window's default command, which does nothing.
    bool PreTranslateMessage(MSG& msg) override;

  protected:
    static const fw::MessageTable kTable;
    const fw::MessageTable& Messages() const override;

    // Draws the dotted focus rectangle inside `item`'s rectangle when the control has
    // the focus and the window shows focus marks (the keyboard moved the focus).
    static void DrawKeyboardFocus(const DRAWITEMSTRUCT& item);

  private:
    // The window's focus marks were switched on or off (the keyboard took over, or
    // the window starts without them): the mark follows at the next paint.
    bool OnUpdateUiState(fw::Message& m);
};
