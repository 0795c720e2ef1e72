#include "ui/widgets/HoverButton.h"

#include "framework/DeviceContexts.h"
#include "res/resource.h"
#include "ui/widgets/HoverFrame.h"

namespace {

// The hover notification comes as soon as the mouse rests at all.
constexpr DWORD kHoverTimeMs = 1;

}  // namespace

const fw::MessageTable CHoverButtonBase::kTable{
    &CPushControl::kTable,
    {
        fw::OnMouse(WM_MOUSEMOVE, &CHoverButtonBase::OnMouseMove),
        fw::OnEraseBackground(&CHoverButtonBase::OnEraseBackground),
        fw::OnMouse(WM_MOUSELEAVE, &CHoverButtonBase::OnMouseLeave),
        fw::OnMouse(WM_MOUSEHOVER, &CHoverButtonBase::OnMouseHover),
        fw::OnSetCursor(&CHoverButtonBase::OnSetCursor),
    }};

const fw::MessageTable& CHoverButtonBase::Messages() const {
    return kTable;
}

CHoverButtonBase::CHoverButtonBase(int frameCount) : frameCount_(frameCount) {
    HandCursor();
}

CHoverButton::CHoverButton() : CHoverButtonBase(hover::kPlainFrameCount) {}

CHoverButton4S::CHoverButton4S() : CHoverButtonBase(hover::kWithDisabledFrameCount) {}

HCURSOR CHoverButtonBase::HandCursor() {
    static const HCURSOR hand =
        LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR));
    return hand;
}

int CHoverButtonBase::LoadStrip(UINT resourceId) {
    strip_.Reset();
    strip_.Reset(
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                        IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    BITMAP info{};
    if (strip_ && GetObjectW(strip_.Get(), sizeof info, &info) == sizeof info) {
        frameWidth_ = HoverFrameWidth(info.bmWidth, frameCount_);
        frameHeight_ = info.bmHeight > 0 ? info.bmHeight : 0;
    } else {
        frameWidth_ = 0;
        frameHeight_ = 0;
    }
    if (Handle()) {
        SetWindowPos(Handle(), HWND_TOP, 0, 0, frameWidth_, frameHeight_,
                     SWP_NOMOVE | SWP_NOOWNERZORDER);
        // A strip of the same size would otherwise show only at the next paint.
        Invalidate(nullptr, false);
    }
    return 1;
}

void CHoverButtonBase::DrawItem(const DRAWITEMSTRUCT& item) {
    const bool disabled =
        (item.itemState & ODS_DISABLED) != 0 || (Handle() && !IsWindowEnabled(Handle()));
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const int frame = ChooseHoverFrame(frameCount_, disabled, selected, hovering_);
    if (frame == hover::kHoverFrame) {
        // The hover look is painted once per visit: a later repaint shows the normal frame.
        hovering_ = false;
    }
    if (!strip_) {
        return;
    }
    fw::MemoryDC strip(item.hDC);
    if (!strip || !strip.Select(strip_.Get())) {
        return;
    }
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, frameWidth_, frameHeight_, strip.Get(),
           frame * frameWidth_, 0, SRCCOPY);
    DrawKeyboardFocus(item);
}

bool CHoverButtonBase::OnMouseMove() {
    if (!tracking_) {
        TRACKMOUSEEVENT request{};
        request.cbSize = sizeof request;
        request.dwFlags = TME_HOVER | TME_LEAVE;
        request.hwndTrack = Handle();
        request.dwHoverTime = kHoverTimeMs;
        tracking_ = TrackMouseEvent(&request);
    }
    currentCursor_ = HandCursor();
    return false;  // the button's own mouse handling follows
}

void CHoverButtonBase::OnMouseHover() {
    hovering_ = true;
    Invalidate(nullptr, false);
    currentCursor_ = HandCursor();
}

void CHoverButtonBase::OnMouseLeave() {
    tracking_ = FALSE;
    hovering_ = false;
    Invalidate(nullptr, false);
    currentCursor_ = nullptr;
}

bool CHoverButtonBase::OnSetCursor(HWND, UINT, UINT) {
    if (!currentCursor_) {
        return false;  // the class cursor (the arrow)
    }
    SetCursor(currentCursor_);
    return true;
}

bool CHoverButtonBase::OnEraseBackground(HDC) {
    // Not erased: DrawItem paints the whole face.
    return false;
}
