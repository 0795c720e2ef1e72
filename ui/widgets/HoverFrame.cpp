#include "ui/widgets/HoverFrame.h"

int ChooseHoverFrame(int frameCount, bool disabled, bool selected, bool hovering) {
    if (frameCount >= hover::kWithDisabledFrameCount && disabled) {
        return hover::kDisabledFrame;
    }
    if (selected) {
        return hover::kPressedFrame;
    }
    if (hovering) {
        return hover::kHoverFrame;
    }
    return hover::kNormalFrame;
}

int HoverFrameWidth(int stripWidth, int frameCount) {
    if (stripWidth <= 0 || frameCount <= 0) {
        return 0;
    }
    return stripWidth / frameCount;
}
