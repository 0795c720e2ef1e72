// Pictures of the HTML summary reports: the header (logo, name, a repeated middle
// piece and a right end), the menu column's background, separator and arrow, the
// heading bar, the foot bar and a one-pixel spacer.
#pragma once

#include "tools/artgen/Canvas.h"

namespace artgen {

inline constexpr int kReportHeaderHeight = 70;

Canvas DrawReportHeaderLeftImage();  // 80 x 70
Canvas DrawReportHeaderLeftText();   // 253 x 70
Canvas DrawReportHeaderTopMiddle();  // 16 x 70, repeated across the header
Canvas DrawReportHeaderTopRight();   // 156 x 70
Canvas DrawReportMenuBackground();   // 187 x 1, repeated down the menu column
Canvas DrawReportMenuSeparator();    // 176 x 2
Canvas DrawReportMenuArrow();        // 11 x 11
Canvas DrawReportHeadingBar();       // 650 x 30
Canvas DrawReportFooterBar();        // 16 x 25, repeated across the foot
Canvas DrawReportSpacer();           // 1 x 1

}  // namespace artgen
