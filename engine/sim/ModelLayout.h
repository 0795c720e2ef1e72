// Where a model drive's pieces go: laid from the start of the volume, past the MFT
// and its zone, with random free gaps between pieces and the rest of the free space
// at the end, where a few small files lie scattered.
#pragma once

#include "engine/Volume.h"
#include "engine/sim/Random.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace vantrel::engine::sim {

struct Placement {
    std::uint32_t entry;
    Lcn lcn;
    std::uint64_t length;
};

class ModelLayout {
  public:
    // `piecesClusters` and `pieceCount` are what Place will lay; `scatteredFree` the
    // free clusters the gaps between them should add up to.
    ModelLayout(std::uint64_t totalClusters, SplitMix64& random, Lcn mftStart, Lcn zoneEnd,
                std::uint64_t piecesClusters, std::uint64_t scatteredFree,
                std::uint64_t pieceCount);

    void Place(std::uint32_t entry, std::uint64_t length);
    // Small files (entry, length) in the free space past the data, one every
    // `spacing` clusters.
    void Scatter(const std::vector<std::pair<std::uint32_t, std::uint64_t>>& files,
                 std::uint64_t spacing);

    std::vector<Placement>& Placements() { return placements_; }

  private:
    // Free space that a gap may take without crowding out the pieces still to come.
    std::uint64_t Room() const;

    std::uint64_t total_;
    SplitMix64& random_;
    Lcn mftStart_;
    Lcn zoneEnd_;
    std::uint64_t remaining_;
    double meanGap_;
    Lcn cursor_ = 0;
    std::vector<Placement> placements_;
};

}  // namespace vantrel::engine::sim
