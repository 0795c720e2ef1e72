// Answers the next message box owned by a window, from a thread of its own, while
// the test's thread sits in the box's modal loop. A box counts once it is visible
// and its message text is set: Wine builds the box in steps, and a box found half
// built would answer before the text could be read. Works across processes.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace vantrel::testsupport {

// The message of a message box: its longest static text (the id of that control
// differs between systems).
inline std::wstring LongestStaticText(HWND box) {
    std::wstring longest;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16] = {}, text[512] = {};
        GetClassNameW(child, cls, 16);
        GetWindowTextW(child, text, 512);
        if (lstrcmpiW(cls, L"Static") == 0 && wcslen(text) > longest.size()) {
            longest = text;
        }
    }
    return longest;
}

class MessageBoxAnswer {
  public:
    // Presses `button` in the next complete box owned by `owner`; gives up after
    // about `timeoutMs`. The default is generous: a box that comes late on a loaded
    // machine and finds no answerer would hold the test in its modal loop for good.
    // `thinkMs` is how long the user reads the box before answering.
    MessageBoxAnswer(HWND owner, int button, DWORD timeoutMs = 60000, DWORD thinkMs = 0)
        : thread_([this, owner, button, timeoutMs, thinkMs] {
              for (DWORD waited = 0; waited < timeoutMs && !stop_; waited += 25) {
                  if (HWND box = FindCompleteBox(owner)) {
                      text_ = LongestStaticText(box);
                      Sleep(thinkMs);
                      PostMessageW(box, WM_COMMAND, button, 0);
                      answered_ = true;
                      return;
                  }
                  Sleep(25);
              }
          }) {}
    ~MessageBoxAnswer() {
        stop_ = true;
        Join();
    }
    MessageBoxAnswer(const MessageBoxAnswer&) = delete;
    MessageBoxAnswer& operator=(const MessageBoxAnswer&) = delete;

    // Waits for the answering thread, then reports whether a box was answered.
    bool Answered() {
        Join();
        return answered_;
    }
    // Stops looking at once; true when a box was answered.
    bool StopAndReport() {
        stop_ = true;
        Join();
        return answered_;
    }
    // The answered box's message text (empty when none was answered).
    std::wstring Text() {
        Join();
        return text_;
    }

  private:
    static HWND FindCompleteBox(HWND owner) {
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
            // A dialog with a progress bar (update.dll's download window, owned by the
            // same window) is no message box.
            if (GetWindow(box, GW_OWNER) == owner && IsWindowVisible(box) &&
                FindWindowExW(box, nullptr, L"msctls_progress32", nullptr) == nullptr &&
                !LongestStaticText(box).empty()) {
                return box;
            }
        }
        return nullptr;
    }
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
