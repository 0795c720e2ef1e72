// The brushes the skinned windows paint backgrounds with (WM_CTLCOLOR* answers,
// panel fills). They are created once, on the first call of BuildSharedBrushes or
// of any accessor, and live until the process ends. Callers borrow them and never
// delete them.
#pragma once

#include <windows.h>

inline constexpr COLORREF kWhiteBrushColour = RGB(255, 255, 255);
inline constexpr COLORREF kCreamBrushColour = RGB(250, 249, 228);
inline constexpr COLORREF kMintBrushColour = RGB(237, 246, 241);

// Start-up creates the brushes here so that later paints do not.
void BuildSharedBrushes();

HBRUSH WhiteBrush();
HBRUSH CreamBrush();
HBRUSH MintBrush();
// The stock hollow brush (paints nothing).
HBRUSH HollowBrush();
