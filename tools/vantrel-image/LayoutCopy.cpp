#include "tools/vantrel-image/LayoutCopy.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "engine/FileLayout.h"
#include "engine/SafeFiles.h"

namespace vantrel::image {

namespace {

using engine::Extent;
using engine::kNoLcn;
using engine::Lcn;
using engine::VolumeStatus;

static_assert(std::endian::native == std::endian::little, "bitmap words are read little-endian");

// One bit per cluster of the volume, as the allocation bitmap holds them.
class ClusterBits {
  public:
    explicit ClusterBits(std::uint64_t clusters)
        : clusters_(clusters), words_(static_cast<std::size_t>((clusters + 63) / 64), 0) {}

    // The volume's allocation bitmap, all pages.
    VolumeStatus Read(engine::Volume& volume) {
        auto* bytes = reinterpret_cast<std::uint8_t*>(words_.data());
        engine::BitmapPage page;
        for (Lcn next = 0; next < clusters_;) {
            const VolumeStatus status = volume.ReadBitmap(next, page);
            if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
                return status;
            }
            const Lcn end = std::min(clusters_, page.start + page.clusters);
            if (page.start > next || end <= next || page.bits.size() * 8 < end - page.start) {
                return VolumeStatus::IoError;  // a page that does not go on from `next`
            }
            if (next % 8 == 0 && page.start % 8 == 0) {
                std::memcpy(bytes + next / 8, page.bits.data() + (next - page.start) / 8,
                            static_cast<std::size_t>((end - next + 7) / 8));
            } else {
                for (Lcn lcn = next; lcn < end; ++lcn) {
                    if (page.InUse(lcn)) {
                        Set(lcn, 1);
                    }
                }
            }
            next = end;
            if (status == VolumeStatus::Ok && next < clusters_) {
                return VolumeStatus::IoError;  // the bitmap ended before the volume
            }
        }
        // A last page may mark clusters past the volume's end.
        if (clusters_ % 64 != 0) {
            words_.back() &= (std::uint64_t{1} << (clusters_ % 64)) - 1;
        }
        return VolumeStatus::Ok;
    }

    bool Test(Lcn lcn) const { return (words_[lcn / 64] >> (lcn % 64)) & 1u; }

    // The first cluster of [lcn, lcn + count) whose bit is `value`, or kNoLcn.
    Lcn First(bool value, Lcn lcn, std::uint64_t count) const {
        const Lcn end = lcn + count;
        for (Lcn at = lcn; at < end;) {
            const std::uint64_t offset = at % 64;
            const std::uint64_t span = std::min<std::uint64_t>(64 - offset, end - at);
            const std::uint64_t mask =
                (span == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << span) - 1) << offset;
            const std::uint64_t word = value ? words_[at / 64] : ~words_[at / 64];
            if (const std::uint64_t found = word & mask; found != 0) {
                return at - offset + static_cast<std::uint64_t>(std::countr_zero(found));
            }
            at += span;
        }
        return kNoLcn;
    }

    void Set(Lcn lcn, std::uint64_t count) {
        const Lcn end = lcn + count;
        for (Lcn at = lcn; at < end;) {
            const std::uint64_t offset = at % 64;
            const std::uint64_t span = std::min<std::uint64_t>(64 - offset, end - at);
            words_[at / 64] |= (span == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << span) - 1)
                               << offset;
            at += span;
        }
    }

  private:
    std::uint64_t clusters_;
    std::vector<std::uint64_t> words_;
};

