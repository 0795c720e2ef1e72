#include "updatedll/CancelSwitch.h"

namespace upd {

void CancelSwitch::Cancel() {
    std::lock_guard<std::mutex> guard(lock_);
    cancelled_ = true;
    if (request_ != nullptr && !closedByCancel_) {
        WinHttpCloseHandle(request_);
        closedByCancel_ = true;
    }
}

bool CancelSwitch::Register(HINTERNET request) {
    std::lock_guard<std::mutex> guard(lock_);
    if (cancelled_) {
        return false;
    }
    request_ = request;
    closedByCancel_ = false;
    return true;
}

bool CancelSwitch::Unregister() {
    std::lock_guard<std::mutex> guard(lock_);
    const bool stillOpen = !closedByCancel_;
    request_ = nullptr;
    closedByCancel_ = false;
    return stillOpen;
}

}  // namespace upd
