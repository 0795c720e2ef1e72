// Bitmap push buttons of the skinned windows. The picture comes from a strip of
// frames laid side by side (normal, pressed, hovered and, for CHoverButton4S,
// disabled); the button draws no text. While the mouse is over the button the
// cursor is the program's hand cursor; when the mouse rests on it the hover frame
// is painted once.
//
// A window attaches a button to an owner-drawn push button of its template
// (fw::Control::Attach) and loads the strip; the parent's WM_DRAWITEM reaches
// DrawItem through the layer. The parent owns the button window; the button owns
// its strip bitmap. The hand cursor is a shared resource cursor, never freed.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"
#include "ui/widgets/PushControl.h"

// The behaviour both button kinds share; they differ only in the frame count.
class CHoverButtonBase : public CPushControl {
  public:
    ~CHoverButtonBase() override = default;

    // Replaces the strip with bitmap resource `resourceId` of the program's module
    // and sizes the button to one frame, keeping its position and bringing it to
    // the top of its siblings. A missing resource leaves no strip and a 0 x 0
    // button. Returns 1.
    int LoadStrip(UINT resourceId);

    void DrawItem(const DRAWITEMSTRUCT& item) override;

    int FrameCount() const { return frameCount_; }
    SIZE FrameSize() const { return SIZE{frameWidth_, frameHeight_}; }
    bool HasStrip() const { return static_cast<bool>(strip_); }
    bool IsHovering() const { return hovering_; }
    bool IsTracking() const { return tracking_ != FALSE; }
    // The cursor WM_SETCURSOR shows: the hand while the mouse is over the button,
    // null (the class cursor) otherwise.
    HCURSOR CurrentCursor() const { return currentCursor_; }

    // The program's hand cursor (cursor resource IDC_HAND_CURSOR), loaded once;
    // null when the module has no such resource.
    static HCURSOR HandCursor();

  protected:
    explicit CHoverButtonBase(int frameCount);

    static const fw::MessageTable kTable;
    const fw::MessageTable& Messages() const override;

  private:
    bool OnMouseMove();
    void OnMouseHover();
    void OnMouseLeave();
    bool OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    bool OnEraseBackground(HDC dc);

    const int frameCount_;
    HCURSOR currentCursor_ = nullptr;
    fw::Bitmap strip_;
    bool hovering_ = false;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    // TrackMouseEvent's answer: nonzero while leave and hover notifications are armed.
    BOOL tracking_ = FALSE;
};

// Three frames: normal, pressed, hovered. A disabled button shows the normal frame.
class CHoverButton : public CHoverButtonBase {
  public:
    CHoverButton();
};

// Four frames: normal, pressed, hovered, disabled. Disabled wins over the others.
class CHoverButton4S : public CHoverButtonBase {
  public:
    CHoverButton4S();
};
