// A plain defragmentation loop over the volume interface alone. It stands in for
// the engine's optimizer in the NTFS proof until that lands: whatever replaces it
// takes the same Volume& and must pass the same checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Volume.h"

namespace vantrel::engine::ntfs::proof {

struct DefragOutcome {
    std::size_t fragmentedBefore = 0;
    std::vector<std::uint64_t> placed;  // fragmented files a free run of their size was found for
    std::vector<std::uint64_t> noFreeRun;  // ...and those without one at their turn
    std::vector<std::uint64_t> refused;    // files the volume would not move (CannotMove)
    std::vector<std::string> failures;     // anything else, as sentences
};

// Each fragmented file (for a directory: its index) goes into the first free run
// that holds all its stored clusters, moved in chunks of `chunkClusters` (rounded
// up to whole 16-cluster units, which every file accepts), and its extents are
// read back: a placed file must end in one fragment.
DefragOutcome DefragmentSimply(Volume& volume, std::uint64_t chunkClusters);

// Every file the enumeration lists, all batches (none when a call fails, or when a
// batch holds more than `batchLimit` files).
std::vector<FileInfo> ListFiles(Volume& volume, std::size_t batchLimit = SIZE_MAX);

// Every extent of a file, all pages; false on any status but Ok and MoreData.
bool ReadAllExtents(Volume& volume, std::uint64_t fileId, std::vector<Extent>& extents);

// The whole allocation bitmap, all pages: used[lcn]. False when a call fails.
bool ReadWholeBitmap(Volume& volume, std::vector<bool>& used);

// The first run of at least `clusters` free clusters at or after `from` in the
// volume's bitmap, or kNoLcn.
Lcn FindFreeRun(Volume& volume, std::uint64_t clusters, Lcn from = 0);

// Stored runs that do not follow on from the previous stored run.
std::size_t CountFragments(const std::vector<Extent>& extents);

}  // namespace vantrel::engine::ntfs::proof
