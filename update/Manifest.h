// The update manifest "checkupdate.ini": its first line is the latest version (the
// only line older programs read); an optional second line carries the SHA-256 of the
// installer as 64 hexadecimal digits.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using Sha256Digest = std::array<std::uint8_t, 32>;

// Only the start of a manifest is read; a longer file is cut there.
inline constexpr std::size_t kMaxManifestBytes = 4096;

enum class InstallerHashLine {
    Absent,     // no second line, or an empty one
    Given,      // 64 hexadecimal digits
    Malformed,  // something else: the installer cannot be verified
};

struct Manifest {
    std::string version;  // the first line without its line end
    InstallerHashLine hashLine = InstallerHashLine::Absent;
    Sha256Digest installerHash = {};
};

// Splits manifest text into its lines. A UTF-8 byte-order mark before the first line
// is dropped; lines end at "\n" with an optional "\r" before it; blanks around the
// hash are ignored.
Manifest ParseManifest(std::string_view text);

// Reads at most kMaxManifestBytes of the file at `path` and parses them; nullopt when
// the file cannot be opened.
std::optional<Manifest> ReadManifestFile(const std::wstring& path);

// 64 hexadecimal digits (either case) as a digest.
std::optional<Sha256Digest> ParseSha256Hex(std::string_view text);
