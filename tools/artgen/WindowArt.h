// Artwork of the main window's frame and panel, the splash, the About window
// and the notification popup.
#pragma once

#include "tools/artgen/Canvas.h"

namespace artgen {

// A faint field of cluster cells in `area`, brightest at its centre, as a motif on
// the blue backgrounds.
void DrawCellField(Canvas& canvas, RECT area, double strength);
// "Vantrel" in white with its shadow, and "Brenlow" below it; `size` is the name's
// pixel height.
void DrawWordmark(Canvas& canvas, int left, int top, int size);

Canvas DrawBanner();
Canvas DrawFrameLeft();
Canvas DrawFrameRight();
Canvas DrawFrameBottom();
Canvas DrawPanelBackground();
Canvas DrawPanelSeparator();
// Workflow item `step` (1..4), the current step or not.
Canvas DrawWorkflowStep(int step, bool current);
Canvas DrawAboutLinkIcon();
Canvas DrawHelpLinkIcon();
Canvas DrawSplash();
Canvas DrawAboutBackground();
Canvas DrawPopupBackground();

}  // namespace artgen
