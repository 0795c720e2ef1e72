#include "app/SingleInstance.h"

#include <iterator>

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
    return !(mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS);
}

void SingleInstanceLock::Release() {
    if (mutex_ != nullptr) {
        CloseHandle(mutex_);
        mutex_ = nullptr;
    }
}

bool HandOverToRunningInstance(const wchar_t* title) {
    HWND running = FindWindowW(kDialogWindowClass, title);
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
