// Shape and placement shared by the skinned top-level windows.
#pragma once

#include <windows.h>

// Centres `window` over `reference`, or over the work area when there is none.
void CenterWindow(HWND window, HWND reference = nullptr);

// Clips a borderless window to the rounded rectangle of its client area (right and
// bottom edges plus one, corner ellipse 5 x 5).
void ApplyRoundedRegion(HWND window);
