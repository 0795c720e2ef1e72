// Fixed pixel layout and colours of the drive selection page (dialog IDD_SELECT_DISK).
#pragma once

#include <windows.h>

#include "ui/widgets/SkinPainter.h"
#include "framework/Window.h"
#include "res/resource.h"

namespace select_layout {

using Placed = fw::PlacedItem;

// Placed on every resize.
inline constexpr Placed kPlaced[] = {
    {IDC_SELECT_TITLE, 78, 19, 500, 27},          {IDC_SELECT_DESCRIPTION, 47, 60, 575, 51},
    {IDC_SELECT_CAPTION, 80, 130, 250, 25},       {IDC_SELECT_DRIVES, 80, 160, 508, 20},
    {IDC_SELECT_HINT, 300, 185, 300, 25},         {IDC_SELECT_START_SCAN, 442, 213, 146, 34},
    {IDC_SELECT_OPTIMIZE_NOW, 442, 213, 146, 34}, {IDC_SELECT_SPARE, 442, 213, 146, 34},
};

// Colours.
inline constexpr COLORREF kBadColour = RGB(169, 1, 1);
inline constexpr COLORREF kGoodColour = RGB(0, 130, 44);
inline constexpr COLORREF kLinkColour = RGB(0, 30, 255);
inline constexpr COLORREF kLastStatusColour = RGB(113, 113, 113);
inline constexpr COLORREF kLabelColour = RGB(15, 68, 138);
inline constexpr COLORREF kDescriptionColour = RGB(82, 75, 75);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);

// Skin.
inline constexpr POINT kTitleIcon = {45, 19};
inline constexpr SIZE kTitleIconSize = {25, 24};
inline constexpr POINT kRule = {37, 51};
inline constexpr SIZE kRuleSize = {583, 1};
inline constexpr int kBoxX = 37;
inline constexpr int kDriveBoxY = 120;
inline constexpr int kDriveBoxTiles = 577;
inline constexpr FramePieces kDriveBox = {
    IDB_DRIVE_BOX_LEFT, IDB_DRIVE_BOX_TILE, IDB_DRIVE_BOX_RIGHT, 6, 6, 150};
inline constexpr POINT kDriveIcon = {42, 128};
inline constexpr SIZE kDriveIconSize = {28, 28};
inline constexpr int kStatusBoxY = 290;
inline constexpr int kStatusBoxTiles = 505;
// The status box ends in two pieces: 298 (72 wide), then 296.
inline constexpr FramePieces kStatusBox = {
    IDB_STATUS_BOX_LEFT, IDB_STATUS_BOX_TILE, IDB_STATUS_BOX_RIGHT, 6, 72, 170};
inline constexpr int kStatusBoxEndX = kBoxX + 6 + kStatusBoxTiles + 72;
inline constexpr SIZE kStatusBoxEndSize = {6, 170};
inline constexpr POINT kAttentionIcon = {42, 295};
inline constexpr SIZE kAttentionIconSize = {25, 24};
inline constexpr SIZE kStatusRuleSize = {520, 1};
inline constexpr POINT kStatusRules[] = {{78, 371}, {78, 404}};

// Texts.
inline constexpr RECT kAttentionText = {77, 295, 197, 315};
inline constexpr RECT kActionLabel = {80, 346, 270, 366};
inline constexpr RECT kLastStatusLabel = {80, 380, 190, 400};
inline constexpr RECT kActionText = {243, 346, 543, 366};
inline constexpr RECT kLinkText = {500, 346, 591, 366};
inline constexpr RECT kLastStatusText = {243, 380, 593, 400};

// The clickable area of the action link, when armed.
inline constexpr RECT kLinkArea = {500, 346, 591, 346 + 17};

// Repainted after a selection change, and after a status evaluation.
inline constexpr RECT kSummaryDirty = {206, 305, 626, 425};
inline constexpr RECT kStatusIconDirty = {45, 300, 75, 400};

}  // namespace select_layout
