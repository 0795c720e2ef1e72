#include "engine/FileMove.h"

#include <algorithm>

namespace vantrel::engine {

std::uint64_t ChunkClustersFor(std::uint32_t bytesPerCluster) {
    const std::uint64_t clusters = kChunkBytes / std::max<std::uint32_t>(bytesPerCluster, 1);
    return std::max(kCompressionUnit, clusters / kCompressionUnit * kCompressionUnit);
}

FileMove::FileMove(std::uint64_t fileId, std::span<const Extent> extents, bool unitAligned,
                   std::uint64_t chunkClusters)
    : fileId_(fileId) {
    chunkClusters = std::max<std::uint64_t>(chunkClusters, 1);
    // Stored clusters per VCN range, from the runs in VCN order.
    Chunk open;
    bool opened = false;
    auto close = [&] {
        if (opened && open.stored != 0) {
            chunks_.push_back(open);
        }
        opened = false;
    };
    auto take = [&](Vcn vcn, std::uint64_t vcnClusters, std::uint64_t stored) {
        if (!opened) {
            open = Chunk{.vcn = vcn};
            opened = true;
        }
        open.vcnClusters = vcn + vcnClusters - open.vcn;
        open.stored += stored;
        stored_ += stored;
        if (open.stored >= chunkClusters) {
            close();
        }
    };
    if (!unitAligned) {
        for (const Extent& extent : extents) {
            if (extent.lcn == kNoLcn) {
                close();
                continue;
            }
            for (std::uint64_t done = 0; done < extent.clusters;) {
                const std::uint64_t room = opened ? chunkClusters - open.stored : chunkClusters;
                const std::uint64_t part = std::min(room, extent.clusters - done);
                take(extent.vcn + done, part, part);
                done += part;
            }
        }
    } else if (!extents.empty()) {
        // Whole compression units, counted unit by unit.
        const Vcn end = extents.back().vcn + extents.back().clusters;
        std::size_t at = 0;
        for (Vcn unit = extents.front().vcn / kCompressionUnit * kCompressionUnit; unit < end;
             unit += kCompressionUnit) {
            const Vcn unitEnd = std::min(end, unit + kCompressionUnit);
            std::uint64_t stored = 0;
            while (at < extents.size() && extents[at].vcn + extents[at].clusters <= unit) {
                ++at;
            }
            // Long holes are skipped whole rather than unit by unit.
            std::size_t nextStored = at;
            while (nextStored < extents.size() && extents[nextStored].lcn == kNoLcn) {
                ++nextStored;
            }
            if (nextStored == extents.size()) {
                break;
            }
            if (extents[nextStored].vcn >= unitEnd) {
                close();
                unit = extents[nextStored].vcn / kCompressionUnit * kCompressionUnit -
                       kCompressionUnit;
                continue;
            }
            for (std::size_t i = at; i < extents.size() && extents[i].vcn < unitEnd; ++i) {
                if (extents[i].lcn != kNoLcn) {
                    const Vcn from = std::max(unit, extents[i].vcn);
                    const Vcn to = std::min(unitEnd, extents[i].vcn + extents[i].clusters);
                    stored += to > from ? to - from : 0;
                }
            }
            const Vcn vcn = std::max(unit, extents.front().vcn);
            take(vcn, unitEnd - vcn, stored);
        }
    }
    close();
    order_.resize(chunks_.size());
    for (std::size_t i = 0; i < order_.size(); ++i) {
        order_[i] = i;
    }
}

std::uint64_t FileMove::RemainingClusters() const {
    return stored_ - movedClusters_;
}

void FileMove::Aim(Lcn target) {
    for (Chunk& chunk : chunks_) {
        if (!chunk.moved) {
            chunk.target = target;
            target += chunk.stored;
        }
    }
}

void FileMove::ProbeFirst(Lcn lcn) {
    const auto probe = std::find_if(
        order_.begin() + static_cast<std::ptrdiff_t>(moved_), order_.end(), [&](std::size_t i) {
            return lcn >= chunks_[i].target && lcn < chunks_[i].target + chunks_[i].stored;
        });
    if (probe != order_.end()) {
        std::rotate(order_.begin() + static_cast<std::ptrdiff_t>(moved_), probe, probe + 1);
    }
}

VolumeStatus FileMove::MoveNext(Volume& volume) {
    if (Finished()) {
        return VolumeStatus::Ok;
    }
    Chunk& chunk = chunks_[order_[moved_]];
    const VolumeStatus status =
        volume.MoveClusters(fileId_, chunk.vcn, chunk.target, chunk.vcnClusters);
    if (status == VolumeStatus::Ok) {
        chunk.moved = true;
        ++moved_;
        movedClusters_ += chunk.stored;
    }
    return status;
}

std::vector<std::pair<Lcn, std::uint64_t>> FileMove::UnusedTargets() const {
    std::vector<std::pair<Lcn, std::uint64_t>> unused;
    for (const Chunk& chunk : chunks_) {
        if (chunk.moved) {
            continue;
        }
        if (!unused.empty() && unused.back().first + unused.back().second == chunk.target) {
            unused.back().second += chunk.stored;
        } else {
            unused.emplace_back(chunk.target, chunk.stored);
        }
    }
    return unused;
}

}  // namespace vantrel::engine
