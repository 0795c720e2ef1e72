#include "engine/Job.h"

#include "engine/SafeFiles.h"

#include <algorithm>

namespace vantrel::engine {
namespace {

// An optimization pass spends this share of its work on its survey.
constexpr double kSurveyShare = 0.2;

AnalysisOptions SurveyOptions(JobKind kind, int pass, std::uint32_t cellCount) {
    const bool optimizing = kind == JobKind::Optimization;
    return {.cellCount = cellCount,
            .keepFreeRuns = optimizing,
            .placementBytes = optimizing && pass == 2 ? kChunkBytes : 0};
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

Job::Job(Volume& volume, VolumeMemory& memory, JobKind kind, int pass, std::uint32_t cellCount,
         Moves moves)
    : volume_(volume),
      memory_(memory),
      kind_(kind),
      pass_(kind == JobKind::Optimization ? std::clamp(pass, 1, 2) : 0),
      moves_(moves),
      survey_(volume, memory, SurveyOptions(kind, pass_, cellCount)) {}

Job::Job(std::unique_ptr<Volume> volume, VolumeMemory& memory, JobKind kind, int pass,
         std::uint32_t cellCount, Moves moves)
    : ownedVolume_(std::move(volume)),
      volume_(*ownedVolume_),
      memory_(memory),
      kind_(kind),
      pass_(kind == JobKind::Optimization ? std::clamp(pass, 1, 2) : 0),
      moves_(moves),
      survey_(volume_, memory, SurveyOptions(kind, pass_, cellCount)) {}

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
    if (moves_ == Moves::PlanOnly) {
        // Nothing moves: what was planned reads as not done, the rest as planned.
        MarkRemainingTasksNotDone();
        phase_ = Phase::Done;
    }
}

void Job::Plan() {
    const std::vector<FragmentedFile>& fragmented = survey_.Fragmented();
    const bool solidState = IsSolidState(survey_.Media());
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
    MarkRemainingTasksNotDone();
    phase_ = Phase::Done;
}

void Job::MarkRemainingTasksNotDone() {
    for (; nextTask_ < tasks_.size(); ++nextTask_) {
        const Task& task = tasks_[nextTask_];
        if (task.kind == TaskKind::Direct) {
            outcomes_[task.item].result = result::kStoppedByUser;
        } else if (task.kind == TaskKind::Window) {
            outcomes_[windows_[task.item].fragmented].result = result::kStoppedByUser;
        }
    }
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
        if (phase_ == Phase::Done && !stopped_ && failure_ == VolumeStatus::Ok && !tasks_.empty() &&
            moves_ == Moves::Make) {
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

std::vector<PlannedMove> Job::PlannedMoves() const {
    std::vector<PlannedMove> moves;
    const std::vector<FragmentedFile>& fragmented = survey_.Fragmented();
    auto firstStored = [this](const FragmentedFile& file) {
        for (const PackedRun& run : survey_.RunsOf(file)) {
            if (run.lcn != kNoLcn) {
                return run.lcn;
            }
        }
        return kNoLcn;
    };
    for (const Task& task : tasks_) {
        if (task.kind == TaskKind::Direct || task.kind == TaskKind::Window) {
            const std::uint32_t item =
                task.kind == TaskKind::Direct ? task.item : windows_[task.item].fragmented;
            const FragmentedFile& file = fragmented[item];
            moves.push_back({file.file, firstStored(file), task.target, file.storedClusters});
        } else if (task.kind == TaskKind::Occupant) {
            const OccupantMove& occupant = windows_[task.item].occupants[task.occupant];
            const Placement& placement = survey_.Placements()[occupant.placement];
            moves.push_back({placement.file, placement.lcn, occupant.target, placement.clusters});
        }
    }
    return moves;
}

}  // namespace vantrel::engine
