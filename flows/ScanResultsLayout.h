// Fixed pixel layout and colours of the scan results page (dialog IDD_SCAN_RESULTS).
#pragma once

#include <windows.h>

#include "ui/widgets/SkinPainter.h"
#include "framework/Window.h"
#include "res/resource.h"

namespace scan_results_layout {

using Placed = fw::PlacedItem;

// Placed on every resize.
inline constexpr Placed kPlaced[] = {
    {IDC_SCAN_TITLE, 78, 19, 160, 22},      {IDC_SCAN_DESCRIPTION, 47, 60, 575, 34},
    {IDC_SCAN_DETECTED, 244, 225, 380, 30}, {IDC_SCAN_CANCEL, 339, 451, 118, 34},
    {IDC_SCAN_DEFRAG, 467, 451, 156, 35},
};

inline constexpr COLORREF kFigureColour = RGB(190, 4, 0);
inline constexpr COLORREF kPercentColour = RGB(198, 0, 0);
inline constexpr COLORREF kRecommendationColour = RGB(1, 88, 181);
inline constexpr COLORREF kDescriptionColour = RGB(82, 75, 75);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);

inline constexpr POINT kHeader = {0, 0};
inline constexpr SIZE kHeaderSize = {650, 105};
inline constexpr RECT kFilesScanned = {499, 6, 629, 21};

inline constexpr SIZE kBadgeSize = {172, 53};
inline constexpr POINT kFragmentedBadge = {48, 110};
inline constexpr RECT kFragmentedCount = {83, 120, 218, 150};
inline constexpr RECT kFilesLine = {244, 110, 744, 135};
inline constexpr RECT kDetectedLine = {244, 139, 604, 169};
inline constexpr POINT kNonOptimizedBadge = {48, 199};
inline constexpr RECT kNonOptimizedAmount = {83, 211, 218, 241};
inline constexpr RECT kNonOptimizedUnit = {244, 199, 644, 224};

inline constexpr FramePieces kBox = {IDB_BOX_LEFT, IDB_BOX_TILE, IDB_BOX_RIGHT, 6, 6, 109};
inline constexpr POINT kBoxAt = {37, 288};
inline constexpr int kBoxTiles = 574;  // x = 43 ... 616
inline constexpr POINT kRecommendIcon = {45, 292};
inline constexpr SIZE kRecommendIconSize = {25, 24};
inline constexpr RECT kRecommendationLarge = {76, 293, 476, 318};
inline constexpr RECT kRecommendationSmall = {91, 295, 481, 318};

inline constexpr RECT kVolumeLabel = {215, 335, 365, 355};
inline constexpr RECT kVolumeValue = {360, 335, 520, 355};
inline constexpr RECT kDataLabel = {215, 375, 335, 395};
inline constexpr RECT kDataValue = {358, 375, 520, 395};

inline constexpr int kFooterY = 435;
inline constexpr int kFooterLastX = 649;
inline constexpr SIZE kFooterStripSize = {2, 64};

inline constexpr RECT kHintClick = {283, 411, 320, 431};
inline constexpr RECT kHintOptimizeNow = {320, 411, 424, 431};
inline constexpr RECT kHintRest = {424, 411, 649, 431};

inline constexpr RECT kReportLink = {50, 450, 200, 467};

}  // namespace scan_results_layout
