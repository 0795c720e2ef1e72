// The text links the selection and results pages paint themselves: a rectangle of
// the page that answers a left-button release and shows the hand cursor while the
// mouse is over it.
#pragma once

#include <windows.h>

#include "framework/Message.h"

// Whether a point lies in a rectangle (an empty rectangle contains nothing).
bool PointIn(const RECT& rect, POINT point);

// WM_SETCURSOR of `page`: the system hand cursor while the mouse is over `area` of
// the page's own client area. False (the class cursor, the arrow) elsewhere.
bool ShowHandOverLink(HWND page, const RECT& area, fw::Message& setCursor);
