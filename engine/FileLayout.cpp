#include "engine/FileLayout.h"

#include <algorithm>

namespace vantrel::engine {

LayoutFacts FactsOf(std::span<const Extent> extents) {
    LayoutFacts facts;
    Lcn next = kNoLcn;
    for (const Extent& extent : extents) {
        facts.vcnEnd = std::max(facts.vcnEnd, extent.vcn + extent.clusters);
        if (extent.lcn == kNoLcn) {
            facts.sparse = true;
            continue;
        }
        if (extent.clusters == 0) {
            continue;
        }
        if (extent.lcn != next) {
            ++facts.fragments;
        }
        facts.storedClusters += extent.clusters;
        next = extent.lcn + extent.clusters;
    }
    return facts;
}

VolumeStatus ReadAllExtents(Volume& volume, std::uint64_t fileId, std::vector<Extent>& extents) {
    extents.clear();
    std::vector<Extent> page;
    Vcn start = 0;
    for (;;) {
        const VolumeStatus status = volume.ReadExtents(fileId, start, page);
        if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
            extents.clear();
            return status;
        }
        const Vcn before = start;
        for (Extent extent : page) {
            const Vcn end = extent.vcn + extent.clusters;
            if (end <= start || extent.clusters == 0) {
                continue;  // already read
            }
            if (extent.vcn < start) {
                const std::uint64_t skipped = start - extent.vcn;
                extent.vcn = start;
                extent.clusters -= skipped;
                if (extent.lcn != kNoLcn) {
                    extent.lcn += skipped;
                }
            }
            extents.push_back(extent);
            start = end;
        }
        if (status == VolumeStatus::Ok) {
            return VolumeStatus::Ok;
        }
        if (start == before) {
            extents.clear();
            return VolumeStatus::IoError;
        }
    }
}

bool IsVolumeFailure(VolumeStatus status) {
    return status == VolumeStatus::VolumeChanged || status == VolumeStatus::IoError;
}

}  // namespace vantrel::engine
