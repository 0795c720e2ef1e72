// Whole answers of the volume interface's paged calls, for the tests that compare
// them with an independent walk or look for room to move into.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/FileLayout.h"
#include "engine/Volume.h"

namespace vantrel::engine::ntfs::proof {

// Every file the enumeration lists, all batches (none when a call fails, or when a
// batch holds more than `batchLimit` files).
std::vector<FileInfo> ListFiles(Volume& volume, std::size_t batchLimit = SIZE_MAX);

// The whole allocation bitmap, all pages: used[lcn]. False when a call fails.
bool ReadWholeBitmap(Volume& volume, std::vector<bool>& used);

// The first run of at least `clusters` free clusters at or after `from` in the
// volume's bitmap, or kNoLcn.
Lcn FindFreeRun(Volume& volume, std::uint64_t clusters, Lcn from = 0);

}  // namespace vantrel::engine::ntfs::proof
