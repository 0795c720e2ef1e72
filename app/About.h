// The About window: product title and version, the file version of the program's own
// version resource, the vendor's web site and support e-mail as links, the vendor's
// notice and a legal notice, and one OK button. A borderless skinned dialog, dragged
// by its top band, run modally over the main window.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "ui/widgets/HoverButton.h"
#include "ui/widgets/TextLink.h"

class CDlgAbout : public fw::Dialog {
  public:
    CDlgAbout();

    // The version shown after "Version:" (the placeholder text when the program's
    // version resource cannot be read).
    const std::wstring& VersionText() const { return versionText_; }

  protected:
    const fw::MessageTable& Messages() const override;
    bool OnInitDialog() override;
    // Enter never closes the window; OK is the button's alone.
    void OnOK() override {}

  private:
    static const fw::MessageTable kTable;

    void OnOkButton();
    void OnPaint(HDC dc);
    void OnLButtonDown(POINT point);
    void OnMouseMove(POINT point);
    void OnLButtonUp(POINT point);
    void OpenWebsite();
    void OpenMail();

    CHoverButton okButton_;
    // The two links, for the keyboard (the window paints them).
    CTextLink websiteLink_;
    CTextLink emailLink_;
    std::wstring versionText_;
};
