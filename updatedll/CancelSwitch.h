// Lets one thread cancel the transfer another thread runs: the request in flight is
// closed, which makes its blocking call return at once, and every later step sees
// the flag. The transfer thread registers each request while it uses it.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <mutex>

namespace upd {

class CancelSwitch {
  public:
    void Cancel();
    bool Cancelled() const { return cancelled_.load(); }

    // The transfer thread's request while it is in use. Register answers false when
    // the transfer was cancelled already; the caller then closes the request itself.
    bool Register(HINTERNET request);
    // Ends the registration; true when the request is still open and the caller must
    // close it, false when Cancel closed it.
    bool Unregister();

  private:
    std::mutex lock_;
    HINTERNET request_ = nullptr;
    bool closedByCancel_ = false;
    std::atomic<bool> cancelled_{false};
};

}  // namespace upd
