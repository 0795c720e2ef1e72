// Model drives: deterministic simulated volumes shaped like real ones, the same
// for the same drive letter and size every time. The system drive (C) holds
// Windows, the programs, a user's folders and the page file; other drives hold
// photos, music, videos, documents, games and backups. The bulk of the data sits in
// few large files; at most 2,500 files are fragmented (every one costs the client a
// 64 KiB record transfer), and a few of those are always held open by a running
// program. A few small files lie scattered in the free space past the data, so
// that the largest fragmented files find no free run of their size before the
// second pass has moved them aside.
#pragma once

#include "engine/sim/SimVolume.h"

#include <cstdint>
#include <memory>

namespace vantrel::engine::sim {

inline constexpr std::uint64_t kDefaultDriveBytes = 64ull << 30;
inline constexpr std::uint64_t kMinimumDriveBytes = 256ull << 20;
inline constexpr std::uint32_t kMaxModelFiles = 600000;
inline constexpr std::uint32_t kMaxFragmentedFiles = 2500;
inline constexpr std::uint32_t kMinLockedFragmentedFiles = 3;

struct ModelOptions {
    // Files to make; 0: as many as the drive's size suggests, at most kMaxModelFiles.
    std::uint32_t files = 0;
    // Paging and checkpoints; the geometry is the model's own.
    SimOptions volume{};
};

std::unique_ptr<SimVolume> BuildModelDrive(char16_t letter, std::uint64_t totalBytes,
                                           const ModelOptions& options = {});

}  // namespace vantrel::engine::sim
