#include "defragsvc/DefragJob.h"

#include <algorithm>
#include <cmath>

namespace vantrel::defragsvc {
namespace {

// Moving a file costs its clusters plus a fixed amount for opening and closing it.
constexpr std::uint64_t kWorkPerEntry = 64;
// An optimization pass spends this share of its work on its survey.
constexpr double kSurveyShare = 0.2;
// The first pass may use this part (1/n) of the free space past the data.
constexpr std::uint64_t kFirstPassTailShare = 8;
// The first pass leaves the largest fragmented files, about this share of the
// fragmented clusters, for the second, when it has made room.
constexpr double kSecondPassShare = 0.5;

bool IsZero(const service::MapCell& cell) {
    return cell.Free == 0 && cell.Used == 0 && cell.Optimized == 0 && cell.Fragmented == 0 &&
           cell.Mft == 0;
}

bool SameCell(const service::MapCell& a, const service::MapCell& b) {
    return a.Free == b.Free && a.Used == b.Used && a.Optimized == b.Optimized &&
           a.Fragmented == b.Fragmented && a.Mft == b.Mft;
}

}  // namespace

DefragJob::DefragJob(VolumeModel& model, JobKind kind, int pass, std::uint32_t cellCount)
    : model_(model),
      kind_(kind),
      pass_(kind == JobKind::Optimization ? std::clamp(pass, 1, 2) : 0),
      map_(MapOf(model, cellCount)),
      known_(map_.CellCount(), false) {
    const auto entryCount = static_cast<std::uint32_t>(model.entries.size());
    // Entries without clusters of their own live inside the MFT.
    std::uint64_t mftHome = 0;
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        if (model.entries[i].kind == EntryKind::Mft && model.entries[i].extentCount != 0) {
            mftHome = model.ExtentsOf(i).front().lcn;
            break;
        }
    }
    homes_.reserve(entryCount);
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        std::uint64_t home = model.entries[i].extentCount == 0 ? mftHome : UINT64_MAX;
        for (const Extent& extent : model.ExtentsOf(i)) {
            home = std::min(home, extent.lcn);
        }
        homes_.emplace_back(home, i);
    }
    std::sort(homes_.begin(), homes_.end());
    if (!homes_.empty()) {
        current_ = homes_.front().second;
    }

    std::uint64_t moveWork = 0;
    if (kind_ == JobKind::Optimization) {
        filesSeen_ = model.fileCount;
        directoriesSeen_ = model.directoryCount;
        for (std::uint32_t i = 0; i < entryCount; ++i) {
            if (model.IsFragmented(i)) {
                order_.push_back(i);
                outcomes_.push_back(OutcomeOf(i));
                moveWork += MoveWorkOf(i);
                nonOptimizedBytes_ += model.entries[i].sizeBytes;
            }
        }
        fragmentedFiles_ = order_.size();
        if (pass_ == 1) {
            MarkLargestForSecondPass();
        }
        // The first pass may also use the start of the free space past the data.
        const std::uint64_t end = model.HighWaterMark();
        firstPassLimit_ =
            end + (model.geometry.totalClusters - std::min(model.geometry.totalClusters, end)) /
                      kFirstPassTailShare;
        if (moveWork != 0) {
            // A survey unit is one cell plus the clusters in use in it.
            const double surveyUnits =
                static_cast<double>(map_.CellCount()) + static_cast<double>(model.usedClusters);
            surveyScale_ =
                static_cast<double>(moveWork) * kSurveyShare / ((1.0 - kSurveyShare) * surveyUnits);
        }
    }
    totalWork_ = moveWork;
    for (std::uint32_t cell = 0; cell < map_.CellCount(); ++cell) {
        totalWork_ += SurveyWorkOf(cell);
    }
}

void DefragJob::MarkLargestForSecondPass() {
    leftForSecondPass_.assign(order_.size(), false);
    std::vector<std::size_t> bySize;
    std::uint64_t clusters = 0;
    for (std::size_t position = 0; position < order_.size(); ++position) {
        const Entry& entry = model_.entries[order_[position]];
        if (entry.mobility == Mobility::Movable) {
            bySize.push_back(position);
            clusters += entry.clusters;
        }
    }
    std::stable_sort(bySize.begin(), bySize.end(), [this](std::size_t a, std::size_t b) {
        return model_.entries[order_[a]].clusters > model_.entries[order_[b]].clusters;
    });
    const auto share = static_cast<double>(clusters) * kSecondPassShare;
    std::uint64_t left = 0;
    for (const std::size_t position : bySize) {
        if (static_cast<double>(left) >= share) {
            break;
        }
        leftForSecondPass_[position] = true;
        left += model_.entries[order_[position]].clusters;
    }
}

std::uint64_t DefragJob::SurveyWorkOf(std::uint32_t cell) const {
    const double units = 1.0 + static_cast<double>(map_.TakenIn(cell));
    return std::max<std::uint64_t>(1,
                                   static_cast<std::uint64_t>(std::llround(units * surveyScale_)));
}

