// Reads what the file system's defragmentation calls hand back, and builds what the
// move call takes. Every field is copied out of the byte buffer after a check that it
// lies inside the bytes the call said it returned; every count, offset and length is
// checked against the buffer, every run against the volume. An answer that breaks
// its own layout gives BadAnswer, and nothing of it is used.
#pragma once

#include "engine/Volume.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vantrel::engine::windows {

using Bytes = std::span<const std::byte>;

// The cluster sizes the file systems use: a sector of 512 bytes to 4 KiB, a cluster
// of one sector to 2 MiB.
inline constexpr std::uint32_t kMinSectorBytes = 512;
inline constexpr std::uint32_t kMaxSectorBytes = 4096;
inline constexpr std::uint32_t kMaxClusterBytes = 2u << 20;

// Whether `count` clusters from `lcn` lie on a volume of `total` clusters.
inline bool InsideVolume(Lcn lcn, std::uint64_t count, std::uint64_t total) {
    return lcn <= total && count <= total - lcn;
}

// FSCTL_GET_NTFS_VOLUME_DATA: sizes, counts and the MFT's place; the file system
// name is the caller's.
VolumeStatus ParseNtfsVolumeData(Bytes answer, VolumeData& data);

// FSCTL_GET_VOLUME_BITMAP, asked from `asked` on a volume of `totalClusters`;
// `moreData` when the call answered ERROR_MORE_DATA. MoreData when clusters remain
// after the page.
VolumeStatus ParseBitmapPage(Bytes answer, bool moreData, Lcn asked, std::uint64_t totalClusters,
                             BitmapPage& page);

// FSCTL_ENUM_USN_DATA, asked from reference `asked`: the entries (sizes left 0) and
// the reference the next call starts from. Version 2 and 3 records are read; a
// version 3 record whose id does not fit in 64 bits, or a record of another version,
// is passed over.
VolumeStatus ParseUsnPage(Bytes answer, std::uint64_t asked, std::uint64_t& next,
                          std::vector<FileInfo>& entries);

// FSCTL_GET_RETRIEVAL_POINTERS, asked from `asked`: the runs in VCN order, the first
// possibly beginning before `asked`. MoreData when runs remain after the page.
VolumeStatus ParseRetrievalPointers(Bytes answer, bool moreData, Vcn asked,
                                    std::uint64_t totalClusters, std::vector<Extent>& page);

// IOCTL_STORAGE_QUERY_PROPERTY's seek-penalty and trim descriptors; nullopt for a
// query that failed. Without a seek-penalty answer the medium is Unknown.
MediaKind MediaFromDescriptors(std::optional<Bytes> seekPenalty, std::optional<Bytes> trim);

// FSCTL_MOVE_FILE's input: MOVE_FILE_DATA of this process's layout, padding zero.
using MoveFileInput = std::array<std::byte, sizeof(MOVE_FILE_DATA)>;
MoveFileInput BuildMoveFileInput(HANDLE file, Vcn vcn, Lcn target, std::uint32_t clusters);

}  // namespace vantrel::engine::windows
