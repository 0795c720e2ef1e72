// Fixed pixel layout of the main window and the decisions that depend only on it:
// which bitmap a workflow item shows, where the banner links are, where the window
// can be dragged. The window itself only draws and routes.
#pragma once

#include <windows.h>

#include "res/resource.h"

namespace main_layout {

inline constexpr int kWidth = 855;
inline constexpr int kHeight = 599;
inline constexpr int kDragBandHeight = 30;
inline constexpr int kCornerEllipse = 5;

inline constexpr RECT kAboutArea = {731, 31, 782, 49};
inline constexpr RECT kHelpArea = {792, 31, 833, 49};
inline constexpr RECT kAboutText = {731, 31, 766, 49};
inline constexpr RECT kHelpText = {792, 31, 817, 49};
inline constexpr POINT kAboutIcon = {766, 31};
inline constexpr POINT kHelpIcon = {817, 31};
inline constexpr int kLinkIconSize = 16;

// What a workflow step change repaints: the panel and the banner links.
inline constexpr RECT kWorkflowPanelDirty = {6, 86, 197, 277};
inline constexpr RECT kLinksDirty = {731, 31, 833, 49};

struct Placed {
    int x, y, width, height;
};
inline constexpr Placed kMinimizeButton = {775, 1, 33, 17};
inline constexpr Placed kCloseButton = {800, 1, 40, 17};
inline constexpr Placed kUpdateButton = {699, 54, 150, 20};

struct Blit {
    UINT bitmap;
    int x, y, width, height;
};
// The frame, in drawing order, and the panel pieces around it.
inline constexpr Blit kFrame[] = {
    {IDB_FRAME_LEFT, 0, 0, 6, 599},
    {IDB_BANNER, 6, 0, 842, 74},
    {IDB_FRAME_BOTTOM, 6, 576, 842, 23},
    {IDB_FRAME_RIGHT, 848, 0, 7, 599},
};
inline constexpr int kPanelLeft = 6;
inline constexpr int kPanelStripCount = 191;  // x = 6 ... 196
inline constexpr int kPanelTop = 80;
inline constexpr int kPanelStripHeight = 502;
inline constexpr Blit kPanelSeparator = {IDB_PANEL_SEPARATOR, 197, 74, 2, 502};

inline constexpr int kStepCount = 4;
inline constexpr int kStepItemX = 6;
inline constexpr int kStepItemWidth = 191;
inline constexpr int kStepItemHeight = 40;
inline constexpr int kStepItemY[kStepCount] = {92, 132, 172, 212};
inline constexpr RECT kStepLabel[kStepCount] = {
    {77, 102, 177, 122}, {77, 141, 177, 161}, {77, 182, 177, 202}, {77, 223, 177, 243}};
inline constexpr UINT kStepLabelText[kStepCount] = {IDS_STEP_WELCOME, IDS_STEP_SCAN,
                                                    IDS_STEP_RESULTS, IDS_STEP_OPTIMIZE};
inline constexpr COLORREF kCurrentStepColour = RGB(14, 75, 153);
inline constexpr COLORREF kOtherStepColour = RGB(82, 82, 82);

// The page container sits right of the panel and below the banner.
inline constexpr int kContainerX = 199;
inline constexpr int kContainerY = 74;
inline RECT ContainerRect(int clientWidth, int clientHeight) {
    return {kContainerX, kContainerY, kContainerX + clientWidth - 204,
            kContainerY + clientHeight - 97};
}

// The image of workflow step `step` (1 Welcome ... 4 Optimize).
UINT StepImage(int step, bool current);

bool InDragBand(POINT client, int clientWidth);

enum class Link { None, About, Help };
// The link under `client`, given the current (possibly zeroed) link areas.
Link LinkAt(POINT client, const RECT& aboutArea, const RECT& helpArea);

}  // namespace main_layout
