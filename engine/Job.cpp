#include "engine/Job.h"

#include "engine/FileLayout.h"
#include "engine/SafeFiles.h"

#include <algorithm>

namespace vantrel::engine {
namespace {

// The two readings of the bitmap a pass may make.
constexpr std::uint32_t kBeforeWindows = 0;
constexpr std::uint32_t kAtTheEnd = 1;
// An optimization pass spends this share of its work on its survey.
constexpr double kSurveyShare = 0.2;
// Handling a file costs this much besides its clusters.
constexpr std::uint64_t kWorkPerFile = 64;
// A file whose target turned out to be taken gets one other run, no more.
constexpr int kTargetsPerFile = 2;

AnalysisOptions SurveyOptions(JobKind kind, int pass, std::uint32_t cellCount) {
    const bool optimizing = kind == JobKind::Optimization;
    return {.cellCount = cellCount,
            .keepFreeRuns = optimizing,
            .placementBytes = optimizing && pass == 2 ? kChunkBytes : 0};
}

bool IsUnitAligned(const FragmentedFile& file, std::span<const PackedRun> runs) {
    if ((file.attributes & (attributes::kCompressed | attributes::kSparse)) != 0) {
        return true;
    }
    return std::any_of(runs.begin(), runs.end(),
                       [](const PackedRun& run) { return run.lcn == kNoLcn; });
}

bool IsDirectory(const FragmentedFile& file) {
    return (file.attributes & attributes::kDirectory) != 0;
}

}  // namespace

std::uint64_t FragmentedClusters(const std::vector<FileOutcome>& outcomes, bool after) {
    std::uint64_t clusters = 0;
    for (const FileOutcome& outcome : outcomes) {
        if ((after ? outcome.fragmentsAfter : outcome.fragmentsBefore) >= 2) {
            clusters += outcome.storedClusters;
        }
    }
    return clusters;
}

Job::Job(Volume& volume, VolumeMemory& memory, JobKind kind, int pass, std::uint32_t cellCount)
    : volume_(volume),
      memory_(memory),
      kind_(kind),
      pass_(kind == JobKind::Optimization ? std::clamp(pass, 1, 2) : 0),
      survey_(volume, memory, SurveyOptions(kind, pass_, cellCount)) {}

void Job::Step() {
    switch (phase_) {
        case Phase::Survey:
            survey_.Step();
            if (survey_.Done()) {
                phase_ = Phase::Plan;
            }
            break;
        case Phase::Plan:
            EndSurvey();
            break;
        case Phase::Execute:
            RunTask();
            break;
        case Phase::Done:
            break;
    }
}

void Job::ListOutcomes() {
    const VolumeData& data = survey_.Data();
    ntfs_ = IsNtfs(data.fileSystem);
    fat_ = IsFat(data.fileSystem);
    chunkClusters_ = ChunkClustersFor(data.bytesPerCluster);
    nonOptimizedBytes_ = survey_.Counts().nonOptimizedBytes;
    for (const FragmentedFile& file : survey_.Fragmented()) {
        outcomes_.push_back({.file = file.file,
                             .fragmentsBefore = static_cast<std::int32_t>(file.fragments),
                             .fragmentsAfter = static_cast<std::int32_t>(file.fragments),
                             .storedClusters = file.storedClusters,
                             .virtualClusters = file.vcnEnd,
                             .size = file.size});
    }
    surveyCells_ = survey_.Map().Cells(survey_.Map().CellCount());
}

void Job::EndSurvey() {
    ListOutcomes();
    if (survey_.Failure() != VolumeStatus::Ok) {
        if (kind_ == JobKind::Optimization) {
            for (FileOutcome& outcome : outcomes_) {
                outcome.result = result::kCannotMoveData;
            }
        }
        Fail(survey_.Failure());
        return;
    }
    CompareClientMap();
    if (kind_ == JobKind::Analysis) {
        phase_ = Phase::Done;
        return;
    }
    Plan();
    phase_ = Phase::Execute;
}

void Job::Plan() {
    const std::vector<FragmentedFile>& fragmented = survey_.Fragmented();
    const MediaKind media = survey_.Media();
    const bool solidState =
        media == MediaKind::SolidState || media == MediaKind::SolidStateWithTrim;
    std::vector<std::uint32_t> candidates;
    for (std::uint32_t i = 0; i < fragmented.size(); ++i) {
        if (solidState || IsSafeFile(survey_.Table(), fragmented[i].file, ntfs_)) {
            outcomes_[i].result = result::kSafeFile;
        } else if (fat_ && IsDirectory(fragmented[i])) {
            outcomes_[i].result = result::kCannotMoveOnFat;
        } else {
            candidates.push_back(i);
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [&](std::uint32_t a, std::uint32_t b) {
        return fragmented[a].storedClusters > fragmented[b].storedClusters;
    });

    FreeRuns& free = survey_.Free();
    std::uint64_t work = 0;
    std::vector<std::uint32_t> withoutRun;
    for (const std::uint32_t candidate : candidates) {
        const std::uint64_t clusters = fragmented[candidate].storedClusters;
        if (const std::optional<Lcn> target = free.BestFit(clusters, pass_ == 2)) {
            free.Take(*target, clusters);
            tasks_.push_back({TaskKind::Direct, candidate, *target});
            work += kWorkPerFile + clusters;
        } else if (pass_ == 2) {
            withoutRun.push_back(candidate);
        } else {
            outcomes_[candidate].result = result::kNoFreeSpace;
        }
    }
    if (!withoutRun.empty()) {
        windows_ = PlanWindows(survey_, withoutRun, free, ntfs_);
        std::vector<bool> placed(fragmented.size(), false);
        for (std::uint32_t w = 0; w < windows_.size(); ++w) {
            placed[windows_[w].fragmented] = true;
            for (std::uint32_t k = 0; k < windows_[w].occupants.size(); ++k) {
                const OccupantMove& occupant = windows_[w].occupants[k];
                tasks_.push_back({TaskKind::Occupant, w, occupant.target, k});
                work += kWorkPerFile + survey_.Placements()[occupant.placement].clusters;
            }
        }
        for (const std::uint32_t candidate : withoutRun) {
            if (!placed[candidate]) {
                outcomes_[candidate].result = result::kNoFreeSpace;
            }
        }
        if (!windows_.empty()) {
            tasks_.push_back({TaskKind::Reread, kBeforeWindows});
            work += kWorkPerFile * windows_.size();
        }
        for (std::uint32_t w = 0; w < windows_.size(); ++w) {
            tasks_.push_back({TaskKind::Window, w, windows_[w].start});
            work += kWorkPerFile + windows_[w].length;
        }
        windowFailed_.assign(windows_.size(), false);
        windowLastFreed_.assign(windows_.size(), kNoLcn);
    }
    if (!tasks_.empty()) {
        // What the pass leaves, read as the next analysis will: the free runs its
        // moves made and the largest of them.
        tasks_.push_back({TaskKind::Reread, kAtTheEnd});
        work += kWorkPerFile;
    }
    plannedWork_ = std::max<std::uint64_t>(1, work);
}

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

void Job::Stop() {
    if (phase_ == Phase::Done) {
        return;
    }
    stopped_ = true;
    if (phase_ == Phase::Survey || phase_ == Phase::Plan) {
        // What the survey found so far, as it was.
        ListOutcomes();
        for (FileOutcome& outcome : outcomes_) {
            if (kind_ == JobKind::Optimization) {
                outcome.result = result::kStoppedByUser;
            }
        }
        phase_ = Phase::Done;
        return;
    }
    if (move_) {
        FinishFileMove(result::kStoppedByUser, false);
    }
    for (; nextTask_ < tasks_.size(); ++nextTask_) {
        const Task& task = tasks_[nextTask_];
        if (task.kind == TaskKind::Direct) {
            outcomes_[task.item].result = result::kStoppedByUser;
        } else if (task.kind == TaskKind::Window) {
            outcomes_[windows_[task.item].fragmented].result = result::kStoppedByUser;
        }
    }
    phase_ = Phase::Done;
}

void Job::Fail(VolumeStatus status) {
    failure_ = status;
    for (std::size_t i = nextTask_; i < tasks_.size(); ++i) {
        const Task& task = tasks_[i];
        if (task.kind == TaskKind::Direct) {
            outcomes_[task.item].result = result::kCannotMoveData;
        } else if (task.kind == TaskKind::Window) {
            outcomes_[windows_[task.item].fragmented].result = result::kCannotMoveData;
        }
    }
    nextTask_ = tasks_.size();
    move_.reset();
    phase_ = Phase::Done;
}

void Job::Account(std::uint64_t work) {
    doneWork_ += work;
}

double Job::Progress() const {
    return phase_ == Phase::Done ? 1.0 : WorkShare();
}

double Job::WorkShare() const {
    if (kind_ == JobKind::Analysis) {
        return survey_.Progress();
    }
    if (phase_ == Phase::Survey || phase_ == Phase::Plan || !survey_.Done()) {
        return kSurveyShare * survey_.Progress();
    }
    return kSurveyShare +
           (1.0 - kSurveyShare) *
               std::min(1.0, static_cast<double>(doneWork_) / static_cast<double>(plannedWork_));
}

void Job::OfferClientMap(std::vector<CellCounters> cells) {
    clientCells_ = std::move(cells);
    CompareClientMap();
}

void Job::CompareClientMap() {
    if (kind_ != JobKind::Optimization || clientCells_.empty() || surveyCells_.empty()) {
        return;
    }
    std::uint32_t agreeing = 0;
    if (clientCells_.size() == surveyCells_.size()) {
        for (std::size_t i = 0; i < surveyCells_.size(); ++i) {
            // A zero cell is one the client had not seen; it tells nothing.
            if (clientCells_[i] != CellCounters{} && clientCells_[i] == surveyCells_[i]) {
                ++agreeing;
            }
        }
    }
    confirmedCells_ = agreeing;
    clientCells_.clear();
}

JobFigures Job::Figures() const {
    JobFigures figures;
    figures.counts = survey_.Counts();
    figures.pass = pass_;
    figures.failure = failure_;
    figures.defragmentedFiles = defragmented_;
    figures.movedClusters = movedClusters_;
    figures.confirmedCells = confirmedCells_;
    if (kind_ == JobKind::Optimization) {
        VolumeCounts& counts = figures.counts;
        if (phase_ == Phase::Execute || phase_ == Phase::Done) {
            counts.nonOptimizedBytes = nonOptimizedBytes_;
        }
        if (phase_ == Phase::Done && !stopped_ && failure_ == VolumeStatus::Ok && !tasks_.empty()) {
            counts.largestFreeRun = survey_.Free().Largest();  // as read at the end
        }
        const bool complete = phase_ == Phase::Done && !stopped_ && failure_ == VolumeStatus::Ok;
        counts.processedClusters =
            complete ? counts.usedClusters
                     : static_cast<std::uint64_t>(std::min(WorkShare(), 0.999) *
                                                  static_cast<double>(counts.usedClusters));
        counts.processedClusters = std::min(counts.processedClusters, counts.usedClusters);
    }
    return figures;
}

std::vector<CellCounters> Job::Cells() const {
    return survey_.Map().Cells(survey_.ShownCells());
}

std::u16string Job::CurrentPath() const {
    if (!haveCurrent_) {
        return survey_.CurrentPath();
    }
    return survey_.Table().PathOf(currentFile_);
}

std::vector<std::uint32_t> Job::PlannedFiles() const {
    std::vector<std::uint32_t> files;
    for (const Task& task : tasks_) {
        if (task.kind == TaskKind::Direct) {
            files.push_back(task.item);
        } else if (task.kind == TaskKind::Window) {
            files.push_back(windows_[task.item].fragmented);
        }
    }
    return files;
}

}  // namespace vantrel::engine
