// Names of the entries of a volume model, made from their name seeds on demand so
// that a model of half a million files does not hold half a million strings.
#pragma once

#include "defragsvc/VolumeModel.h"

#include <cstdint>
#include <string>

namespace vantrel::defragsvc {

// The system files every model has, in the order they follow the root; the MFT
// comes first. The page file exists on the system drive only.
enum class SystemFile : std::uint32_t { Mft, Boot, LogFile, Bitmap, PageFile };
inline constexpr std::uint32_t kSystemFileCount = 5;

// Set in the name seed of every directory whose name is generated; the seed of a
// well-known folder is its index in the drive's skeleton (FolderSkeleton.h).
inline constexpr std::uint32_t kGeneratedNameFlag = 0x80000000u;
inline constexpr std::uint8_t kMaxDirectoryDepth = 9;

// Full path, "C:\Windows\..." style; the root is "C:\".
std::wstring EntryPath(const VolumeModel& model, std::uint32_t index);

// The entry's own name.
std::wstring EntryName(const VolumeModel& model, std::uint32_t index);

}  // namespace vantrel::defragsvc
