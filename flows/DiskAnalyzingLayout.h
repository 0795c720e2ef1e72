// Fixed pixel layout of the progress page (dialog IDD_PROGRESS): where its
// controls go, what it paints, and which bitmap each legend swatch shows.
#pragma once

#include <windows.h>

#include "framework/Window.h"
#include "res/resource.h"

namespace progress_layout {

using Placed = fw::PlacedItem;

// Placed on every resize.
inline constexpr Placed kPlaced[] = {
    {IDC_PROGRESS_TITLE, 77, 18, 500, 24},         {IDC_PROGRESS_DESCRIPTION, 37, 61, 600, 18},
    {IDC_PROGRESS_MAP, 37, 86, 577, 208},          {IDC_PROGRESS_NOW_LABEL, 37, 345, 80, 25},
    {IDC_PROGRESS_PATH, 119, 345, 501, 26},        {IDC_PROGRESS_BAR, 37, 375, 516, 20},
    {IDC_PROGRESS_SEE_RESULTS, 467, 448, 152, 34}, {IDC_PROGRESS_VIEW_REPORT, 467, 448, 152, 34},
};

// The stop buttons, placed when a job starts.
inline constexpr Placed kStopButton = {IDC_PROGRESS_STOP, 556, 374, 62, 22};
inline constexpr Placed kStopDefragButton = {IDC_PROGRESS_STOP_DEFRAG, 556, 374, 57, 22};

// Legend swatches and their labels, in the order of the controls.
struct LegendEntry {
    int swatchId;
    UINT bitmap;
    int swatchX;
    int labelId;
    UINT text;
    int labelX;
    int labelWidth;
};
inline constexpr int kSwatchY = 305;
inline constexpr int kSwatchSize = 10;
inline constexpr int kLegendLabelY = 303;
inline constexpr int kLegendLabelHeight = 18;
inline constexpr LegendEntry kLegend[] = {
    {IDC_PROGRESS_LEGEND_FRAGMENTED, IDB_LEGEND_FRAGMENTED, 47, IDC_PROGRESS_LABEL_FRAGMENTED,
     IDS_LEGEND_FRAGMENTED, 62, 80},
    {IDC_PROGRESS_LEGEND_OPTIMIZED, IDB_LEGEND_OPTIMIZED, 147, IDC_PROGRESS_LABEL_OPTIMIZED,
     IDS_LEGEND_OPTIMIZED, 162, 80},
    {IDC_PROGRESS_LEGEND_USED, IDB_LEGEND_USED, 247, IDC_PROGRESS_LABEL_USED, IDS_LEGEND_USED, 262,
     80},
    {IDC_PROGRESS_LEGEND_MFT, IDB_LEGEND_MFT, 347, IDC_PROGRESS_LABEL_MFT, IDS_LEGEND_MFT, 362, 30},
    {IDC_PROGRESS_LEGEND_FREE, IDB_LEGEND_FREE, 407, IDC_PROGRESS_LABEL_FREE, IDS_LEGEND_FREE, 424,
     60},
    {IDC_PROGRESS_LEGEND_PROCESSING, IDB_LEGEND_PROCESSING, 497, IDC_PROGRESS_LABEL_PROCESSING,
     IDS_LEGEND_PROCESSING, 514, 80},
};
inline constexpr int kLegendCount = static_cast<int>(sizeof kLegend / sizeof kLegend[0]);

// Painting.
inline constexpr POINT kRule = {37, 51};
inline constexpr SIZE kRuleSize = {581, 1};
inline constexpr RECT kMapFrame = {36, 85, 615, 295};
inline constexpr RECT kStatusBand = {36, 294, 615, 327};
inline constexpr RECT kStatusBandFill = {37, 295, 614, 326};
inline constexpr COLORREF kFrameColour = RGB(177, 218, 255);
inline constexpr COLORREF kBandColour = RGB(243, 249, 255);
inline constexpr POINT kModeIcon = {45, 19};
inline constexpr SIZE kModeIconSize = {25, 24};
inline constexpr int kFooterY = 435;
inline constexpr SIZE kFooterStripSize = {2, 64};
inline constexpr int kFooterWidth = 650;  // the strip is drawn at every x below this

// The optimize-mode hint below the footer line.
inline constexpr COLORREF kHintColour = RGB(54, 72, 63);
inline constexpr RECT kHintClick = {37, 456, 103, 476};
inline constexpr RECT kHintStopNow = {103, 456, 162, 476};
inline constexpr RECT kHintRest = {162, 456, 362, 476};

inline constexpr COLORREF kDescriptionColour = RGB(82, 75, 75);

}  // namespace progress_layout
