// CLegend, one swatch of the volume map's legend: an owner-drawn button (created
// disabled, so it takes no clicks) that shows one skin bitmap at its origin,
// unscaled. The parent owns the window; the bitmap is the shared skin bitmap of
// the program's resources (ui/SkinBitmaps.h), borrowed.
#pragma once

#include <windows.h>

#include "framework/Control.h"

class CLegend : public fw::Control {
  public:
    // The bitmap resource the swatch shows; 0 draws nothing.
    void SetBitmap(UINT resourceId);
    UINT BitmapId() const { return bitmapId_; }

    void DrawItem(const DRAWITEMSTRUCT& item) override;

  private:
    UINT bitmapId_ = 0;
};
