#include "engine/Analysis.h"

#include "engine/FileLayout.h"
#include "engine/SafeFiles.h"

#include <algorithm>

namespace vantrel::engine {
namespace {

// Reading a file costs this much besides its clusters.
constexpr std::uint64_t kWorkPerFile = 64;
constexpr std::uint64_t kMftRecordBytes = 1024;

}  // namespace

bool VolumeMemory::IsOptimized(std::uint64_t id) const {
    return std::binary_search(optimized.begin(), optimized.end(), id);
}

void VolumeMemory::MarkOptimized(std::uint64_t id) {
    const auto it = std::lower_bound(optimized.begin(), optimized.end(), id);
    if (it == optimized.end() || *it != id) {
        optimized.insert(it, id);
    }
}

Analysis::Analysis(Volume& volume, const VolumeMemory& memory, const AnalysisOptions& options)
    : volume_(volume), memory_(memory), options_(options) {}

void Analysis::Step() {
    StepPhase();
    if (phase_ != Phase::Done || failure_ != VolumeStatus::Ok) {
        // Never more than the bitmap showed in use: used x done / expected stays
        // below the clusters mapped so far, as expected counts them twice.
        const double share = static_cast<double>(doneWork_) / static_cast<double>(expectedWork_);
        counts_.processedClusters = std::max(
            counts_.processedClusters,
            std::min(counts_.usedClusters,
                     static_cast<std::uint64_t>(std::min(share, 1.0) *
                                                static_cast<double>(counts_.usedClusters))));
        counts_.processedClusters = std::min(counts_.processedClusters, counts_.usedClusters);
    }
}

void Analysis::StepPhase() {
    switch (phase_) {
        case Phase::Start:
            Begin();
            break;
        case Phase::Bitmap:
            ReadBitmapPage();
            break;
        case Phase::Files:
            ReadFileBatch();
            break;
        case Phase::Done:
            break;
    }
}

void Analysis::Fail(VolumeStatus status) {
    // What part of a volume showed is no figure of the volume: nothing is reported.
    failure_ = status;
    phase_ = Phase::Done;
    counts_ = VolumeCounts{};
    shownCells_ = 0;
    fragmented_.clear();
    runs_.clear();
    placements_.clear();
}

void Analysis::Begin() {
    const VolumeStatus status = volume_.QueryVolumeData(data_);
    if (status != VolumeStatus::Ok) {
        Fail(status);
        return;
    }
    media_ = volume_.QueryMedia();
    ntfs_ = IsNtfs(data_.fileSystem);
    counts_.totalClusters = data_.totalClusters;
    counts_.freeClusters = std::min(data_.freeClusters, data_.totalClusters);
    counts_.usedClusters = data_.totalClusters - counts_.freeClusters;
    counts_.bytesPerSector = data_.bytesPerSector;
    counts_.bytesPerCluster = data_.bytesPerCluster;
    map_ = ClusterMap(data_.totalClusters, options_.cellCount);
    placementClusters_ =
        options_.placementBytes / std::max<std::uint32_t>(data_.bytesPerCluster, 1);
    freeRuns_ = FreeRuns(data_.mftZoneStart, data_.mftZoneEnd);
    const std::uint64_t records = data_.mftValidBytes / kMftRecordBytes;
    expectedWork_ = std::max<std::uint64_t>(1, 2 * counts_.usedClusters + records * kWorkPerFile);
    phase_ = data_.totalClusters == 0 ? Phase::Files : Phase::Bitmap;
}

void Analysis::MapUsed(Lcn from, Lcn to) {
    from = std::max(from, mappedTo_);
    if (to > from) {
        map_.Add(ClusterKind::Used, from, to - from);
        bitmapUsed_ += to - from;
        doneWork_ += to - from;
        mappedTo_ = to;
    }
}

void Analysis::ReadBitmapPage() {
    const Lcn start = bitmapRuns_.Next();
    const VolumeStatus status = volume_.ReadBitmap(start, page_);
    if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
        Fail(status);
        return;
    }
    auto onRun = [this](bool used, Lcn lcn, std::uint64_t length) {
        if (used) {
            MapUsed(lcn, lcn + length);
            return;
        }
        bitmapFree_ += length;
        counts_.largestFreeRun = std::max(counts_.largestFreeRun, length);
        if (options_.keepFreeRuns) {
            freeRuns_.Append(lcn, length);
        }
    };
    // Clusters past the volume's end are none of its own.
    if (page_.start + page_.clusters > data_.totalClusters) {
        page_.clusters = data_.totalClusters - std::min(data_.totalClusters, page_.start);
    }
    bitmapRuns_.Feed(page_, onRun);
    const bool last = status == VolumeStatus::Ok || bitmapRuns_.Next() >= data_.totalClusters;
    if (bitmapRuns_.Next() == start && !last) {
        Fail(VolumeStatus::IoError);  // a page that does not advance
        return;
    }
    if (bitmapRuns_.OpenUsed()) {
        MapUsed(bitmapRuns_.OpenStart(), bitmapRuns_.Next());
    }
    shownCells_ = map_.CellOf(bitmapRuns_.Next());
    if (!last) {
        return;
    }
    bitmapRuns_.Flush(onRun);
    // Clusters the bitmap did not cover (a short answer) count as in use.
    MapUsed(bitmapRuns_.Next(), data_.totalClusters);
    shownCells_ = map_.CellCount();
    counts_.freeClusters = std::min(bitmapFree_, data_.totalClusters);
    counts_.usedClusters = data_.totalClusters - counts_.freeClusters;
    phase_ = Phase::Files;
}

