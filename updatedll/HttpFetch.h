// One HTTP or HTTPS GET through WinHTTP, written into an open file: certificate
// checks stay on, redirects are followed (never from https down to http), every wait
// is bounded, and only a complete 200 answer counts.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <functional>
#include <string>

#include "updatedll/CancelSwitch.h"

namespace upd {

// A file larger than this is not an update.
inline constexpr std::uint64_t kMaxDownloadBytes = 1ull << 30;

// Told the bytes received so far and the announced size (0 when unknown).
using ProgressSink = std::function<void(std::uint64_t received, std::uint64_t total)>;

// Owns a WinHTTP session handle.
class HttpSession {
  public:
    HttpSession();
    ~HttpSession();
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    bool IsOpen() const { return session_ != nullptr; }
    HINTERNET Handle() const { return session_; }

  private:
    HINTERNET session_ = nullptr;
};

// Fetches `address` and appends the body to `file`. True only when the server
// answered 200 and the whole body arrived (as long as its Content-Length says, when
// it says), within kMaxDownloadBytes, without a cancel.
bool FetchToFile(const HttpSession& session, const std::wstring& address, HANDLE file,
                 CancelSwitch& cancel, const ProgressSink& progress);

}  // namespace upd
