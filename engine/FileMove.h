// One file's stored clusters on their way to a target run, in chunks of bounded
// size so that a pause or a stop takes effect between two of them. Compressed and
// sparse data move in whole compression units (16 clusters), as the move call
// requires; a chunk may end at the end of the data.
#pragma once

#include "engine/Volume.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vantrel::engine {

inline constexpr std::uint64_t kCompressionUnit = 16;
// A chunk holds at most this many bytes: a move of it takes well under half a
// second on a disk.
inline constexpr std::uint64_t kChunkBytes = 16ull << 20;

// Clusters per chunk for a cluster size: a whole number of compression units.
std::uint64_t ChunkClustersFor(std::uint32_t bytesPerCluster);

class FileMove {
  public:
    // `unitAligned` for compressed and sparse files.
    FileMove(std::uint64_t fileId, std::span<const Extent> extents, bool unitAligned,
             std::uint64_t chunkClusters);

    std::uint64_t FileId() const { return fileId_; }
    std::uint64_t StoredClusters() const { return stored_; }
    // Stored clusters of the chunks not moved yet.
    std::uint64_t RemainingClusters() const;
    bool Finished() const { return moved_ == chunks_.size(); }
    bool Started() const { return movedClusters_ != 0; }
    std::uint64_t MovedClusters() const { return movedClusters_; }

    // The chunks not moved yet go to `target` onwards, in VCN order.
    void Aim(Lcn target);
    // The chunk whose target holds `lcn` goes next (a probe: when it cannot go,
    // nothing has moved yet).
    void ProbeFirst(Lcn lcn);
    // Moves the next chunk; Ok when it went.
    VolumeStatus MoveNext(Volume& volume);

    // Where the chunks not moved yet were aimed (start, clusters), for the caller to
    // give back or drop.
    std::vector<std::pair<Lcn, std::uint64_t>> UnusedTargets() const;

  private:
    struct Chunk {
        Vcn vcn = 0;
        std::uint64_t vcnClusters = 0;
        std::uint64_t stored = 0;
        Lcn target = 0;
        bool moved = false;
    };

    std::uint64_t fileId_;
    std::uint64_t stored_ = 0;
    std::vector<Chunk> chunks_;
    std::vector<std::size_t> order_;
    std::size_t moved_ = 0;
    std::uint64_t movedClusters_ = 0;
};

}  // namespace vantrel::engine
