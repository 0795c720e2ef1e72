// One window message as the layer hands it to handlers. A handler that answers
// the message stores its answer in `result`; the layer returns it to the sender
// (dialogs: directly or through DWLP_MSGRESULT, see Dialog.h).
#pragma once

#include <windows.h>

namespace fw {

struct Message {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

}  // namespace fw
