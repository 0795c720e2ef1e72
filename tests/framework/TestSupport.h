// Helpers of the window-layer tests.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/MessageLoop.h"

namespace fw::test {

// Dispatches messages as the program's loops do (keys pass the windows'
// PreTranslateMessage and dialog-key processing first) until `done` holds or
// `timeoutMs` has passed; returns `done()`.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    return true;
}

}  // namespace fw::test
