// Answers the next message box owned by a window while the progress window of
// update.dll (also a dialog owned by that window) may come and go: a dialog with a
// progress bar is not a message box. Works across processes.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "tests/support/MessageBoxAnswer.h"

namespace vantrel::testsupport {

inline bool HasProgressBar(HWND dialog) {
    return FindWindowExW(dialog, nullptr, L"msctls_progress32", nullptr) != nullptr;
}

// A visible, complete message box owned by `owner`, or null.
inline HWND FindMessageBox(HWND owner) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
        if (GetWindow(box, GW_OWNER) == owner && IsWindowVisible(box) && !HasProgressBar(box) &&
            !LongestStaticText(box).empty()) {
            return box;
        }
    }
    return nullptr;
}

class UpdateMessageAnswer {
  public:
    // Presses OK in the next message box owned by `owner`; gives up after `limitMs`.
    explicit UpdateMessageAnswer(HWND owner, DWORD limitMs = 20000)
        : thread_([this, owner, limitMs] {
              const ULONGLONG end = GetTickCount64() + limitMs;
              while (!stop_ && GetTickCount64() < end) {
                  if (HWND box = FindMessageBox(owner)) {
                      text_ = LongestStaticText(box);
                      PostMessageW(box, WM_COMMAND, IDOK, 0);
                      answered_ = true;
                      return;
                  }
                  Sleep(20);
              }
          }) {}
    ~UpdateMessageAnswer() {
        stop_ = true;
        Join();
    }
    UpdateMessageAnswer(const UpdateMessageAnswer&) = delete;
    UpdateMessageAnswer& operator=(const UpdateMessageAnswer&) = delete;

    // Waits for the answer (or the limit) and returns the box's text; empty when none.
    std::wstring Text() {
        Join();
        return text_;
    }
    // Stops looking; true when a box was answered.
    bool StopAndReport() {
        stop_ = true;
        Join();
        return answered_;
    }

  private:
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::wstring text_;
    std::thread thread_;
};

}  // namespace vantrel::testsupport
