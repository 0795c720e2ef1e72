// A stream's run list as plain values, and the run list a move leaves behind. No
// library calls here: the move's arithmetic stays apart from its I/O.
#pragma once

#include <cstdint>
#include <vector>

namespace vantrel::engine::ntfs {

// `length` clusters from `vcn` on, stored from `lcn` on, or a hole (kHoleLcn).
struct Run {
    std::int64_t vcn = 0;
    std::int64_t lcn = 0;
    std::int64_t length = 0;
};
inline constexpr std::int64_t kHoleLcn = -1;

// One piece of data a move copies: `clusters` clusters from `from` to `to`.
struct ClusterCopy {
    std::int64_t from = 0;
    std::int64_t to = 0;
    std::int64_t clusters = 0;
};

struct MovePlan {
    std::vector<Run> runs;            // the whole stream after the move
    std::vector<ClusterCopy> copies;  // in VCN order; their `from` ranges are freed last
    std::int64_t targetClusters = 0;  // the stored clusters of the range
};

// Maps the stored clusters of [vcn, vcn + clusters) in VCN order onto target,
// target + 1, ...; holes stay holes. The range must lie inside `runs`, which cover
// the stream from VCN 0 without gaps.
MovePlan PlanMove(const std::vector<Run>& runs, std::int64_t vcn, std::int64_t clusters,
                  std::int64_t target);

}  // namespace vantrel::engine::ntfs