std::uint64_t DefragJob::MoveWorkOf(std::uint32_t index) const {
    return kWorkPerEntry + model_.entries[index].clusters;
}

FileOutcome DefragJob::OutcomeOf(std::uint32_t index) const {
    const Entry& entry = model_.entries[index];
    const auto fragments = static_cast<std::int32_t>(entry.extentCount);
    return {index, fragments, fragments, service::FileResult::Ok, entry.clusters, entry.sizeBytes};
}

void DefragJob::AdvanceTo(std::uint64_t work) {
    while (!stopped_ && !Done() && doneWork_ < work) {
        if (Surveying()) {
            SurveyNextCell();
        } else {
            const std::uint32_t index = order_[next_];
            OptimizeEntry(next_);
            doneWork_ += MoveWorkOf(index);
            ++next_;
        }
    }
}

void DefragJob::SurveyNextCell() {
    while (known_[front_]) {
        ++front_;  // taken from the client's map
    }
    const std::uint32_t cell = front_++;
    doneWork_ += SurveyWorkOf(cell);
    processedClusters_ += map_.TakenIn(cell);
    known_[cell] = true;
    ++knownCells_;
    const std::uint64_t end = map_.SliceStart(front_);
    const bool last = !Surveying();
    while (nextHome_ < homes_.size() && (last || homes_[nextHome_].first < end)) {
        const std::uint32_t index = homes_[nextHome_++].second;
        if (kind_ == JobKind::Analysis) {
            CountEntry(index);
        }
        current_ = index;
    }
}

void DefragJob::CountEntry(std::uint32_t index) {
    const Entry& entry = model_.entries[index];
    if (entry.kind == EntryKind::Directory) {
        ++directoriesSeen_;
    } else {
        ++filesSeen_;
    }
    if (model_.IsFragmented(index)) {
        ++fragmentedFiles_;
        nonOptimizedBytes_ += entry.sizeBytes;
        found_.push_back(OutcomeOf(index));
    }
}

void DefragJob::OptimizeEntry(std::size_t position) {
    const std::uint32_t index = order_[position];
    FileOutcome& outcome = outcomes_[position];
    const Entry& entry = model_.entries[index];
    current_ = index;
    if (entry.mobility == Mobility::Locked) {
        outcome.resultCode = service::FileResult::Locked;
        return;
    }
    if (entry.mobility == Mobility::Unmovable) {
        outcome.resultCode = service::FileResult::CannotMoveData;
        return;
    }
    // The first pass fills holes among the data and the start of the free space
    // past it; the second may use all free space, and the MFT zone when nothing
    // else is left.
    std::optional<std::uint64_t> target;
    if (pass_ == 1) {
        if (!leftForSecondPass_[position]) {
            target = model_.free.Allocate(entry.clusters,
                                          {.limit = firstPassLimit_, .allowZone = false});
        }
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

bool DefragJob::AdoptMap(std::span<const service::MapCell> cells) {
    if (kind_ != JobKind::Optimization || stopped_ || !Surveying() ||
        cells.size() != map_.CellCount()) {
        return false;
    }
    const std::vector<service::MapCell> volume = map_.Cells();
    std::uint32_t taken = 0;
    for (std::uint32_t cell = 0; cell < volume.size(); ++cell) {
        // A zero cell is one the client had not seen; it tells nothing.
        if (known_[cell] || IsZero(cells[cell]) || !SameCell(cells[cell], volume[cell])) {
            continue;
        }
        known_[cell] = true;
        ++knownCells_;
        doneWork_ += SurveyWorkOf(cell);
        ++taken;
    }
    cellsFromClient_ += taken;
    return taken != 0;
}

std::vector<service::MapCell> DefragJob::MapCells() const {
    std::vector<service::MapCell> cells = map_.Cells();
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
        if (!known_[cell]) {
            cells[cell] = service::MapCell{};
        }
    }
    return cells;
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
    // Fields the client does not read: clusters moved, the cells taken from the
    // client's map, and the pass.
    statistics.Unused80 = movedClusters_;
    statistics.UnusedB0 = static_cast<std::int32_t>(cellsFromClient_);
    statistics.Unused10138 = pass_;
    statistics.SectorsPerCluster = static_cast<std::int32_t>(geometry.sectorsPerCluster);
    statistics.BytesPerSector = static_cast<std::int32_t>(geometry.bytesPerSector);
    statistics.LargestFreeExtent = model_.free.LargestExtent();
    statistics.DriveLetter = geometry.letter;
    service::WriteFieldText(statistics.VolumeText, model_.volumeText);
}

std::vector<FileOutcome> DefragJob::Outcomes() const {
    return kind_ == JobKind::Optimization ? outcomes_ : found_;
}

}  // namespace vantrel::defragsvc
