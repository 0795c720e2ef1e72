#include "defragsvc/ClusterMap.h"

#include <algorithm>

namespace vantrel::defragsvc {
namespace {

std::uint64_t& Counter(service::MapCell& cell, ClusterKind kind) {
    switch (kind) {
        case ClusterKind::Optimized:
            return cell.Optimized;
        case ClusterKind::Fragmented:
            return cell.Fragmented;
        case ClusterKind::Mft:
            return cell.Mft;
        case ClusterKind::Used:
            break;
    }
    return cell.Used;
}

}  // namespace

ClusterMap::ClusterMap(std::uint64_t totalClusters, std::uint32_t cellCount)
    : totalClusters_(totalClusters),
      cellCount_(std::clamp<std::uint32_t>(cellCount, 1, kMaxMapCells)),
      cells_(cellCount_) {}

std::uint64_t ClusterMap::SliceStart(std::uint32_t cell) const {
    return cell >= cellCount_ ? totalClusters_ : totalClusters_ * cell / cellCount_;
}

template <typename Apply>
void ClusterMap::ForEachSlice(std::uint64_t lcn, std::uint64_t length, Apply apply) {
    if (totalClusters_ == 0 || lcn >= totalClusters_) {
        return;
    }
    const std::uint64_t end = std::min(totalClusters_, lcn + length);
    auto cell = static_cast<std::uint32_t>(lcn * cellCount_ / totalClusters_);
    while (cell + 1 < cellCount_ && SliceStart(cell + 1) <= lcn) {
        ++cell;
    }
    while (cell > 0 && SliceStart(cell) > lcn) {
        --cell;
    }
    for (std::uint64_t at = lcn; at < end && cell < cellCount_; ++cell) {
        const std::uint64_t sliceEnd = std::min(end, SliceStart(cell + 1));
        if (sliceEnd > at) {
            apply(cells_[cell], sliceEnd - at);
            at = sliceEnd;
        }
    }
}

void ClusterMap::Add(ClusterKind kind, std::uint64_t lcn, std::uint64_t length) {
    ForEachSlice(lcn, length, [kind](service::MapCell& cell, std::uint64_t count) {
        Counter(cell, kind) += count;
    });
}

void ClusterMap::Remove(ClusterKind kind, std::uint64_t lcn, std::uint64_t length) {
    ForEachSlice(lcn, length, [kind](service::MapCell& cell, std::uint64_t count) {
        Counter(cell, kind) -= count;
    });
}

std::vector<service::MapCell> ClusterMap::Cells() const {
    std::vector<service::MapCell> cells = cells_;
    for (std::uint32_t i = 0; i < cellCount_; ++i) {
        service::MapCell& cell = cells[i];
        const std::uint64_t slice = SliceStart(i + 1) - SliceStart(i);
        cell.Free = slice - std::min(slice, TakenIn(i));
    }
    return cells;
}

std::uint64_t ClusterMap::TakenIn(std::uint32_t cell) const {
    if (cell >= cellCount_) {
        return 0;
    }
    const service::MapCell& counters = cells_[cell];
    return counters.Used + counters.Optimized + counters.Fragmented + counters.Mft;
}

ClusterKind KindOf(const VolumeModel& model, std::uint32_t index) {
    const Entry& entry = model.entries[index];
    if (entry.kind == EntryKind::Mft) {
        return ClusterKind::Mft;
    }
    if (model.IsFragmented(index)) {
        return ClusterKind::Fragmented;
    }
    return entry.optimized ? ClusterKind::Optimized : ClusterKind::Used;
}

ClusterMap MapOf(const VolumeModel& model, std::uint32_t cellCount) {
    ClusterMap map(model.geometry.totalClusters, cellCount);
    for (std::uint32_t i = 0; i < model.entries.size(); ++i) {
        const ClusterKind kind = KindOf(model, i);
        for (const Extent& extent : model.ExtentsOf(i)) {
            map.Add(kind, extent.lcn, extent.length);
        }
    }
    return map;
}

}  // namespace vantrel::defragsvc