void Analysis::ReadFileBatch() {
    const VolumeStatus status = volume_.EnumerateFiles(cursor_, batch_);
    if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
        Fail(status);
        return;
    }
    for (const FileInfo& info : batch_) {
        AddFile(info);
        if (phase_ == Phase::Done) {
            return;
        }
    }
    if (status == VolumeStatus::Ok) {
        Finish();
    }
}

void Analysis::AddFile(const FileInfo& info) {
    const std::uint32_t index = table_.Add(info.id, info.parentId, info.name);
    current_ = index;
    haveCurrent_ = true;
    const bool directory = (info.attributes & attributes::kDirectory) != 0;
    ++(directory ? counts_.directories : counts_.files);

    const VolumeStatus status = ReadAllExtents(volume_, info.id, extents_);
    if (IsVolumeFailure(status)) {
        Fail(status);
        return;
    }
    if (status != VolumeStatus::Ok) {
        extents_.clear();  // gone since it was listed, or not readable: nothing to place
    }
    const LayoutFacts facts = FactsOf(extents_);
    counts_.fragments += facts.fragments;
    doneWork_ += kWorkPerFile + facts.storedClusters;

    ClusterKind kind = ClusterKind::Used;
    if (IsMft(table_, index, ntfs_)) {
        kind = ClusterKind::Mft;
    } else if (facts.fragments >= 2) {
        kind = ClusterKind::Fragmented;
    } else if (memory_.IsOptimized(info.id)) {
        kind = ClusterKind::Optimized;
    }
    for (const Extent& extent : extents_) {
        if (extent.lcn != kNoLcn) {
            map_.Reclassify(ClusterKind::Used, kind, extent.lcn, extent.clusters);
        }
    }

    if (facts.fragments >= 2) {
        ++counts_.fragmentedFiles;
        counts_.nonOptimizedBytes += info.size;
        FragmentedFile file{.file = index,
                            .attributes = info.attributes,
                            .size = info.size,
                            .storedClusters = facts.storedClusters,
                            .firstVcn = extents_.front().vcn,
                            .vcnEnd = facts.vcnEnd,
                            .fragments = facts.fragments,
                            .firstRun = static_cast<std::uint32_t>(runs_.size())};
        Vcn at = file.firstVcn;
        for (const Extent& extent : extents_) {
            if (extent.vcn > at) {
                runs_.push_back({kNoLcn, extent.vcn - at});  // a hole the backend left out
            }
            runs_.push_back({extent.lcn, extent.clusters});
            at = extent.vcn + extent.clusters;
        }
        file.runCount = static_cast<std::uint32_t>(runs_.size() - file.firstRun);
        fragmented_.push_back(file);
    } else if (facts.fragments == 1 && facts.storedClusters <= placementClusters_ &&
               !facts.sparse && extents_.front().vcn == 0 && facts.vcnEnd == facts.storedClusters) {
        placements_.push_back(
            {extents_.front().lcn, static_cast<std::uint32_t>(facts.storedClusters), index});
    }
}

void Analysis::Finish() {
    std::sort(placements_.begin(), placements_.end(),
              [](const Placement& a, const Placement& b) { return a.lcn < b.lcn; });
    counts_.processedClusters = counts_.usedClusters;
    phase_ = Phase::Done;
}

double Analysis::Progress() const {
    if (phase_ == Phase::Done) {
        return 1.0;
    }
    return std::min(0.99, static_cast<double>(doneWork_) / static_cast<double>(expectedWork_));
}

std::u16string Analysis::CurrentPath() const {
    if (haveCurrent_) {
        return table_.PathOf(current_);
    }
    // Before the files comes the allocation bitmap, on NTFS a file of its own.
    if (phase_ == Phase::Bitmap) {
        return ntfs_ ? u"\\$Bitmap" : u"\\";
    }
    return {};
}

std::span<const PackedRun> Analysis::RunsOf(const FragmentedFile& file) const {
    return {runs_.data() + file.firstRun, file.runCount};
}

std::vector<Extent> Analysis::ExtentsOf(const FragmentedFile& file) const {
    std::vector<Extent> extents;
    extents.reserve(file.runCount);
    Vcn vcn = file.firstVcn;
    for (const PackedRun& run : RunsOf(file)) {
        extents.push_back({vcn, run.clusters, run.lcn});
        vcn += run.clusters;
    }
    return extents;
}

}  // namespace vantrel::engine
