#include "engine/ClusterMap.h"

#include <algorithm>

namespace vantrel::engine {
namespace {

std::uint64_t& Counter(CellCounters& cell, ClusterKind kind) {
    switch (kind) {
        case ClusterKind::Optimized:
            return cell.optimized;
        case ClusterKind::Fragmented:
            return cell.fragmented;
        case ClusterKind::Mft:
            return cell.mft;
        case ClusterKind::Used:
            break;
    }
    return cell.used;
}

}  // namespace

ClusterMap::ClusterMap(std::uint64_t totalClusters, std::uint32_t cellCount)
    : totalClusters_(totalClusters),
      cellCount_(std::max<std::uint32_t>(cellCount, 1)),
      cells_(cellCount_) {}

std::uint64_t ClusterMap::SliceStart(std::uint32_t cell) const {
    if (cell >= cellCount_) {
        return totalClusters_;
    }
    // Exact for any volume: (total x cell) / cells without a 128-bit product.
    const std::uint64_t whole = totalClusters_ / cellCount_;
    const std::uint64_t rest = totalClusters_ % cellCount_;
    return whole * cell + rest * cell / cellCount_;
}

std::uint32_t ClusterMap::CellOf(Lcn lcn) const {
    if (totalClusters_ == 0 || lcn >= totalClusters_) {
        return cellCount_ - 1;
    }
    auto cell = static_cast<std::uint32_t>(static_cast<double>(lcn) /
                                           static_cast<double>(totalClusters_) * cellCount_);
    cell = std::min(cell, cellCount_ - 1);
    while (cell + 1 < cellCount_ && SliceStart(cell + 1) <= lcn) {
        ++cell;
    }
    while (cell > 0 && SliceStart(cell) > lcn) {
        --cell;
    }
    return cell;
}

template <typename Apply>
void ClusterMap::ForEachSlice(Lcn lcn, std::uint64_t length, Apply apply) {
    if (cells_.empty() || lcn >= totalClusters_ || length == 0) {
        return;
    }
    const std::uint64_t end = lcn + std::min(length, totalClusters_ - lcn);
    for (std::uint32_t cell = CellOf(lcn); lcn < end && cell < cellCount_; ++cell) {
        const std::uint64_t sliceEnd = std::min(end, SliceStart(cell + 1));
        if (sliceEnd > lcn) {
            apply(cells_[cell], sliceEnd - lcn);
            lcn = sliceEnd;
        }
    }
}

void ClusterMap::Add(ClusterKind kind, Lcn lcn, std::uint64_t length) {
    ForEachSlice(lcn, length,
                 [kind](CellCounters& cell, std::uint64_t count) { Counter(cell, kind) += count; });
}

void ClusterMap::Remove(ClusterKind kind, Lcn lcn, std::uint64_t length) {
    ForEachSlice(lcn, length, [kind](CellCounters& cell, std::uint64_t count) {
        std::uint64_t& counter = Counter(cell, kind);
        counter -= std::min(counter, count);
    });
}

void ClusterMap::Reclassify(ClusterKind from, ClusterKind to, Lcn lcn, std::uint64_t length) {
    if (from == to) {
        return;
    }
    ForEachSlice(lcn, length, [from, to](CellCounters& cell, std::uint64_t count) {
        std::uint64_t& source = Counter(cell, from);
        const std::uint64_t moved = std::min(source, count);
        source -= moved;
        Counter(cell, to) += moved;
    });
}

std::uint64_t ClusterMap::TakenIn(std::uint32_t cell) const {
    if (cell >= cells_.size()) {
        return 0;
    }
    const CellCounters& counters = cells_[cell];
    return counters.used + counters.optimized + counters.fragmented + counters.mft;
}

std::vector<CellCounters> ClusterMap::Cells(std::uint32_t shown) const {
    std::vector<CellCounters> cells(cells_.size());
    for (std::uint32_t i = 0; i < cells_.size() && i < shown; ++i) {
        cells[i] = cells_[i];
        const std::uint64_t slice = SliceStart(i + 1) - SliceStart(i);
        cells[i].free = slice - std::min(slice, TakenIn(i));
    }
    return cells;
}

}  // namespace vantrel::engine
