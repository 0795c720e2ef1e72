// Report files are put in place whole or not at all: the bytes go to a temporary file
// beside the target, which replaces the target only once every byte is on disk. A
// reader never finds a half-written report under the report's name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// "<path>.tmp": where a file is written before it replaces `path`.
std::wstring TemporaryPathFor(const std::wstring& path);

// Creates the temporary file (read and write access, no sharing, replacing a leftover
// one, normal attributes), lets `fill` write into it, and moves it over `path` when
// the file then holds exactly `expectedBytes`. On any failure the temporary file is
// removed, `path` is left as it was and the answer is false.
bool ReplaceFileThroughTemporary(const std::wstring& path, std::uint64_t expectedBytes,
                                 const std::function<void(HANDLE file)>& fill);

// The number of bytes of `text` in UTF-8.
std::uint64_t Utf8Length(std::wstring_view text);

// Writes `text` to `path` as UTF-8 without a byte-order mark, through WriteUtf8.
bool WriteReportFile(const std::wstring& path, std::wstring_view text);
