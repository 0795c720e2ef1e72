#include "update/AnsiText.h"

#include <windows.h>

namespace {

// Converts to the thread's ANSI code page into `out` (or measures when `out` is
// null). -1 when a character has no exact equivalent. A UTF-8 code page takes no
// default-character question; it is lossless but for broken surrogates, which
// WC_ERR_INVALID_CHARS refuses.
int Convert(std::wstring_view text, char* out, int outSize) {
    const int length = static_cast<int>(text.size());
    BOOL replaced = FALSE;
    int size = WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, out,
                                   outSize, nullptr, &replaced);
    if (size == 0 && GetLastError() == ERROR_INVALID_PARAMETER) {
        size = WideCharToMultiByte(CP_THREAD_ACP, WC_ERR_INVALID_CHARS, text.data(), length, out,
                                   outSize, nullptr, nullptr);
        replaced = FALSE;
    }
    return size <= 0 || replaced ? -1 : size;
}

}  // namespace

std::optional<std::string> ToThreadAnsi(std::wstring_view text) {
    if (text.empty()) {
        return std::string();
    }
    const int size = Convert(text, nullptr, 0);
    if (size < 0) {
        return std::nullopt;
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    if (Convert(text, narrow.data(), size) != size) {
        return std::nullopt;
    }
    return narrow;
}

std::optional<std::string> ToThreadAnsiPath(const std::wstring& path) {
    if (auto narrow = ToThreadAnsi(path)) {
        return narrow;
    }
    const std::size_t separator = path.find_last_of(L'\\');
    if (separator == std::wstring::npos) {
        return std::nullopt;
    }
    const std::wstring folder = path.substr(0, separator);
    const DWORD size = GetShortPathNameW(folder.c_str(), nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring shortFolder(size, L'\0');
    const DWORD written = GetShortPathNameW(folder.c_str(), shortFolder.data(), size);
    if (written == 0 || written >= size) {
        return std::nullopt;
    }
    shortFolder.resize(written);
    return ToThreadAnsi(shortFolder + path.substr(separator));
}
