// The volume map: the volume's clusters divided among as many cells as the client
// announced, each counting its clusters by kind. Kept up to date incrementally as
// the analysis classifies extents and the optimizer moves them, so that answering a
// map costs a copy, not a walk over the volume.
#pragma once

#include "engine/Volume.h"

#include <cstdint>
#include <vector>

namespace vantrel::engine {

// One cell: free space, used space, optimized file data, fragmented file data and
// the MFT, in clusters.
struct CellCounters {
    std::uint64_t free = 0;
    std::uint64_t used = 0;
    std::uint64_t optimized = 0;
    std::uint64_t fragmented = 0;
    std::uint64_t mft = 0;

    bool operator==(const CellCounters&) const = default;
};

enum class ClusterKind { Used, Optimized, Fragmented, Mft };

class ClusterMap {
  public:
    ClusterMap() = default;
    ClusterMap(std::uint64_t totalClusters, std::uint32_t cellCount);

    // Clusters taken (by a kind) or given back (free again).
    void Add(ClusterKind kind, Lcn lcn, std::uint64_t length);
    void Remove(ClusterKind kind, Lcn lcn, std::uint64_t length);
    // Counts taken clusters of one kind as another. Where the map holds fewer of
    // `from` than asked (the bitmap snapshot and the extents disagree), only those.
    void Reclassify(ClusterKind from, ClusterKind to, Lcn lcn, std::uint64_t length);

    std::uint32_t CellCount() const { return cellCount_; }
    std::uint64_t TotalClusters() const { return totalClusters_; }
    std::uint64_t SliceStart(std::uint32_t cell) const;
    // The cell that holds `lcn`.
    std::uint32_t CellOf(Lcn lcn) const;
    // The cells with their free counters filled in; cells from `shown` on read all
    // zero (not surveyed yet).
    std::vector<CellCounters> Cells(std::uint32_t shown) const;
    std::uint64_t TakenIn(std::uint32_t cell) const;

  private:
    template <typename Apply>
    void ForEachSlice(Lcn lcn, std::uint64_t length, Apply apply);

    std::uint64_t totalClusters_ = 0;
    std::uint32_t cellCount_ = 0;
    std::vector<CellCounters> cells_;
};

}  // namespace vantrel::engine
