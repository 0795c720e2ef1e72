// The library calls the backend's file operations share: opening a file by its
// id, finding the stream its extents describe, and reading or replacing that
// stream's run list.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/Volume.h"
#include "engine/ntfs/NtfsHandles.h"
#include "engine/ntfs/NtfsRuns.h"

namespace vantrel::engine::ntfs {

// NoSuchFile for a reference whose record is free, was reused since, or is an
// extension record of another file.
VolumeStatus OpenFile(ntfs_volume* volume, std::uint64_t fileId, InodeHandle& inode);

// Whether a record is in use as a file's base record (not an extension record).
bool IsBaseRecord(const MFT_RECORD* record);

bool IsDirectory(const ntfs_inode* inode);

// The stream a file's extents describe: its unnamed data, or a directory's index
// allocation. Ok with an empty handle when the file has no such stream.
VolumeStatus OpenClusterStream(ntfs_inode* inode, AttributeHandle& stream);

// The stream's whole run list from VCN 0 on; empty for resident data.
VolumeStatus ReadRuns(ntfs_attr* stream, std::vector<Run>& runs);

// Makes `runs` the stream's run list in memory and rewrites its mapping pairs in
// the MFT record(s), adding or removing extension records as needed. False when
// the library failed; the stream's in-memory state is then uncertain.
bool InstallRuns(ntfs_attr* stream, const std::vector<Run>& runs);

}  // namespace vantrel::engine::ntfs
