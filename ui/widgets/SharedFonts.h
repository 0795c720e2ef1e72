// The fonts every skinned window draws its text with. They are built once at
// start-up by BuildSharedFonts and live until the process ends. Windows borrow
// them: select one into a DC while drawing and select the previous font back, or
// hand one to a control with WM_SETFONT; nobody deletes or replaces them.
// A font that could not be created stays empty (Get() is null); drawing with it
// falls back to the DC's current font.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"

// The font quality for a Windows version: ClearType from 5.1 on, proof quality
// on 5.0 and earlier.
BYTE FontQualityFor(DWORD majorVersion, DWORD minorVersion);

// Creates every shared font with the quality of the running Windows version.
// Only the first call does anything.
void BuildSharedFonts();

extern const fw::Font& FontTahoma10Bold;
extern const fw::Font& FontTahoma11;
extern const fw::Font& FontTahoma11Bold;
extern const fw::Font& FontTahoma11BoldUnderline;
extern const fw::Font& FontTahoma12Underline;
extern const fw::Font& FontTahoma12Bold;
extern const fw::Font& FontTahoma14Bold;
extern const fw::Font& FontTahoma16;
extern const fw::Font& FontTahoma16Bold;
extern const fw::Font& FontSegoe12;
extern const fw::Font& FontSegoe13;
extern const fw::Font& FontSegoe13Bold;
extern const fw::Font& FontSegoe14;
extern const fw::Font& FontSegoe14Bold;
extern const fw::Font& FontSegoe15;
extern const fw::Font& FontSegoe16;
extern const fw::Font& FontSegoe16Bold;
extern const fw::Font& FontSegoe17;
extern const fw::Font& FontSegoe18;
extern const fw::Font& FontSegoe20;
