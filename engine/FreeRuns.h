// The free runs of a volume as the optimizer plans with them: best fit by length,
// and runs in LCN order for the free-space consolidation. Runs never straddle the
// MFT zone's borders, so that allocation can keep the zone for last.
#pragma once

#include "engine/Volume.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace vantrel::engine {

class FreeRuns {
  public:
    FreeRuns() = default;
    FreeRuns(Lcn zoneStart, Lcn zoneEnd) : zoneStart_(zoneStart), zoneEnd_(zoneEnd) {}

    // Marks [lcn, lcn + length) free, merging with free neighbours on its side of
    // the zone's borders.
    void Give(Lcn lcn, std::uint64_t length);
    // Gives runs in ascending order, each after every run the index holds (as a
    // bitmap scan finds them); much faster than Give.
    void Append(Lcn lcn, std::uint64_t length);
    // Marks [lcn, lcn + length) not free, whatever runs it touches.
    void Take(Lcn lcn, std::uint64_t length);

    // The start of the smallest run of at least `length` clusters; the zone only
    // when allowed and nothing outside it fits. Takes nothing.
    std::optional<Lcn> BestFit(std::uint64_t length, bool allowZone) const;

    std::uint64_t TotalClusters() const { return total_; }
    std::uint64_t Largest() const;
    std::size_t RunCount() const { return byStart_.size(); }
    const std::map<Lcn, std::uint64_t>& ByStart() const { return byStart_; }
    bool InZone(Lcn lcn) const { return lcn >= zoneStart_ && lcn < zoneEnd_; }
    bool TouchesZone(Lcn start, Lcn stop) const { return start < zoneEnd_ && zoneStart_ < stop; }

  private:
    // A run cut where the MFT zone begins and ends: pieces [i, i + 1) lie wholly in
    // or out of the zone (empty pieces where the run does not cross a bound).
    std::array<Lcn, 4> ZoneCuts(Lcn lcn, Lcn end) const {
        return {lcn, std::clamp(zoneStart_, lcn, end), std::clamp(zoneEnd_, lcn, end), end};
    }
    void Insert(Lcn lcn, std::uint64_t length);
    void Erase(std::map<Lcn, std::uint64_t>::iterator it);
    std::set<std::pair<std::uint64_t, Lcn>>& SizesFor(Lcn lcn) {
        return InZone(lcn) ? zoneBySize_ : bySize_;
    }

    Lcn zoneStart_ = 0;
    Lcn zoneEnd_ = 0;
    std::uint64_t total_ = 0;
    std::map<Lcn, std::uint64_t> byStart_;                // start -> length
    std::set<std::pair<std::uint64_t, Lcn>> bySize_;      // (length, start) outside the zone
    std::set<std::pair<std::uint64_t, Lcn>> zoneBySize_;  // (length, start) inside it
};

}  // namespace vantrel::engine
