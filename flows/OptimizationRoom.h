// The free-space test before an optimization can be asked for: the selection page
// makes it before a scan or an optimization starts, the optimization results page
// before it records a first pass. Stricter than the progress page's own test at the
// job start (flows/DiskAnalyzingRules.h).
#pragma once

#include <cstdint>
#include <optional>

#include "flows/DiskAnalyzingRules.h"

inline constexpr unsigned kOptimizeMinPercent = 8;
inline constexpr std::uint64_t kOptimizeMinBytes = 5ull * 1024 * 1024 * 1024;

// True when at least 8 % (free x 100 / total, truncated) or at least 5 GiB are free.
// A drive whose space cannot be read has no room.
bool HasRoomToOptimize(const std::optional<DiskSpace>& space);
