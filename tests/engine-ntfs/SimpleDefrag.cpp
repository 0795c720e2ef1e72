#include "tests/engine-ntfs/SimpleDefrag.h"

#include <algorithm>

namespace vantrel::engine::ntfs::proof {

namespace {

constexpr std::uint64_t kUnitClusters = 16;

std::string Describe(const char* what, std::uint64_t fileId, VolumeStatus status) {
    return std::string(what) + " of file " + std::to_string(fileId) + " answered " +
           std::to_string(static_cast<int>(status));
}

Lcn FirstFreeRun(const std::vector<bool>& used, std::uint64_t clusters, Lcn from = 0) {
    std::uint64_t runLength = 0;
    for (std::size_t lcn = from; lcn < used.size(); ++lcn) {
        runLength = used[lcn] ? 0 : runLength + 1;
        if (runLength == clusters) {
            return lcn + 1 - clusters;
        }
    }
    return kNoLcn;
}

std::uint64_t StoredClusters(const std::vector<Extent>& extents) {
    std::uint64_t stored = 0;
    for (const Extent& extent : extents) {
        stored += extent.lcn == kNoLcn ? 0 : extent.clusters;
    }
    return stored;
}

// Moves the whole file to `base` onwards, chunk by chunk: each chunk's stored
// clusters follow those moved before it. Answers the first status that is not Ok;
// `firstChunk` tells whether that came at the first chunk.
VolumeStatus MoveInChunks(Volume& volume, std::uint64_t id, const std::vector<Extent>& extents,
                          Lcn base, std::uint64_t chunk, bool& firstChunk) {
    const Vcn end = extents.back().vcn + extents.back().clusters;
    Lcn target = base;
    for (Vcn vcn = 0; vcn < end; vcn += chunk) {
        const std::uint64_t clusters = std::min<std::uint64_t>(chunk, end - vcn);
        firstChunk = vcn == 0;
        if (const VolumeStatus moved = volume.MoveClusters(id, vcn, target, clusters);
            moved != VolumeStatus::Ok) {
            return moved;
        }
        for (const Extent& extent : extents) {
            const Vcn from = std::max(vcn, extent.vcn);
            const Vcn to = std::min(vcn + clusters, extent.vcn + extent.clusters);
            target += extent.lcn != kNoLcn && to > from ? to - from : 0;
        }
    }
    return VolumeStatus::Ok;
}

}  // namespace

bool ReadWholeBitmap(Volume& volume, std::vector<bool>& used) {
    used.clear();
    BitmapPage page;
    VolumeStatus status = VolumeStatus::MoreData;
    for (Lcn next = 0; status == VolumeStatus::MoreData; next = page.start + page.clusters) {
        status = volume.ReadBitmap(next, page);
        if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
            return false;
        }
        for (Lcn lcn = page.start; lcn < page.start + page.clusters; ++lcn) {
            used.push_back(page.InUse(lcn));
        }
    }
    return true;
}

std::vector<FileInfo> ListFiles(Volume& volume, std::size_t batchLimit) {
    std::vector<FileInfo> files;
    std::vector<FileInfo> batch;
    VolumeStatus status = VolumeStatus::MoreData;
    for (std::uint64_t cursor = 0; status == VolumeStatus::MoreData;) {
        status = volume.EnumerateFiles(cursor, batch);
        if ((status != VolumeStatus::Ok && status != VolumeStatus::MoreData) ||
            batch.size() > batchLimit) {
            return {};
        }
        files.insert(files.end(), batch.begin(), batch.end());
    }
    return files;
}

Lcn FindFreeRun(Volume& volume, std::uint64_t clusters, Lcn from) {
    std::vector<bool> used;
    return ReadWholeBitmap(volume, used) ? FirstFreeRun(used, clusters, from) : kNoLcn;
}

bool ReadAllExtents(Volume& volume, std::uint64_t fileId, std::vector<Extent>& extents) {
    extents.clear();
    std::vector<Extent> page;
    for (Vcn next = 0;;) {
        const VolumeStatus status = volume.ReadExtents(fileId, next, page);
        if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
            return false;
        }
        for (const Extent& extent : page) {
            if (extents.empty() || extent.vcn >= extents.back().vcn + extents.back().clusters) {
                extents.push_back(extent);
            }
        }
        if (status == VolumeStatus::Ok || page.empty()) {
            return true;
        }
        next = page.back().vcn + page.back().clusters;
    }
}

std::size_t CountFragments(const std::vector<Extent>& extents) {
    std::size_t fragments = 0;
    Lcn nextLcn = kNoLcn;
    for (const Extent& extent : extents) {
        if (extent.lcn == kNoLcn) {
            continue;
        }
        fragments += extent.lcn != nextLcn;
        nextLcn = extent.lcn + extent.clusters;
    }
    return fragments;
}

DefragOutcome DefragmentSimply(Volume& volume, std::uint64_t chunkClusters) {
    DefragOutcome outcome;
    const std::vector<FileInfo> files = ListFiles(volume);
    if (files.empty()) {
        outcome.failures.push_back("the enumeration failed");
        return outcome;
    }
    const std::uint64_t chunk =
        std::max<std::uint64_t>(1, (chunkClusters + kUnitClusters - 1) / kUnitClusters) *
        kUnitClusters;
    std::vector<Extent> extents;
    std::vector<bool> used;
    for (const FileInfo& file : files) {
        const std::uint64_t id = file.id;
        if (!ReadAllExtents(volume, id, extents)) {
            outcome.failures.push_back("the extents of file " + std::to_string(id) +
                                       " cannot be read");
            continue;
        }
        if (CountFragments(extents) <= 1) {
            continue;
        }
        ++outcome.fragmentedBefore;
        if (!ReadWholeBitmap(volume, used)) {
            outcome.failures.push_back("the bitmap cannot be read");
            return outcome;
        }
        const Lcn base = FirstFreeRun(used, StoredClusters(extents));
        if (base == kNoLcn) {
            outcome.noFreeRun.push_back(id);
            continue;
        }
        bool firstChunk = false;
        const VolumeStatus moved = MoveInChunks(volume, id, extents, base, chunk, firstChunk);
        if (moved == VolumeStatus::CannotMove && firstChunk) {
            outcome.refused.push_back(id);
            continue;
        }
        if (moved != VolumeStatus::Ok) {
            outcome.failures.push_back(Describe("a move", id, moved));
            continue;
        }
        outcome.placed.push_back(id);
        if (!ReadAllExtents(volume, id, extents) || CountFragments(extents) != 1) {
            outcome.failures.push_back("file " + std::to_string(id) + " is still in " +
                                       std::to_string(CountFragments(extents)) + " fragments");
        }
    }
    return outcome;
}

}  // namespace vantrel::engine::ntfs::proof
