// A pass's tasks: the moves of fragmented files, of the small files that leave a
// window, and the readings of the bitmap, each in bounded steps.
#include "engine/FileLayout.h"
#include "engine/Job.h"

#include <algorithm>

namespace vantrel::engine {
namespace {

bool IsUnitAligned(const FragmentedFile& file, std::span<const PackedRun> runs) {
    if ((file.attributes & (attributes::kCompressed | attributes::kSparse)) != 0) {
        return true;
    }
    return std::any_of(runs.begin(), runs.end(),
                       [](const PackedRun& run) { return run.lcn == kNoLcn; });
}

}  // namespace

void Job::RunTask() {
    if (move_) {
        StepFileMove();
        return;
    }
    if (nextTask_ >= tasks_.size()) {
        phase_ = Phase::Done;
        return;
    }
    const Task& task = tasks_[nextTask_];
    switch (task.kind) {
        case TaskKind::Direct:
        case TaskKind::Window:
            StartFileMove(task);
            break;
        case TaskKind::Occupant:
            MoveOccupant(task);
            ++nextTask_;
            break;
        case TaskKind::Reread:
            RereadBitmapPage(task.item == kBeforeWindows);
            break;
    }
}

bool Job::TargetStillFree(Lcn target, std::uint64_t clusters) {
    const Lcn end = target + clusters;
    for (Lcn at = target; at < end;) {
        const VolumeStatus status = volume_.ReadBitmap(at, page_);
        if (IsVolumeFailure(status)) {
            Fail(status);
            return false;
        }
        if ((status != VolumeStatus::Ok && status != VolumeStatus::MoreData) || page_.start > at ||
            page_.start + page_.clusters <= at) {
            return true;  // cannot tell: the move itself will
        }
        const Lcn pageEnd = std::min(end, page_.start + page_.clusters);
        for (; at < pageEnd; ++at) {
            if (page_.InUse(at)) {
                return false;
            }
        }
    }
    return true;
}

void Job::StartFileMove(const Task& task) {
    const bool window = task.kind == TaskKind::Window;
    const std::uint32_t item = window ? windows_[task.item].fragmented : task.item;
    if (window && windowFailed_[task.item]) {
        outcomes_[item].result = result::kNoFreeSpace;
        Account(kWorkPerFile + windows_[task.item].length);
        ++nextTask_;
        return;
    }
    const FragmentedFile& file = survey_.Fragmented()[item];
    moving_ = item;
    currentFile_ = file.file;
    haveCurrent_ = true;
    intoWindow_ = window;
    targetsTried_ = 1;
    const std::vector<Extent> extents = survey_.ExtentsOf(file);
    move_.emplace(survey_.Table().IdOf(file.file), extents,
                  IsUnitAligned(file, survey_.RunsOf(file)), chunkClusters_);

    Lcn target = task.target;
    if (!window) {
        // The bitmap is a snapshot: someone may have taken the run since.
        while (!TargetStillFree(target, file.storedClusters)) {
            if (failure_ != VolumeStatus::Ok) {
                return;
            }
            const std::optional<Lcn> other =
                targetsTried_ < kTargetsPerFile
                    ? survey_.Free().BestFit(file.storedClusters, pass_ == 2)
                    : std::nullopt;
            if (!other) {
                move_->Aim(target);
                FinishFileMove(result::kNoFreeSpace, true);
                return;
            }
            survey_.Free().Take(*other, file.storedClusters);
            target = *other;
            ++targetsTried_;
        }
    }
    move_->Aim(target);
    if (window && windowLastFreed_[task.item] != kNoLcn) {
        // Freed clusters come back at the file system's checkpoint, the last freed
        // last: when the file's chunk there can go, all of the window can.
        move_->ProbeFirst(windowLastFreed_[task.item]);
    }
}

void Job::StepFileMove() {
    const std::uint64_t before = move_->MovedClusters();
    const VolumeStatus status = move_->MoveNext(volume_);
    Account(move_->MovedClusters() - before);
    const bool directory = IsDirectory(survey_.Fragmented()[moving_]);
    switch (status) {
        case VolumeStatus::Ok:
            if (move_->Finished()) {
                FinishFileMove(result::kOk, false);
            }
            return;
        case VolumeStatus::TargetInUse:
            if (!intoWindow_ && targetsTried_ < kTargetsPerFile) {
                const std::uint64_t remaining = move_->RemainingClusters();
                if (const std::optional<Lcn> other =
                        survey_.Free().BestFit(remaining, pass_ == 2)) {
                    // What was aimed at stays out of the index: some of it is taken.
                    survey_.Free().Take(*other, remaining);
                    move_->Aim(*other);
                    ++targetsTried_;
                    return;
                }
            }
            FinishFileMove(result::kNoFreeSpace, true);
            return;
        case VolumeStatus::FileInUse:
            FinishFileMove(result::kLocked, false);
            return;
        case VolumeStatus::CannotMove:
            FinishFileMove(fat_ && directory ? result::kCannotMoveOnFat : result::kSafeFile, false);
            return;
        default:
            if (IsVolumeFailure(status)) {
                // Where the data lies now cannot be read: the figures stay as they were.
                outcomes_[moving_].result = result::kCannotMoveData;
                movedClusters_ += move_->MovedClusters();
                Fail(status);
                return;
            }
            FinishFileMove(result::kCannotMoveData, false);
            return;
    }
}

void Job::FinishFileMove(std::int32_t code, bool dropTargets) {
    if (!dropTargets) {
        for (const auto& [lcn, clusters] : move_->UnusedTargets()) {
            survey_.Free().Give(lcn, clusters);
        }
    }
    const FragmentedFile& file = survey_.Fragmented()[moving_];
    FileOutcome& outcome = outcomes_[moving_];
    movedClusters_ += move_->MovedClusters();
    Account(kWorkPerFile + move_->RemainingClusters());
    const bool moved = move_->Started();
    const std::uint64_t id = move_->FileId();
    move_.reset();
    ++nextTask_;
    outcome.result = code;
    if (!moved && code != result::kOk) {
        return;  // nothing changed on the volume
    }
    std::vector<Extent> extents;
    const VolumeStatus status = ReadAllExtents(volume_, id, extents);
    if (status != VolumeStatus::Ok) {
        outcome.result = result::kCannotMoveData;
        if (IsVolumeFailure(status)) {
            Fail(status);
        }
        return;
    }
    // The map follows the file from where the survey saw it to where it is now.
    ClusterMap& map = survey_.MutableMap();
    for (const Extent& extent : survey_.ExtentsOf(file)) {
        if (extent.lcn != kNoLcn) {
            map.Remove(ClusterKind::Fragmented, extent.lcn, extent.clusters);
        }
    }
    const LayoutFacts facts = FactsOf(extents);
    const ClusterKind kind =
        facts.fragments >= 2 ? ClusterKind::Fragmented : ClusterKind::Optimized;
    for (const Extent& extent : extents) {
        if (extent.lcn != kNoLcn) {
            map.Add(kind, extent.lcn, extent.clusters);
        }
    }
    outcome.fragmentsAfter = static_cast<std::int32_t>(facts.fragments);
    if (code == result::kOk &&
        (facts.fragments != 1 || facts.storedClusters != file.storedClusters)) {
        outcome.result = result::kCannotMoveData;  // it said done, but the data is not in place
    }
    if (outcome.result == result::kOk) {
        ++defragmented_;
        nonOptimizedBytes_ -= std::min(nonOptimizedBytes_, file.size);
        memory_.MarkOptimized(id);
    }
}

void Job::MoveOccupant(const Task& task) {
    const Window& window = windows_[task.item];
    const OccupantMove& occupant = window.occupants[task.occupant];
    const Placement& placement = survey_.Placements()[occupant.placement];
    Account(kWorkPerFile + placement.clusters);
    if (windowFailed_[task.item]) {
        survey_.Free().Give(occupant.target, placement.clusters);
        return;
    }
    const std::uint64_t id = survey_.Table().IdOf(placement.file);
    currentFile_ = placement.file;
    haveCurrent_ = true;
    // Small enough for one call: the file is never left in two pieces.
    const VolumeStatus status = volume_.MoveClusters(id, 0, occupant.target, placement.clusters);
    if (status != VolumeStatus::Ok) {
        windowFailed_[task.item] = true;
        if (status != VolumeStatus::TargetInUse) {
            survey_.Free().Give(occupant.target, placement.clusters);
        }
        if (IsVolumeFailure(status)) {
            Fail(status);
        }
        return;
    }
    movedClusters_ += placement.clusters;
    windowLastFreed_[task.item] = placement.lcn;
    std::vector<Extent> extents;
    const VolumeStatus read = ReadAllExtents(volume_, id, extents);
    if (read != VolumeStatus::Ok) {
        if (IsVolumeFailure(read)) {
            Fail(read);
        }
        return;
    }
    ClusterMap& map = survey_.MutableMap();
    map.Remove(memory_.IsOptimized(id) ? ClusterKind::Optimized : ClusterKind::Used, placement.lcn,
               placement.clusters);
    const LayoutFacts facts = FactsOf(extents);
    for (const Extent& extent : extents) {
        if (extent.lcn != kNoLcn) {
            map.Add(facts.fragments == 1 ? ClusterKind::Optimized : ClusterKind::Fragmented,
                    extent.lcn, extent.clusters);
        }
    }
    if (facts.fragments == 1) {
        memory_.MarkOptimized(id);
    }
}

void Job::RereadBitmapPage(bool beforeWindows) {
    const VolumeData& data = survey_.Data();
    if (!rereading_) {
        reread_ = BitmapRuns();
        fresh_ = FreeRuns(data.mftZoneStart, data.mftZoneEnd);
        rereading_ = true;
    }
    const Lcn start = reread_.Next();
    const VolumeStatus status = volume_.ReadBitmap(start, page_);
    if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
        Fail(IsVolumeFailure(status) ? status : VolumeStatus::IoError);
        return;
    }
    if (page_.start + page_.clusters > data.totalClusters) {
        page_.clusters = data.totalClusters - std::min(data.totalClusters, page_.start);
    }
    auto onRun = [this](bool used, Lcn lcn, std::uint64_t length) {
        if (!used) {
            fresh_.Append(lcn, length);
        }
    };
    reread_.Feed(page_, onRun);
    const bool last = status == VolumeStatus::Ok || reread_.Next() >= data.totalClusters;
    if (!last && reread_.Next() == start) {
        Fail(VolumeStatus::IoError);
        return;
    }
    if (last) {
        reread_.Flush(onRun);
        rereading_ = false;
        if (beforeWindows) {
            CheckWindows();
        }
        survey_.Free() = std::move(fresh_);
        Account(kWorkPerFile * (beforeWindows ? windows_.size() : 1));
        ++nextTask_;
    }
}

void Job::CheckWindows() {
    for (std::uint32_t w = 0; w < windows_.size(); ++w) {
        const Window& window = windows_[w];
        const auto& runs = fresh_.ByStart();
        auto it = runs.upper_bound(window.start);
        const bool free =
            it != runs.begin() && std::prev(it)->first <= window.start &&
            std::prev(it)->first + std::prev(it)->second >= window.start + window.length;
        if (!free) {
            windowFailed_[w] = true;
        }
    }
    for (std::uint32_t w = 0; w < windows_.size(); ++w) {
        if (!windowFailed_[w]) {
            fresh_.Take(windows_[w].start, windows_[w].length);
        }
    }
}

}  // namespace vantrel::engine
