#include "tools/vantrel-image/LayoutCopy.h"

#include <algorithm>
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
            if (next % 8 == 0 && page.start % 8 == 0) {
                const auto from = static_cast<std::size_t>((next - page.start) / 8);
                std::memcpy(bits_.data() + next / 8, page.bits.data() + from,
                            static_cast<std::size_t>((end - next + 7) / 8));
            } else {
                for (Lcn lcn = next; lcn < end; ++lcn) {
                    if (page.InUse(lcn)) {
                        bits_[static_cast<std::size_t>(lcn / 8)] |=
                            static_cast<std::uint8_t>(1u << (lcn % 8));
                    }
                }
            }
            next = end;
            if (status == VolumeStatus::Ok && next < totalClusters) {
                return VolumeStatus::IoError;  // the bitmap ended before the volume
            }
        }
        // A last page may mark clusters past the volume's end.
        if (totalClusters % 8 != 0) {
            bits_.back() &= static_cast<std::uint8_t>((1u << (totalClusters % 8)) - 1);
        }
        return VolumeStatus::Ok;
    }

    bool InUse(Lcn lcn) const {
        return (bits_[static_cast<std::size_t>(lcn / 8)] >> (lcn % 8)) & 1u;
    }

    // The first cluster of [lcn, lcn + clusters) that is free, or kNoLcn.
    Lcn FirstFree(Lcn lcn, std::uint64_t clusters) const {
        const Lcn end = lcn + clusters;
        for (Lcn at = lcn; at < end;) {
            if (at % 8 == 0 && end - at >= 8 && bits_[static_cast<std::size_t>(at / 8)] == 0xFF) {
                at += 8;
            } else if (!InUse(at)) {
                return at;
            } else {
                ++at;
            }
        }
        return kNoLcn;
    }

  private:
    std::vector<std::uint8_t> bits_;
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

struct OwnedRun {
    Lcn lcn = 0;
    std::uint64_t clusters = 0;
    std::uint64_t record = 0;
};

// The first cluster two files own, as the end of a sentence; empty when none is.
std::string OwnedTwice(std::vector<OwnedRun>& owned) {
    std::sort(owned.begin(), owned.end(),
              [](const OwnedRun& a, const OwnedRun& b) { return a.lcn < b.lcn; });
    for (std::size_t i = 1; i < owned.size(); ++i) {
        const OwnedRun& before = owned[i - 1];
        if (owned[i].lcn < before.lcn + before.clusters) {
            return "is damaged: cluster " + std::to_string(owned[i].lcn) + " is owned by " +
                   Record(before.record) + " and " + Record(owned[i].record);
        }
    }
    return {};
}

LayoutCopy ReadLayout(engine::Volume& volume, bool copy) {
    LayoutCopy layout;
    engine::VolumeData data;
    if (const VolumeStatus status = volume.QueryVolumeData(data); status != VolumeStatus::Ok) {
        layout.failure = status;
        return layout;
    }
    WholeBitmap bitmap;
    if (const VolumeStatus status = bitmap.Read(volume, data.totalClusters);
        status != VolumeStatus::Ok) {
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
    std::vector<OwnedRun> owned;

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
                if (const Lcn free = bitmap.FirstFree(extent.lcn, extent.clusters);
                    free != kNoLcn) {
                    layout.damage = "is damaged: cluster " + std::to_string(free) + " of " +
                                    Record(record) + " is free in the cluster bitmap";
                    return layout;
                }
                owned.push_back({extent.lcn, extent.clusters, record});
            }
            if (simulated) {
                // Fails only when clusters are owned twice, which is told below.
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
    layout.damage = OwnedTwice(owned);
    if (!layout.damage.empty() || !simulated) {
        return layout;
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
