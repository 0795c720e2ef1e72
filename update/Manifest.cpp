#include "update/Manifest.h"

#include <windows.h>

namespace {

std::string_view TakeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::string_view();
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::optional<Sha256Digest> ParseSha256Hex(std::string_view text) {
    Sha256Digest digest = {};
    if (text.size() != digest.size() * 2) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < digest.size(); ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        digest[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return digest;
}

Manifest ParseManifest(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    Manifest manifest;
    manifest.version = std::string(TakeLine(text));
    const std::string_view hashText = TrimBlanks(TakeLine(text));
    if (hashText.empty()) {
        return manifest;
    }
    if (const auto digest = ParseSha256Hex(hashText)) {
        manifest.hashLine = InstallerHashLine::Given;
        manifest.installerHash = *digest;
    } else {
        manifest.hashLine = InstallerHashLine::Malformed;
    }
    return manifest;
}

std::optional<Manifest> ReadManifestFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string text(kMaxManifestBytes, '\0');
    std::size_t filled = 0;
    DWORD read = 0;
    while (filled < text.size() &&
           ReadFile(file, text.data() + filled, static_cast<DWORD>(text.size() - filled), &read,
                    nullptr) &&
           read > 0) {
        filled += read;
    }
    CloseHandle(file);
    text.resize(filled);
    return ParseManifest(text);
}
