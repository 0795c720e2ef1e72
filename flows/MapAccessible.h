// What assistive technology learns of the cluster map: the system's standard proxy
// knows a disabled button with no text and no value, so the map answers
// WM_GETOBJECT with an accessible object of its own that delegates to that proxy
// and gives the map's name and, as its value, the share of each cell state (for
// example "Fragmented 12%, Optimized 3%, Used space 60%, MFT 1%, Free space 24%").
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The answer to WM_GETOBJECT for the client area of `window`; 0 for other objects
// (the system then answers). `name` and `value` are asked for each time a client
// reads them.
LRESULT AnswerMapAccessibility(HWND window, WPARAM flags, LPARAM objectId,
                               std::function<std::wstring()> name,
                               std::function<std::wstring()> value);
