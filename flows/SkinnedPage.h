// The skeleton every skinned page of the scan-and-optimize flow shares: painting
// covers the whole client area (no background erase), controls draw with a
// transparent background on the program's white brush, Enter and Escape do nothing,
// the page puts its controls at fixed places on every resize, and a text link the
// page paints shows the hand cursor and answers a left-button release; the keyboard
// reaches the link through a control over it (ui/widgets/TextLink.h).
#pragma once

#include <windows.h>

#include "framework/Dialog.h"
#include "ui/widgets/TextLink.h"

// Whether a point lies in a rectangle (an empty rectangle contains nothing).
bool PointIn(const RECT& rect, POINT point);

class SkinnedPage : public fw::Dialog {
  public:
    using fw::Dialog::Dialog;

  protected:
    static const fw::MessageTable kTable;
    const fw::MessageTable& Messages() const override;

    // Enter and Escape do nothing on a page.
    void OnOK() override {}
    void OnCancel() override {}

    // Moves the page's controls to their places; called on every resize.
    virtual void PlaceControls() {}
    // The colours of static control `id`: sets its text colour on `dc` and answers
    // the brush behind it. Black on white unless a page says otherwise.
    virtual HBRUSH StaticColours(HDC dc, int id);
    // The page's text link in client coordinates (empty: none at the moment), and
    // what a click on it does.
    virtual const RECT& LinkArea() const;
    virtual void OnLinkClicked() {}
    // Makes the link's control (once the window exists), with string `captionId` as
    // its name; RefreshLink follows LinkArea and a new caption.
    void CreateLink(UINT captionId);
    void RefreshLink(const std::wstring& caption = std::wstring());
    // The link's control (null before CreateLink), for the page's Tab order.
    HWND LinkWindow() const { return link_.Handle(); }

  private:
    void OnSize() { PlaceControls(); }
    bool OnEraseBackground(HDC) { return true; }
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message);
    bool OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    void OnLButtonUp(POINT point);

    CTextLink link_;
};
