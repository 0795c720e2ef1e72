#include "tools/vantrel-image/LayoutCopy.h"

#include <algorithm>
#include <vector>

#include "engine/FileLayout.h"
#include "engine/SafeFiles.h"

namespace vantrel::image {

namespace {

using engine::Extent;
using engine::kNoLcn;
using engine::Lcn;
using engine::VolumeStatus;

// The volume's allocation bitmap, whole: bit i of byte i / 8 for cluster i.
class WholeBitmap {
  public:
    VolumeStatus Read(engine::Volume& volume, std::uint64_t totalClusters) {
        bits_.assign(static_cast<std::size_t>((totalClusters + 7) / 8), 0);
        engine::BitmapPage page;
        for (Lcn next = 0; next < totalClusters;) {
            const VolumeStatus status = volume.ReadBitmap(next, page);
            if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
                return status;
            }
            const Lcn end = std::min(totalClusters, page.start + page.clusters);
            if (page.start > next || end <= next || page.bits.size() * 8 < end - page.start) {
                return VolumeStatus::IoError;  // a page that does not go on from `next`
            }
            for (Lcn lcn = next; lcn < end; ++lcn) {
                if (page.InUse(lcn)) {
                    bits_[static_cast<std::size_t>(lcn / 8)] |=
                        static_cast<std::uint8_t>(1u << (lcn % 8));
                }
            }
            next = end;
            if (status == VolumeStatus::Ok && next < totalClusters) {
                return VolumeStatus::IoError;  // the bitmap ended before the volume
            }
        }
        return VolumeStatus::Ok;
    }

    bool InUse(Lcn lcn) const {
        return (bits_[static_cast<std::size_t>(lcn / 8)] >> (lcn % 8)) & 1u;
    }

    // The first cluster of [lcn, lcn + clusters) that is free, or kNoLcn.
    Lcn FirstFree(Lcn lcn, std::uint64_t clusters) const {
        for (Lcn at = lcn; at < lcn + clusters; ++at) {
            if (!InUse(at)) {
                return at;
            }
        }
        return kNoLcn;
    }

  private:
    std::vector<std::uint8_t> bits_;
};

std::string Record(std::uint64_t id) {
    return "record " + std::to_string(id & engine::kRecordMask);
}

// The file's runs as the simulated volume takes them: from VCN 0 on, with the holes
// a backend may leave out written as holes.
std::vector<Extent> RunsFromVcnZero(const std::vector<Extent>& extents) {
    std::vector<Extent> runs;
    engine::Vcn at = 0;
    for (const Extent& extent : extents) {
        if (extent.vcn > at) {
            runs.push_back({at, extent.vcn - at, kNoLcn});
        }
        runs.push_back(extent);
        at = extent.vcn + extent.clusters;
    }
    return runs;
}

}  // namespace

LayoutCopy CopyLayout(engine::Volume& volume) {
    LayoutCopy copy;
    engine::VolumeData data;
    if (const VolumeStatus status = volume.QueryVolumeData(data); status != VolumeStatus::Ok) {
        copy.failure = status;
        return copy;
    }
    WholeBitmap bitmap;
    if (const VolumeStatus status = bitmap.Read(volume, data.totalClusters);
        status != VolumeStatus::Ok) {
        copy.failure = status;
        return copy;
    }
    engine::sim::SimOptions options;
    options.fileSystem = data.fileSystem;
    options.bytesPerSector = data.bytesPerSector;
    options.bytesPerCluster = data.bytesPerCluster;
    options.totalClusters = data.totalClusters;
    options.mftStart = data.mftStart;
    options.mftZoneStart = data.mftZoneStart;
    options.mftZoneEnd = data.mftZoneEnd;
    options.media = volume.QueryMedia();
    options.checkpointCalls = 0;  // the copy frees what a move frees at once, as an image does
    auto simulated = std::make_unique<engine::sim::SimVolume>(options);
    // Record numbers come from the MFT: none lies past its records (of 512 bytes at
    // the least), so a bogus one cannot make the copy huge.
    const std::uint64_t recordLimit = data.mftValidBytes / 512 + engine::kFirstUserRecord;

    std::vector<engine::FileInfo> batch;
    std::vector<Extent> extents;
    VolumeStatus listed = VolumeStatus::MoreData;
    for (std::uint64_t cursor = 0; listed == VolumeStatus::MoreData;) {
        listed = volume.EnumerateFiles(cursor, batch);
        if (listed != VolumeStatus::Ok && listed != VolumeStatus::MoreData) {
            copy.failure = listed;
            return copy;
        }
        for (const engine::FileInfo& file : batch) {
            const std::uint64_t record = file.id & engine::kRecordMask;
            if (record >= recordLimit) {
                copy.damage =
                    "is damaged: it lists " + Record(file.id) + ", past the end of its MFT";
                return copy;
            }
            if (record < simulated->RecordCount() && simulated->File(record).exists) {
                copy.damage = "is damaged: its MFT lists " + Record(file.id) + " twice";
                return copy;
            }
            const VolumeStatus read = engine::ReadAllExtents(volume, file.id, extents);
            if (engine::IsVolumeFailure(read)) {
                copy.failure = read;
                return copy;
            }
            if (read != VolumeStatus::Ok) {
                extents.clear();  // as the engine takes it: nothing of it to place
            }
            for (const Extent& extent : extents) {
                if (extent.lcn == kNoLcn) {
                    continue;
                }
                if (extent.lcn >= data.totalClusters ||
                    extent.clusters > data.totalClusters - extent.lcn) {
                    copy.damage = "is damaged: " + Record(file.id) +
                                  " owns clusters past the end of the volume";
                    return copy;
                }
                if (const Lcn free = bitmap.FirstFree(extent.lcn, extent.clusters);
                    free != kNoLcn) {
                    copy.damage = "is damaged: cluster " + std::to_string(free) + " of " +
                                  Record(file.id) + " is free in the cluster bitmap";
                    return copy;
                }
            }
            if (!simulated->AddFile({.record = record,
                                     .sequence = file.id >> 48,
                                     .parentRecord = file.parentId & engine::kRecordMask,
                                     .name = file.name,
                                     .attributes = file.attributes,
                                     .size = file.size,
                                     .runs = RunsFromVcnZero(extents)})) {
                copy.damage =
                    "is damaged: " + Record(file.id) + " owns clusters another file owns as well";
                return copy;
            }
        }
    }
    // What is in use but owned by no listed file stays in use in the copy.
    for (Lcn lcn = 0; lcn < data.totalClusters;) {
        if (!bitmap.InUse(lcn) || simulated->InUse(lcn)) {
            ++lcn;
            continue;
        }
        Lcn end = lcn + 1;
        while (end < data.totalClusters && bitmap.InUse(end) && !simulated->InUse(end)) {
            ++end;
        }
        simulated->ReserveClusters(lcn, end - lcn);
        lcn = end;
    }
    copy.volume = std::move(simulated);
    return copy;
}

}  // namespace vantrel::image
