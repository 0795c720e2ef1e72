// The volume map the service answers: the volume's clusters divided among a
// number of cells, each counting its clusters by kind. Kept up to date
// incrementally as a job moves extents, so that answering a map costs a copy,
// not a walk over the whole volume.
#pragma once

#include "defragsvc/VolumeModel.h"
#include "service/JobRecords.h"

#include <cstdint>
#include <vector>

namespace vantrel::defragsvc {

enum class ClusterKind { Used, Optimized, Fragmented, Mft };

// At most this many cells: a map of this size is 40 MiB on the wire.
inline constexpr std::uint32_t kMaxMapCells = 1u << 20;

class ClusterMap {
  public:
    ClusterMap(std::uint64_t totalClusters, std::uint32_t cellCount);

    void Add(ClusterKind kind, std::uint64_t lcn, std::uint64_t length);
    void Remove(ClusterKind kind, std::uint64_t lcn, std::uint64_t length);

    std::uint32_t CellCount() const { return cellCount_; }
    // The cells with their free counters filled in: each cell's counters sum to
    // the clusters of its slice.
    std::vector<service::MapCell> Cells() const;
    // Clusters in use (every kind but free) in one cell's slice.
    std::uint64_t TakenIn(std::uint32_t cell) const;

    std::uint64_t SliceStart(std::uint32_t cell) const;

  private:
    template <typename Apply>
    void ForEachSlice(std::uint64_t lcn, std::uint64_t length, Apply apply);

    std::uint64_t totalClusters_;
    std::uint32_t cellCount_;
    std::vector<service::MapCell> cells_;
};

// The kind an entry's clusters are counted as: the MFT, fragmented file data,
// data an optimization has placed, or plain used space.
ClusterKind KindOf(const VolumeModel& model, std::uint32_t index);

// Counts every entry of the model into a fresh map.
ClusterMap MapOf(const VolumeModel& model, std::uint32_t cellCount);

}  // namespace vantrel::defragsvc
