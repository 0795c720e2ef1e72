#include "ui/widgets/XTMemDC.h"

#include "ui/widgets/SharedBrushes.h"

namespace {

int Width(const RECT& r) {
    return r.right - r.left;
}

int Height(const RECT& r) {
    return r.bottom - r.top;
}

}  // namespace

RECT CXTMemDC::AreaFor(HDC target, const RECT& requested) {
    if (!IsRectEmpty(&requested)) {
        return requested;
    }
    RECT clip{};
    if (!target || GetClipBox(target, &clip) == ERROR) {
        return RECT{};
    }
    return clip;
}

CXTMemDC::CXTMemDC(HDC target, const RECT& area)
    : target_(target), area_(AreaFor(target, area)), memory_(target) {
    if (IsRectEmpty(&area_)) {
        return;  // nothing to draw, nothing to copy
    }
    buffer_.Reset(CreateCompatibleBitmap(target_, Width(area_), Height(area_)));
    buffered_ = memory_ && buffer_ && memory_.Select(buffer_.Get());
    if (buffered_) {
        // The buffer's pixel 0,0 is the area's top left corner; callers draw in the
        // target's coordinates.
        SetViewportOrgEx(memory_.Get(), -area_.left, -area_.top, nullptr);
    }
    SetBkMode(Get(), TRANSPARENT);
    FillRect(Get(), &area_, WhiteBrush());
}

CXTMemDC::~CXTMemDC() {
    if (buffered_) {
        BitBlt(target_, area_.left, area_.top, Width(area_), Height(area_), memory_.Get(),
               area_.left, area_.top, SRCCOPY);
    }
}
