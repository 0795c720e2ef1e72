// Keeps the test prefix's desktop in use for the whole run. Wine ends the desktop
// process a moment after the last program on the desktop exits, and the next test
// program that shows a window starts a new one that inherits its output: CTest then
// waits for that desktop process to end before it counts the test as done, for as
// long as any other test keeps the desktop busy. The prefix set-up starts this
// program with its output closed; the clean-up ends it with the wineserver.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Asking for the desktop window attaches this process to the desktop.
    if (GetDesktopWindow() == nullptr) {
        return 1;
    }
    for (;;) {
        WaitMessage();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return 0;
            }
            DispatchMessageW(&message);
        }
    }
}
