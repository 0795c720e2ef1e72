// Decisions about what callers and servers hand the library: plain functions with no
// side effects, so that they can be tested without a network.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace upd {

// Longest address and local path the library accepts, in characters.
inline constexpr std::size_t kMaxAddressLength = 2048;
inline constexpr std::size_t kMaxLocalPathLength = 1024;

// An ANSI text in the calling thread's code page as UTF-16; nullopt for a null
// pointer, a text longer than `maxBytes` or one the code page cannot convert.
std::optional<std::wstring> ThreadAnsiToWide(const char* text, std::size_t maxBytes);

// An absolute http:// or https:// address with a host, no white space or control
// characters and at most kMaxAddressLength characters.
bool IsFetchableAddress(std::wstring_view address);

// A full local file path: a drive ("C:\...") or a share ("\\server\share\..."), a file
// name after the last separator, no control or wildcard characters.
bool IsUsableLocalPath(std::wstring_view path);

// The folder part of a path accepted by IsUsableLocalPath (without the separator).
std::wstring FolderOf(std::wstring_view path);

// A Content-Length header value: decimal digits only, surrounding blanks allowed,
// no overflow of 64 bits.
std::optional<std::uint64_t> ParseContentLength(std::wstring_view text);

// The value of option "hidden": "0" shows the progress window, "1" hides it.
std::optional<bool> ParseHiddenValue(std::string_view value);

// Percentage 0..100 of `done` out of `total`; 0 when the total is unknown.
int PercentOf(std::uint64_t done, std::uint64_t total);

}  // namespace upd
