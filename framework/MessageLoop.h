// The message loops of the layer and the filtering every queued message gets
// before it is dispatched.
#pragma once

#include <windows.h>

namespace fw {

// Offers `msg` to the fw::Window of its window, then of each parent up to and
// including the top-level window, until one PreTranslateMessage consumes it.
bool WalkPreTranslateTree(MSG& msg);

// The filter of the layer's loops: on the application's thread the
// application's PreTranslateMessage, elsewhere (or without an application)
// WalkPreTranslateTree. true = consumed.
bool PreTranslate(MSG& msg);

// Runs until WM_QUIT and returns its exit code (-1 if GetMessage fails).
int RunMessageLoop();

// Dispatches every message already queued (through PreTranslate). Returns false
// if WM_QUIT was among them; it is posted again for the enclosing loop.
bool DispatchPendingMessages();

}  // namespace fw
