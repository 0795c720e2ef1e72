#include "updatedll/InputRules.h"

#include <windows.h>

#include <cstring>
#include <cwctype>

namespace upd {

namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::towlower(text[i]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool IsControl(wchar_t c) {
    return c < 0x20 || c == 0x7F;
}

}  // namespace

std::optional<std::wstring> ThreadAnsiToWide(const char* text, std::size_t maxBytes) {
    if (text == nullptr) {
        return std::nullopt;
    }
    const std::size_t length = strnlen(text, maxBytes + 1);
    if (length > maxBytes) {
        return std::nullopt;
    }
    if (length == 0) {
        return std::wstring();
    }
    const int count = MultiByteToWideChar(CP_THREAD_ACP, MB_ERR_INVALID_CHARS, text,
                                          static_cast<int>(length), nullptr, 0);
    if (count <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    if (MultiByteToWideChar(CP_THREAD_ACP, MB_ERR_INVALID_CHARS, text, static_cast<int>(length),
                            wide.data(), count) != count) {
        return std::nullopt;
    }
    return wide;
}

bool IsFetchableAddress(std::wstring_view address) {
    if (address.empty() || address.size() > kMaxAddressLength) {
        return false;
    }
    std::size_t hostStart = 0;
    if (StartsWithNoCase(address, L"http://")) {
        hostStart = 7;
    } else if (StartsWithNoCase(address, L"https://")) {
        hostStart = 8;
    } else {
        return false;
    }
    for (wchar_t c : address) {
        if (IsControl(c) || c == L' ') {
            return false;
        }
    }
    const std::size_t hostEnd = address.find_first_of(L"/?#", hostStart);
    const std::wstring_view host =
        address.substr(hostStart, hostEnd == std::wstring_view::npos ? std::wstring_view::npos
                                                                     : hostEnd - hostStart);
    // A host, not only a port or credentials.
    return !host.empty() && host.front() != L':' && host.front() != L'@';
}

bool IsUsableLocalPath(std::wstring_view path) {
    if (path.size() < 4 || path.size() > kMaxLocalPathLength) {
        return false;
    }
    const bool drive = std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
    const bool share = path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\' && path[2] != L'?';
    if (!drive && !share) {
        return false;
    }
    for (std::size_t i = 0; i < path.size(); ++i) {
        const wchar_t c = path[i];
        if (IsControl(c) || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' ||
            c == L'|' || c == L'/' || (c == L':' && i != 1)) {
            return false;
        }
    }
    const std::size_t separator = path.find_last_of(L'\\');
    const std::wstring_view name = path.substr(separator + 1);
    return !name.empty() && name != L"." && name != L"..";
}

std::wstring FolderOf(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L'\\');
    if (separator == std::wstring_view::npos) {
        return std::wstring();
    }
    // "C:\file" keeps the root's separator: "C:" alone would name the drive's current
    // folder.
    if (separator == 2 && path.size() > 1 && path[1] == L':') {
        return std::wstring(path.substr(0, 3));
    }
    return std::wstring(path.substr(0, separator));
}

std::optional<std::uint64_t> ParseContentLength(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) {
        return std::nullopt;
    }
    const std::size_t last = text.find_last_not_of(L" \t");
    text = text.substr(first, last - first + 1);
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        const std::uint64_t digit = static_cast<std::uint64_t>(c - L'0');
        if (value > (UINT64_MAX - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

std::optional<bool> ParseHiddenValue(std::string_view value) {
    if (value == "0") {
        return false;
    }
    if (value == "1") {
        return true;
    }
    return std::nullopt;
}

int PercentOf(std::uint64_t done, std::uint64_t total) {
    if (total == 0) {
        return 0;
    }
    if (done >= total) {
        return 100;
    }
    // done < total here, so done * 100 / total cannot overflow when done is small;
    // for large sizes divide first.
    if (done > UINT64_MAX / 100) {
        const std::uint64_t percent = done / (total / 100);
        return percent > 99 ? 99 : static_cast<int>(percent);
    }
    return static_cast<int>(done * 100 / total);
}

}  // namespace upd