std::string Record(std::uint64_t record) {
    return "record " + std::to_string(record);
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

LayoutCopy ReadLayout(engine::Volume& volume, bool copy) {
    LayoutCopy layout;
    engine::VolumeData data;
    if (const VolumeStatus status = volume.QueryVolumeData(data); status != VolumeStatus::Ok) {
        layout.failure = status;
        return layout;
    }
    ClusterBits bitmap(data.totalClusters);
    if (const VolumeStatus status = bitmap.Read(volume); status != VolumeStatus::Ok) {
        layout.failure = status;
        return layout;
    }
    std::unique_ptr<engine::sim::SimVolume> simulated;
    if (copy) {
        engine::sim::SimOptions options;
        options.fileSystem = data.fileSystem;
        options.bytesPerSector = data.bytesPerSector;
        options.bytesPerCluster = data.bytesPerCluster;
        options.totalClusters = data.totalClusters;
        options.mftStart = data.mftStart;
        options.mftZoneStart = data.mftZoneStart;
        options.mftZoneEnd = data.mftZoneEnd;
        options.media = volume.QueryMedia();
        // A move on the copy frees its clusters at once, as a move on an image does.
        options.checkpointCalls = 0;
        simulated = std::make_unique<engine::sim::SimVolume>(options);
    }
    // Record numbers come from the MFT: none lies past its records (of 512 bytes at
    // the least), so a bogus one cannot make the check or the copy huge.
    const std::uint64_t recordLimit = data.mftValidBytes / 512 + engine::kFirstUserRecord;
    std::vector<bool> listed(static_cast<std::size_t>(recordLimit), false);
    // The clusters the files listed so far own.
    ClusterBits owned(data.totalClusters);

    std::vector<engine::FileInfo> batch;
    std::vector<Extent> extents;
    VolumeStatus status = VolumeStatus::MoreData;
    for (std::uint64_t cursor = 0; status == VolumeStatus::MoreData;) {
        status = volume.EnumerateFiles(cursor, batch);
        if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
            layout.failure = status;
            return layout;
        }
        for (const engine::FileInfo& file : batch) {
            const std::uint64_t record = file.id & engine::kRecordMask;
            if (record >= recordLimit) {
                layout.damage =
                    "is damaged: it lists " + Record(record) + ", past the end of its MFT";
                return layout;
            }
            if (listed[record]) {
                layout.damage = "is damaged: its MFT lists " + Record(record) + " twice";
                return layout;
            }
            listed[record] = true;
            const VolumeStatus read = engine::ReadAllExtents(volume, file.id, extents);
            if (engine::IsVolumeFailure(read)) {
                layout.failure = read;
                return layout;
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
                    layout.damage = "is damaged: " + Record(record) +
                                    " owns clusters past the end of the volume";
                    return layout;
                }
                if (const Lcn free = bitmap.First(false, extent.lcn, extent.clusters);
                    free != kNoLcn) {
                    layout.damage = "is damaged: cluster " + std::to_string(free) + " of " +
                                    Record(record) + " is free in the cluster bitmap";
                    return layout;
                }
                if (const Lcn taken = owned.First(true, extent.lcn, extent.clusters);
                    taken != kNoLcn) {
                    layout.damage = "is damaged: cluster " + std::to_string(taken) + " of " +
                                    Record(record) + " is owned by another file as well";
                    return layout;
                }
                owned.Set(extent.lcn, extent.clusters);
            }
            if (simulated) {
                simulated->AddFile({.record = record,
                                    .sequence = file.id >> 48,
                                    .parentRecord = file.parentId & engine::kRecordMask,
                                    .name = file.name,
                                    .attributes = file.attributes,
                                    .size = file.size,
                                    .runs = RunsFromVcnZero(extents)});
            }
        }
    }
    if (!simulated) {
        return layout;
    }
    // What is in use but owned by no listed file stays in use in the copy.
    for (Lcn lcn = 0; lcn < data.totalClusters;) {
        if (!bitmap.Test(lcn) || simulated->InUse(lcn)) {
            ++lcn;
            continue;
        }
        Lcn end = lcn + 1;
        while (end < data.totalClusters && bitmap.Test(end) && !simulated->InUse(end)) {
            ++end;
        }
        simulated->ReserveClusters(lcn, end - lcn);
        lcn = end;
    }
    layout.volume = std::move(simulated);
    return layout;
}

}  // namespace

LayoutCopy CheckLayout(engine::Volume& volume) {
    return ReadLayout(volume, false);
}

LayoutCopy CopyLayout(engine::Volume& volume) {
    return ReadLayout(volume, true);
}

}  // namespace vantrel::image
