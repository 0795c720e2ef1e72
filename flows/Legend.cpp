#include "flows/Legend.h"

#include "ui/widgets/SkinPainter.h"
#include "ui/widgets/SkinBitmaps.h"

void CLegend::SetBitmap(UINT resourceId) {
    bitmapId_ = resourceId;
    if (Handle() != nullptr) {
        Invalidate(nullptr, false);
    }
}

void CLegend::DrawItem(const DRAWITEMSTRUCT& item) {
    if (bitmapId_ == 0) {
        return;
    }
    SkinPainter(item.hDC).Draw(bitmapId_, 0, 0, item.rcItem.right - item.rcItem.left,
                               item.rcItem.bottom - item.rcItem.top);
}
