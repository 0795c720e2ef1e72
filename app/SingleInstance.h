// One instance per session. A second start finds the first instance's main window
// and asks it to come to the front, then ends.
//
// The main window carries a window property of its own from the start of its
// initialisation to its destruction: the splash and the message boxes are standard
// dialogs titled "Vantrel" too, and a hand-over sent to one of them would be lost.
#pragma once

#include <windows.h>

inline constexpr wchar_t kSingleInstanceMutexName[] =
    L"VANTREL_MUTEX_779dc539-376f-41b0-ad2c-3b9d56fa68bb";
inline constexpr wchar_t kHandOverMessageName[] = L"this will work";
inline constexpr wchar_t kHandOverText[] = L"AlreadyRunning";
inline constexpr wchar_t kDialogWindowClass[] = L"#32770";
inline constexpr wchar_t kMainWindowProperty[] = L"Vantrel.MainWindow";

// The setup asks the running program's main window to close with this registered
// message (found by the main-window mark). The answer: closing (it ends as the tray's
// Exit ends it) or staying because a job runs. Any other answer (none, a hung
// program) is no consent.
inline constexpr wchar_t kCloseForSetupMessageName[] = L"Vantrel.CloseForSetup";
inline constexpr LRESULT kCloseForSetupClosing = 1;
inline constexpr LRESULT kCloseForSetupJobRunning = 2;

// The registered hand-over message, registered once per process.
UINT HandOverMessage();

// Owns the single-instance mutex for the life of the process.
class SingleInstanceLock {
  public:
    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Creates the mutex; false when another instance already holds it.
    bool Acquire();
    // Lets an elevated copy of this program take over the lock.
    void Release();
    bool Held() const { return mutex_ != nullptr; }

  private:
    HANDLE mutex_ = nullptr;
};

// Main-window side: the mark a second start looks for.
void MarkAsMainWindow(HWND window);
void UnmarkMainWindow(HWND window);
// The running instance's main window: a top-level standard dialog with the mark;
// null when there is none.
HWND FindRunningMainWindow();

// Posts the hand-over message to the running instance's main window, waiting a few
// seconds for it while the other instance is still starting. The lParam is a global
// atom of the hand-over text, so the receiver recognises it without reading this
// process's memory; the receiver releases it. Returns whether a window was found.
bool HandOverToRunningInstance();

// Receiver side: whether the hand-over lParam designates "AlreadyRunning" (compared
// case-insensitively). A recognised atom is released, so repeated starts leave no
// atom behind.
bool IsAlreadyRunningToken(LPARAM lParam);

// Receiver side, as the main window is destroyed: releases the tokens of hand-overs
// still queued for it, which no one would read any more.
void ReleasePendingHandOvers(HWND window);
