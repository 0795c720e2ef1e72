#include "app/SingleInstance.h"

#include <iterator>

namespace {

// A second start that comes while the first instance is still starting waits this
// long for its main window.
constexpr DWORD kFindWindowPatienceMs = 5000;
constexpr DWORD kFindWindowPollMs = 50;

bool FirstInstanceRuns() {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kSingleInstanceMutexName);
    if (mutex == nullptr) {
        return false;
    }
    CloseHandle(mutex);
    return true;
}

}  // namespace

UINT HandOverMessage() {
    static const UINT message = RegisterWindowMessageW(kHandOverMessageName);
    return message;
}

SingleInstanceLock::~SingleInstanceLock() {
    Release();
}

bool SingleInstanceLock::Acquire() {
    Release();
    mutex_ = CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName);
    if (mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        Release();
        return false;
    }
    return true;
}

void SingleInstanceLock::Release() {
    if (mutex_ != nullptr) {
        CloseHandle(mutex_);
        mutex_ = nullptr;
    }
}

void MarkAsMainWindow(HWND window) {
    SetPropW(window, kMainWindowProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
}

void UnmarkMainWindow(HWND window) {
    RemovePropW(window, kMainWindowProperty);
}

HWND FindRunningMainWindow() {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kDialogWindowClass, nullptr)) != nullptr) {
        if (GetPropW(window, kMainWindowProperty) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

bool HandOverToRunningInstance() {
    HWND running = FindRunningMainWindow();
    for (DWORD waited = 0;
         running == nullptr && waited < kFindWindowPatienceMs && FirstInstanceRuns();
         waited += kFindWindowPollMs) {
        Sleep(kFindWindowPollMs);
        running = FindRunningMainWindow();
    }
    if (running == nullptr) {
        return false;
    }
    const ATOM token = GlobalAddAtomW(kHandOverText);
    if (!PostMessageW(running, HandOverMessage(), 0, static_cast<LPARAM>(token)) && token != 0) {
        GlobalDeleteAtom(token);
    }
    return true;
}

bool IsAlreadyRunningToken(LPARAM lParam) {
    // Atoms live in 0xC000..0xFFFF; anything else is not a token of ours.
    if (lParam < 0xC000 || lParam > 0xFFFF) {
        return false;
    }
    const ATOM atom = static_cast<ATOM>(lParam);
    wchar_t name[64] = {};
    if (GlobalGetAtomNameW(atom, name, static_cast<int>(std::size(name))) == 0) {
        return false;
    }
    if (lstrcmpiW(name, kHandOverText) != 0) {
        return false;
    }
    GlobalDeleteAtom(atom);
    return true;
}

void ReleasePendingHandOvers(HWND window) {
    const UINT message = HandOverMessage();
    MSG pending;
    while (PeekMessageW(&pending, window, message, message, PM_REMOVE)) {
        IsAlreadyRunningToken(pending.lParam);
    }
}
