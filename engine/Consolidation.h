// The second pass's free-space consolidation: for a fragmented file that no free
// run holds, a window of the volume that is free but for a few small files in one
// piece, which are moved aside (each whole, in one call) so that the file fits.
#pragma once

#include "engine/Analysis.h"
#include "engine/FreeRuns.h"

#include <cstdint>
#include <vector>

namespace vantrel::engine {

struct OccupantMove {
    std::uint32_t placement = 0;  // in the analysis's placements
    Lcn target = 0;
};

struct Window {
    std::uint32_t fragmented = 0;  // in the analysis's fragmented files
    Lcn start = 0;
    std::uint64_t length = 0;
    std::vector<OccupantMove> occupants;
};

// At most this many files are looked at for a window in one pass: each look is a
// scan over all free runs.
inline constexpr std::size_t kMaxWindowSearches = 64;

// Plans windows for `candidates` (indexes into the analysis's fragmented files,
// largest first), taking every window and every occupant's target out of `free`.
// Candidates without a window are left out of the answer.
std::vector<Window> PlanWindows(const Analysis& analysis,
                                const std::vector<std::uint32_t>& candidates, FreeRuns& free,
                                bool ntfs);

}  // namespace vantrel::engine
