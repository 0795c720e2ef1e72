#include "updatedll/HttpFetch.h"

#include <memory>
#include <vector>

#include "updatedll/InputRules.h"

namespace upd {

namespace {

constexpr wchar_t kUserAgent[] = L"Vantrel-Update/1.0";
constexpr int kResolveTimeoutMs = 15000;
constexpr int kConnectTimeoutMs = 15000;
constexpr int kSendTimeoutMs = 30000;
constexpr int kReceiveTimeoutMs = 30000;
constexpr DWORD kReadChunkBytes = 256 * 1024;
constexpr DWORD kMaxRedirects = 10;
// Secure protocols from TLS 1.2 up; older systems do not know the TLS 1.3 flag.
constexpr DWORD kTls12 = 0x00000800;  // WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2
constexpr DWORD kTls13 = 0x00002000;  // WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3

struct InternetHandleCloser {
    void operator()(void* handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

// Splits an address into the parts WinHttpConnect and WinHttpOpenRequest take.
struct AddressParts {
    std::wstring host;
    std::wstring pathAndQuery;
    INTERNET_PORT port = 0;
    bool secure = false;
};

bool SplitAddress(const std::wstring& address, AddressParts& parts) {
    URL_COMPONENTS components = {};
    components.dwStructSize = sizeof(components);
    components.dwHostNameLength = static_cast<DWORD>(-1);
    components.dwUrlPathLength = static_cast<DWORD>(-1);
    components.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(address.c_str(), static_cast<DWORD>(address.size()), 0, &components)) {
        return false;
    }
    if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS) {
        return false;
    }
    if (components.lpszHostName == nullptr || components.dwHostNameLength == 0) {
        return false;
    }
    parts.host.assign(components.lpszHostName, components.dwHostNameLength);
    if (components.lpszUrlPath != nullptr) {
        parts.pathAndQuery.assign(components.lpszUrlPath, components.dwUrlPathLength);
    }
    if (components.lpszExtraInfo != nullptr) {
        parts.pathAndQuery.append(components.lpszExtraInfo, components.dwExtraInfoLength);
    }
    if (parts.pathAndQuery.empty()) {
        parts.pathAndQuery = L"/";
    }
    parts.port = components.nPort;
    parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

DWORD StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    return status;
}

// The announced body size: nullopt when none is announced, 0 ... when it is; a value
// that is not a plain number makes the answer unusable (`valid` false).
std::optional<std::uint64_t> AnnouncedLength(HINTERNET request, bool& valid) {
    valid = true;
    wchar_t text[64] = {};
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                             text, &size, WINHTTP_NO_HEADER_INDEX)) {
        valid = GetLastError() == ERROR_WINHTTP_HEADER_NOT_FOUND;
        return std::nullopt;
    }
    const std::size_t characters = size / sizeof(wchar_t);
    const auto length =
        ParseContentLength(std::wstring_view(text, characters < 64 ? characters : 63));
    valid = length.has_value();
    return length;
}

bool WriteAll(HANDLE file, const BYTE* data, DWORD size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Runs the request that `cancel` has registered; the caller closes it.
bool ReceiveBody(HINTERNET request, HANDLE file, CancelSwitch& cancel,
                 const ProgressSink& progress) {
    if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                            0, 0) ||
        !WinHttpReceiveResponse(request, nullptr) || cancel.Cancelled()) {
        return false;
    }
    if (StatusCode(request) != 200) {
        return false;
    }
    bool lengthValid = true;
    const std::optional<std::uint64_t> announced = AnnouncedLength(request, lengthValid);
    if (!lengthValid || (announced && *announced > kMaxDownloadBytes)) {
        return false;
    }
    const std::uint64_t total = announced.value_or(0);
    progress(0, total);

    std::vector<BYTE> buffer(kReadChunkBytes);
    std::uint64_t received = 0;
    for (;;) {
        DWORD read = 0;
        if (!WinHttpReadData(request, buffer.data(), kReadChunkBytes, &read)) {
            return false;  // a dropped connection, a broken chunk, a timeout or a cancel
        }
        if (cancel.Cancelled()) {
            return false;
        }
        if (read == 0) {
            break;
        }
        received += read;
        if (received > kMaxDownloadBytes || (announced && received > *announced)) {
            return false;
        }
        if (!WriteAll(file, buffer.data(), read)) {
            return false;
        }
        progress(received, total);
    }
    return !announced || received == *announced;
}

}  // namespace

HttpSession::HttpSession() {
    session_ = WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                           WINHTTP_NO_PROXY_BYPASS, 0);
    if (session_ == nullptr) {
        return;
    }
    WinHttpSetTimeouts(session_, kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs,
                       kReceiveTimeoutMs);
    DWORD protocols = kTls12 | kTls13;
    if (!WinHttpSetOption(session_, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                          sizeof(protocols))) {
        protocols = kTls12;
        WinHttpSetOption(session_, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof(protocols));
    }
}

HttpSession::~HttpSession() {
    if (session_ != nullptr) {
        WinHttpCloseHandle(session_);
    }
}

bool FetchToFile(const HttpSession& session, const std::wstring& address, HANDLE file,
                 CancelSwitch& cancel, const ProgressSink& progress) {
    AddressParts parts;
    if (!session.IsOpen() || !IsFetchableAddress(address) || !SplitAddress(address, parts)) {
        return false;
    }
    InternetHandle connection(WinHttpConnect(session.Handle(), parts.host.c_str(), parts.port, 0));
    if (!connection) {
        return false;
    }
    HINTERNET request = WinHttpOpenRequest(
        connection.get(), L"GET", parts.pathAndQuery.c_str(), nullptr, WINHTTP_NO_REFERER,
        WINHTTP_DEFAULT_ACCEPT_TYPES, parts.secure ? WINHTTP_FLAG_SECURE : 0);
    if (request == nullptr) {
        return false;
    }
    // Redirects are followed by default, except from https to http; the count is
    // bounded. Certificate errors are never ignored: no security flags are set.
    DWORD redirects = kMaxRedirects;
    WinHttpSetOption(request, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                     sizeof(redirects));
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy));

    if (!cancel.Register(request)) {
        WinHttpCloseHandle(request);
        return false;
    }
    const bool complete = ReceiveBody(request, file, cancel, progress);
    if (cancel.Unregister()) {
        WinHttpCloseHandle(request);
    }
    return complete && !cancel.Cancelled();
}

}  // namespace upd
