#include "ui/format/Utf8Writer.h"

#include "ui/format/Surrogates.h"

#include <cstddef>
#include <memory>

namespace {

// One UTF-16 unit takes at most 3 UTF-8 bytes (a surrogate pair: 4 bytes for 2 units),
// so a piece of this many units always fits the 65,536-byte conversion buffer.
constexpr std::size_t kConversionBufferBytes = 65536;
constexpr std::size_t kUnitsPerPiece = kConversionBufferBytes / 3 - 1;

bool WriteAll(HANDLE file, const char* bytes, std::size_t count) {
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr) || written == 0) {
            return false;
        }
        bytes += written;
        count -= written;
    }
    return true;
}

}  // namespace

void WriteUtf8(HANDLE file, std::wstring_view text) {
    if (file == nullptr || file == INVALID_HANDLE_VALUE) {
        return;
    }
    const auto buffer = std::make_unique<char[]>(kConversionBufferBytes);
    while (!text.empty()) {
        std::size_t units = text.size() < kUnitsPerPiece ? text.size() : kUnitsPerPiece;
        // Keep a pair together: a high surrogate at the end of a piece moves to the next.
        if (units < text.size() && units > 1 && IsHighSurrogate(text[units - 1])) {
            --units;
        }
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(units), buffer.get(),
                                static_cast<int>(kConversionBufferBytes), nullptr, nullptr);
        if (bytes <= 0 || !WriteAll(file, buffer.get(), static_cast<std::size_t>(bytes))) {
            return;
        }
        text.remove_prefix(units);
    }
}
