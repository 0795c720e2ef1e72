#include "engine/sim/ModelLayout.h"

#include <algorithm>
#include <cmath>

namespace vantrel::engine::sim {

ModelLayout::ModelLayout(std::uint64_t totalClusters, SplitMix64& random, Lcn mftStart, Lcn zoneEnd,
                         std::uint64_t piecesClusters, std::uint64_t scatteredFree,
                         std::uint64_t pieceCount)
    : total_(totalClusters),
      random_(random),
      mftStart_(mftStart),
      zoneEnd_(zoneEnd),
      remaining_(piecesClusters),
      meanGap_(pieceCount == 0 ? 0.0 : static_cast<double>(scatteredFree) / (0.25 * pieceCount)) {}

void ModelLayout::Place(std::uint32_t entry, std::uint64_t length) {
    remaining_ -= std::min(remaining_, length);
    // A piece never overlaps the MFT and its zone: it goes past them instead.
    if (cursor_ <= mftStart_ && cursor_ + length > mftStart_) {
        cursor_ = zoneEnd_;
    }
    length = std::min(length, total_ - std::min(total_, cursor_));
    if (length == 0) {
        return;
    }
    placements_.push_back({entry, cursor_, length});
    cursor_ += length;
    if (meanGap_ > 0.0 && random_.Chance(0.25)) {
        const auto wanted = static_cast<std::uint64_t>(-std::log(1.0 - random_.Unit()) * meanGap_);
        std::uint64_t gap = std::min(wanted, Room());
        if (cursor_ < mftStart_) {
            gap = std::min(gap, mftStart_ - cursor_);
        }
        cursor_ += gap;
    }
}

void ModelLayout::Scatter(const std::vector<std::pair<std::uint32_t, std::uint64_t>>& files,
                          std::uint64_t spacing) {
    Lcn at = std::max(cursor_, zoneEnd_) + spacing;
    for (const auto& [entry, length] : files) {
        if (at + length > total_) {
            break;
        }
        placements_.push_back({entry, at, length});
        at += length + spacing;
    }
}

std::uint64_t ModelLayout::Room() const {
    std::uint64_t reserved = remaining_;
    if (cursor_ < mftStart_) {
        reserved += zoneEnd_ - mftStart_;
    }
    const std::uint64_t end = cursor_ + reserved;
    return end >= total_ ? 0 : total_ - end;
}

}  // namespace vantrel::engine::sim
