#include "reports/ReportFile.h"

#include <algorithm>

#include "ui/format/Surrogates.h"
#include "ui/format/Utf8Writer.h"

namespace {

// Texts are measured in pieces small enough for the conversion's int sizes.
constexpr std::size_t kMeasureUnits = 1 << 20;

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        if (!Valid()) {
            return false;
        }
        const bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

bool HoldsExactly(HANDLE file, std::uint64_t bytes) {
    LARGE_INTEGER size = {};
    return GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) == bytes;
}

}  // namespace

std::wstring TemporaryPathFor(const std::wstring& path) {
    return path + L".tmp";
}

bool ReplaceFileThroughTemporary(const std::wstring& path, std::uint64_t expectedBytes,
                                 const std::function<void(HANDLE file)>& fill) {
    const std::wstring temporary = TemporaryPathFor(path);
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        return false;
    }
    fill(file.Get());
    const bool complete = HoldsExactly(file.Get(), expectedBytes) &&
                          FlushFileBuffers(file.Get()) != FALSE && file.Close();
    if (complete && MoveFileExW(temporary.c_str(), path.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    file.Close();
    DeleteFileW(temporary.c_str());
    return false;
}

std::uint64_t Utf8Length(std::wstring_view text) {
    std::uint64_t bytes = 0;
    while (!text.empty()) {
        std::size_t units = std::min(text.size(), kMeasureUnits);
        // A pair is measured together, as the writer converts it together.
        if (units < text.size() && IsHighSurrogate(text[units - 1])) {
            --units;
        }
        bytes += static_cast<std::uint64_t>(WideCharToMultiByte(
            CP_UTF8, 0, text.data(), static_cast<int>(units), nullptr, 0, nullptr, nullptr));
        text.remove_prefix(units);
    }
    return bytes;
}

bool WriteReportFile(const std::wstring& path, std::wstring_view text) {
    return ReplaceFileThroughTemporary(path, Utf8Length(text),
                                       [text](HANDLE file) { WriteUtf8(file, text); });
}
