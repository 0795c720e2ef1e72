// Artwork of the main window's frame and panel, the splash, the About window
// and the notification popup.
#pragma once

#include "tools/artgen/Canvas.h"

namespace artgen {

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
