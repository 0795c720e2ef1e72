// The files the optimizer never moves: the page, swap and hibernation files, and
// the file system's own metadata ($-names in the root, the first sixteen MFT
// records of NTFS and everything below $Extend). The volume may refuse others
// (its move answers CannotMove); those are found when they are tried.
#pragma once

#include "engine/FileTable.h"

#include <cstdint>
#include <string_view>

namespace vantrel::engine {

// The record number within an NTFS file reference (the sequence number is above it).
inline constexpr std::uint64_t kRecordMask = 0x0000FFFFFFFFFFFFull;
// Record 0 holds the MFT itself.
inline constexpr std::uint64_t kMftRecord = 0;
inline constexpr std::uint64_t kFirstUserRecord = 16;

bool IsNtfs(std::u16string_view fileSystem);
bool IsFat(std::u16string_view fileSystem);

// Whether the entry at `index` is one the optimizer leaves where it is.
bool IsSafeFile(const FileTable& table, std::uint32_t index, bool ntfs);

// Whether the entry is the MFT's own data (counted as such on the map).
bool IsMft(const FileTable& table, std::uint32_t index, bool ntfs);

}  // namespace vantrel::engine
