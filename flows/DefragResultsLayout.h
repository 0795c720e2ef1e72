// Fixed pixel layout and colours of the optimization results page (dialog
// IDD_DEFRAG_RESULTS).
#pragma once

#include <windows.h>

#include "ui/widgets/SkinPainter.h"
#include "framework/Window.h"
#include "res/resource.h"

namespace defrag_results_layout {

using Placed = fw::PlacedItem;

// Placed on every resize.
inline constexpr Placed kPlaced[] = {
    {IDC_DEFRAG_TITLE, 80, 20, 215, 22},
    {IDC_DEFRAG_DESCRIPTION, 50, 61, 550, 18},
    {IDC_DEFRAG_BACK, 467, 448, 156, 35},
};

inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kLabelColour = RGB(1, 43, 93);
inline constexpr COLORREF kGoodColour = RGB(0, 130, 44);
inline constexpr COLORREF kBadColour = RGB(169, 1, 1);
inline constexpr COLORREF kFreeBarColour = RGB(0, 216, 79);
inline constexpr COLORREF kUsedBarColour = RGB(212, 64, 0);

inline constexpr POINT kIcon = {45, 20};
inline constexpr SIZE kIconSize = {25, 24};
inline constexpr POINT kRule = {37, 53};
inline constexpr SIZE kRuleSize = {583, 1};
inline constexpr RECT kStatusText = {300, 20, 550, 45};

inline constexpr FramePieces kBox = {IDB_BOX_LEFT, IDB_BOX_TILE, IDB_BOX_RIGHT, 6, 6, 109};
inline constexpr POINT kDiskBoxAt = {37, 103};
inline constexpr int kDiskBoxTiles = 575;  // x = 43 ... 617
inline constexpr RECT kDiskHeading = {45, 105, 195, 128};
inline constexpr RECT kDriveName = {197, 110, 497, 130};
inline constexpr RECT kFilesLabel = {54, 145, 154, 165};
inline constexpr RECT kFilesValue = {209, 145, 309, 165};
inline constexpr RECT kFoldersLabel = {54, 182, 154, 202};
inline constexpr RECT kFoldersValue = {209, 182, 309, 202};
inline constexpr RECT kFreeLabel = {353, 145, 433, 165};
inline constexpr RECT kUsedLabel = {353, 182, 433, 202};
inline constexpr int kBarX = 453;
inline constexpr int kFreeBarTop = 145;
inline constexpr int kFreeBarBottom = 160;
inline constexpr int kUsedBarTop = 182;
inline constexpr int kUsedBarBottom = 197;

// The two fragmentation boxes side by side.
inline constexpr POINT kDataBoxAt = {37, 261};
inline constexpr int kDataBoxTiles = 281;
inline constexpr POINT kVolumeBoxAt = {340, 261};
inline constexpr int kVolumeBoxTiles = 272;

inline constexpr RECT kDataHeading = {45, 265, 245, 290};
inline constexpr RECT kDataAfterLabel = {45, 300, 165, 320};
inline constexpr RECT kDataAfterValue = {170, 300, 290, 320};
inline constexpr RECT kDataBeforeLabel = {45, 335, 165, 355};
inline constexpr RECT kDataBeforeValue = {170, 335, 290, 355};
inline constexpr RECT kVolumeHeading = {355, 262, 560, 287};
inline constexpr RECT kVolumeAfterLabel = {355, 300, 475, 320};
inline constexpr RECT kVolumeAfterValue = {480, 300, 600, 320};
inline constexpr RECT kVolumeBeforeLabel = {355, 335, 475, 355};
inline constexpr RECT kVolumeBeforeValue = {480, 335, 600, 355};
inline constexpr RECT kAbortedMarks[] = {{235, 355, 285, 375}, {555, 355, 605, 375}};

inline constexpr int kFooterY = 435;
inline constexpr int kFooterLastX = 649;
inline constexpr SIZE kFooterStripSize = {2, 64};

inline constexpr RECT kReportLink = {50, 455, 200, 472};

// The main window's area that shows the selection page's summary.
inline constexpr RECT kMainSummaryDirty = {206, 305, 626, 425};

}  // namespace defrag_results_layout
