// The free extents of a volume model. Extents never straddle the MFT zone's
// borders, so that allocation can keep the zone for last.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace vantrel::defragsvc {

struct AllocationRules {
    // Allocated clusters all lie below this cluster.
    std::uint64_t limit = UINT64_MAX;
    bool allowZone = false;
};

class FreeSpace {
  public:
    FreeSpace() = default;
    FreeSpace(std::uint64_t zoneStart, std::uint64_t zoneEnd)
        : zoneStart_(zoneStart), zoneEnd_(zoneEnd) {}

    // Marks [start, start + length) free, merging with free neighbours.
    void Release(std::uint64_t start, std::uint64_t length);
    // Replaces the contents with the given non-overlapping extents (start, length),
    // in any order; much faster than releasing them one by one.
    void Assign(std::vector<std::pair<std::uint64_t, std::uint64_t>> extents);
    // Takes length contiguous clusters from the smallest extent that holds them
    // under the rules; answers the first cluster taken.
    std::optional<std::uint64_t> Allocate(std::uint64_t length, const AllocationRules& rules);

    std::uint64_t TotalClusters() const { return total_; }
    std::uint64_t LargestExtent() const;
    std::size_t ExtentCount() const { return byStart_.size(); }
    const std::map<std::uint64_t, std::uint64_t>& Extents() const { return byStart_; }

  private:
    bool InZone(std::uint64_t cluster) const { return cluster >= zoneStart_ && cluster < zoneEnd_; }
    void Insert(std::uint64_t start, std::uint64_t length);
    void Erase(std::map<std::uint64_t, std::uint64_t>::iterator it);

    std::uint64_t zoneStart_ = 0;
    std::uint64_t zoneEnd_ = 0;
    std::uint64_t total_ = 0;
    std::map<std::uint64_t, std::uint64_t> byStart_;            // start -> length
    std::set<std::pair<std::uint64_t, std::uint64_t>> bySize_;  // (length, start)
};

}  // namespace vantrel::defragsvc
