#include "defragsvc/DefragJob.h"

#include <algorithm>

namespace vantrel::defragsvc {
namespace {

// Handling a file costs its clusters plus a fixed amount for opening and closing it.
constexpr std::uint64_t kWorkPerEntry = 64;

}  // namespace

DefragJob::DefragJob(VolumeModel& model, JobKind kind, int pass, std::uint32_t cellCount)
    : model_(model),
      kind_(kind),
      pass_(kind == JobKind::Optimization ? std::clamp(pass, 1, 2) : 0),
      map_(
          MapOf(model, cellCount,
                kind == JobKind::Analysis ? 0 : static_cast<std::uint32_t>(model.entries.size()))) {
    const auto entryCount = static_cast<std::uint32_t>(model.entries.size());
    if (kind_ == JobKind::Analysis) {
        order_.resize(entryCount);
        for (std::uint32_t i = 0; i < entryCount; ++i) {
            order_[i] = i;
        }
        totalWork_ = entryCount;
        return;
    }
    filesSeen_ = model.fileCount;
    directoriesSeen_ = model.directoryCount;
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        if (model.IsFragmented(i)) {
            order_.push_back(i);
            const auto fragments = static_cast<std::int32_t>(model.entries[i].extentCount);
            outcomes_.push_back({i, fragments, fragments, service::FileResult::Ok});
            totalWork_ += WorkOf(i);
            nonOptimizedBytes_ += model.entries[i].sizeBytes;
        }
    }
    fragmentedFiles_ = order_.size();
    highWaterMark_ = model.HighWaterMark();
}

std::uint64_t DefragJob::WorkOf(std::uint32_t index) const {
    return kWorkPerEntry + model_.entries[index].clusters;
}

void DefragJob::AdvanceTo(std::uint64_t work) {
    while (!Done() && !stopped_ && doneWork_ < work) {
        if (kind_ == JobKind::Analysis) {
            AnalyzeEntry(order_[next_]);
            doneWork_ += 1;
        } else {
            OptimizeEntry(next_);
            doneWork_ += WorkOf(order_[next_]);
        }
        ++next_;
    }
}

void DefragJob::AnalyzeEntry(std::uint32_t index) {
    const Entry& entry = model_.entries[index];
    processedClusters_ += entry.clusters;
    if (entry.kind == EntryKind::Directory) {
        ++directoriesSeen_;
    } else {
        ++filesSeen_;
    }
    const ClusterKind unseen = KindOf(model_, index, false);
    const ClusterKind seen = KindOf(model_, index, true);
    if (seen != unseen) {
        for (const Extent& extent : model_.ExtentsOf(index)) {
            map_.Remove(unseen, extent.lcn, extent.length);
            map_.Add(seen, extent.lcn, extent.length);
        }
    }
    if (model_.IsFragmented(index)) {
        ++fragmentedFiles_;
        nonOptimizedBytes_ += entry.sizeBytes;
    }
}

void DefragJob::OptimizeEntry(std::size_t position) {
    const std::uint32_t index = order_[position];
    FileOutcome& outcome = outcomes_[position];
    const Entry& entry = model_.entries[index];
    if (entry.mobility == Mobility::Locked) {
        outcome.resultCode = service::FileResult::Locked;
        return;
    }
    if (entry.mobility == Mobility::Unmovable) {
        outcome.resultCode = service::FileResult::CannotMoveData;
        return;
    }
    // The first pass fills holes among the data; the second may use the free space
    // beyond it, and the MFT zone when nothing else is left.
    std::optional<std::uint64_t> target;
    if (pass_ == 1) {
        target =
            model_.free.Allocate(entry.clusters, {.limit = highWaterMark_, .allowZone = false});
    } else {
        target = model_.free.Allocate(entry.clusters, {.allowZone = false});
        if (!target) {
            target = model_.free.Allocate(entry.clusters, {.allowZone = true});
        }
    }
    if (!target) {
        outcome.resultCode = service::FileResult::NoFreeSpace;
        return;
    }
    for (const Extent& extent : model_.ExtentsOf(index)) {
        map_.Remove(ClusterKind::Fragmented, extent.lcn, extent.length);
    }
    model_.MoveToContiguous(index, *target);
    map_.Add(ClusterKind::Optimized, *target, entry.clusters);
    outcome.fragmentsAfter = 1;
    ++defragmentedFiles_;
    movedClusters_ += entry.clusters;
    nonOptimizedBytes_ -= std::min(nonOptimizedBytes_, entry.sizeBytes);
}

void DefragJob::Stop() {
    if (Done()) {
        return;
    }
    stopped_ = true;
    for (std::size_t i = next_; i < outcomes_.size(); ++i) {
        outcomes_[i].resultCode = service::FileResult::StoppedByUser;
    }
}

void DefragJob::FillStatistics(service::JobStatistics& statistics) const {
    const VolumeGeometry& geometry = model_.geometry;
    statistics.TotalFiles = filesSeen_;
    statistics.TotalDirs = directoriesSeen_;
    statistics.FragmentedFiles = fragmentedFiles_;
    statistics.NonOptimizedBytes = nonOptimizedBytes_;
    statistics.DeFragmentedFiles = defragmentedFiles_;
    statistics.TotalClusters = geometry.totalClusters;
    statistics.UsedClusters = model_.usedClusters;
    statistics.FreeClusters = model_.free.TotalClusters();
    if (kind_ == JobKind::Analysis) {
        statistics.ProcessedClusters = processedClusters_;
    } else if (totalWork_ == 0 || Done()) {
        statistics.ProcessedClusters = model_.usedClusters;
    } else {
        statistics.ProcessedClusters = static_cast<std::uint64_t>(
            static_cast<double>(model_.usedClusters) * static_cast<double>(doneWork_) /
            static_cast<double>(totalWork_));
    }
    statistics.Unused80 = movedClusters_;
    statistics.SectorsPerCluster = static_cast<std::int32_t>(geometry.sectorsPerCluster);
    statistics.BytesPerSector = static_cast<std::int32_t>(geometry.bytesPerSector);
    statistics.LargestFreeExtent = model_.free.LargestExtent();
    statistics.DriveLetter = geometry.letter;
    statistics.Unused10138 = pass_;
    service::WriteFieldText(statistics.VolumeText, model_.volumeText);
}

std::vector<FileOutcome> DefragJob::Outcomes() const {
    if (kind_ == JobKind::Optimization) {
        return outcomes_;
    }
    std::vector<FileOutcome> found;
    found.reserve(fragmentedFiles_);
    for (std::size_t i = 0; i < next_; ++i) {
        const std::uint32_t index = order_[i];
        if (model_.IsFragmented(index)) {
            const auto fragments = static_cast<std::int32_t>(model_.entries[index].extentCount);
            found.push_back({index, fragments, fragments, service::FileResult::Ok});
        }
    }
    return found;
}

std::uint32_t DefragJob::CurrentEntry() const {
    if (order_.empty()) {
        return 0;
    }
    return order_[next_ == 0 ? 0 : std::min(next_, order_.size()) - 1];
}

}  // namespace vantrel::defragsvc
