// One job of the engine over a volume: an analysis, or one optimization pass. A job
// advances in bounded steps (a bitmap page, a batch of files, one chunk of a move),
// so that whoever drives it can pause, stop and report between any two.
//
// An optimization pass first surveys the volume as an analysis does (about a fifth
// of its work), then plans and moves:
// - Pass 1 gives every fragmented file that a free run holds the best-fitting run
//   (largest files first) and moves it there.
// - Pass 2 does the same with what the first pass left, then consolidates free
//   space for the files no run holds: it moves small files out of a window (each
//   whole, in one call), reads the bitmap again (clusters a move freed are not
//   reused before), and moves the file into the window.
// After every move the file's extents are read back and judged. Files the volume
// keeps in place are never moved (page, swap and hibernation files, metadata), nor
// anything on a solid-state drive. A failed file is never tried in a loop: at most
// one other run when its target turned out to be taken.
//
// A backend call that fails (the volume went away, an I/O error) ends the job: the
// figures stay those of the last complete step. A survey that could not finish
// reports nothing at all (every count zero, no files), never figures of part of a
// volume.
//
// A pass may be told to plan only (a dry run): it surveys and plans as always, lists
// its planned moves, and ends without a move; the files it would have moved read as
// stopped by the user.
#pragma once

#include "engine/Analysis.h"
#include "engine/Consolidation.h"
#include "engine/FileMove.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::engine {

enum class JobKind { Analysis, Optimization };

// The per-file results of an optimization, as the service reports them.
namespace result {
inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kNoFreeSpace = 1;
inline constexpr std::int32_t kCannotMoveData = 2;
inline constexpr std::int32_t kStoppedByUser = 3;
inline constexpr std::int32_t kLocked = 4;
inline constexpr std::int32_t kCannotMoveOnFat = 5;
inline constexpr std::int32_t kSafeFile = 6;
}  // namespace result

// One fragmented file as a job reports it.
struct FileOutcome {
    std::uint32_t file = 0;  // in the job's file table
    std::int32_t fragmentsBefore = 0;
    std::int32_t fragmentsAfter = 0;
    std::int32_t result = result::kOk;
    std::uint64_t storedClusters = 0;
    std::uint64_t virtualClusters = 0;
    std::uint64_t size = 0;
};

// The clusters of the files with two or more fragments before (or after) a job:
// what the fragmentation figures weigh.
std::uint64_t FragmentedClusters(const std::vector<FileOutcome>& outcomes, bool after);

// One move a pass plans: the file (in the job's file table), the first cluster its
// data takes now, where the data goes, and how many clusters go.
struct PlannedMove {
    std::uint32_t file = 0;
    Lcn from = 0;
    Lcn to = 0;
    std::uint64_t clusters = 0;
};

struct JobFigures {
    VolumeCounts counts;
    std::uint64_t defragmentedFiles = 0;
    std::uint64_t movedClusters = 0;
    // Cells of a map the client handed back that agree with what the pass's own
    // survey read (the map is never acted on).
    std::uint32_t confirmedCells = 0;
    int pass = 0;
    VolumeStatus failure = VolumeStatus::Ok;
};

class Job {
  public:
    enum class Moves { Make, PlanOnly };

    // pass is 1 or 2 for an optimization.
    Job(Volume& volume, VolumeMemory& memory, JobKind kind, int pass, std::uint32_t cellCount,
        Moves moves = Moves::Make);
    // A job over a volume opened for it alone, closed when the job goes.
    Job(std::unique_ptr<Volume> volume, VolumeMemory& memory, JobKind kind, int pass,
        std::uint32_t cellCount, Moves moves = Moves::Make);

    JobKind Kind() const { return kind_; }
    int Pass() const { return pass_; }
    bool Done() const { return phase_ == Phase::Done; }
    void Step();
    // Ends the job after the step under way; files not reached are "stopped by user".
    void Stop();
    bool Stopped() const { return stopped_; }
    double Progress() const;

    // A map the client holds; compared with the survey once that is complete.
    void OfferClientMap(std::vector<CellCounters> cells);

    JobFigures Figures() const;
    std::vector<CellCounters> Cells() const;
    std::u16string CurrentPath() const;
    // One per fragmented file the job found (analysis) or set out to handle (pass),
    // in the order the volume listed them; complete once the job is done.
    const std::vector<FileOutcome>& Outcomes() const { return outcomes_; }
    const FileTable& Table() const { return survey_.Table(); }
    // Hands the file table over once the job is done (the job keeps an empty one).
    FileTable TakeTable() { return std::move(survey_.Table()); }

    // Whether a pass has its plan (it has surveyed and not yet moved anything when
    // no step ran since); and the files that plan would move into one piece, for a
    // dry run.
    bool Planned() const { return phase_ == Phase::Execute || phase_ == Phase::Done; }
    std::vector<std::uint32_t> PlannedFiles() const;
    bool PlansOnly() const { return moves_ == Moves::PlanOnly; }
    // Every move of the plan, in the order the pass makes them: the fragmented files,
    // and in a second pass the small files that leave a window before a file goes in.
    std::vector<PlannedMove> PlannedMoves() const;

  private:
    // Handling a file costs this much work besides its clusters.
    static constexpr std::uint64_t kWorkPerFile = 64;
    // A file whose target turned out to be taken gets one other run, no more.
    static constexpr int kTargetsPerFile = 2;
    // The two readings of the bitmap a pass may make.
    static constexpr std::uint32_t kBeforeWindows = 0;
    static constexpr std::uint32_t kAtTheEnd = 1;

    enum class Phase { Survey, Plan, Execute, Done };
    enum class TaskKind { Direct, Occupant, Reread, Window };
    struct Task {
        TaskKind kind;
        std::uint32_t item;  // fragmented file, or window for occupants
        Lcn target = 0;
        std::uint32_t occupant = 0;  // in the window
    };

    void ListOutcomes();
    void EndSurvey();
    // The tasks not yet run read as stopped: their files keep their fragments.
    void MarkRemainingTasksNotDone();
    void Plan();
    void RunTask();
    void StartFileMove(const Task& task);
    void StepFileMove();
    void FinishFileMove(std::int32_t code, bool dropTargets);
    void MoveOccupant(const Task& task);
    void RereadBitmapPage(bool beforeWindows);
    void CheckWindows();
    void Fail(VolumeStatus status);
    void CompareClientMap();
    bool TargetStillFree(Lcn target, std::uint64_t clusters);
    void Account(std::uint64_t work);
    // The share of the job's work done, whether or not it ended early.
    double WorkShare() const;

    // Declared first: the volume outlives everything below that uses it.
    std::unique_ptr<Volume> ownedVolume_;
    Volume& volume_;
    VolumeMemory& memory_;
    JobKind kind_;
    int pass_;
    Moves moves_;
    Phase phase_ = Phase::Survey;
    Analysis survey_;
    bool ntfs_ = false;
    bool fat_ = false;
    std::uint64_t chunkClusters_ = 0;
    bool stopped_ = false;
    VolumeStatus failure_ = VolumeStatus::Ok;

    std::vector<FileOutcome> outcomes_;
    std::vector<Task> tasks_;
    std::size_t nextTask_ = 0;
    std::vector<Window> windows_;
    std::vector<bool> windowFailed_;
    std::vector<Lcn> windowLastFreed_;

    // The file move under way.
    std::optional<FileMove> move_;
    std::uint32_t moving_ = 0;  // fragmented file
    int targetsTried_ = 0;
    bool intoWindow_ = false;

    // Reading the bitmap again: before the windows are filled, and at the end.
    bool rereading_ = false;
    BitmapRuns reread_;
    BitmapPage page_;
    FreeRuns fresh_;

    std::uint64_t defragmented_ = 0;
    std::uint64_t movedClusters_ = 0;
    std::uint64_t nonOptimizedBytes_ = 0;
    std::uint32_t currentFile_ = 0;
    bool haveCurrent_ = false;

    std::vector<CellCounters> surveyCells_;
    std::vector<CellCounters> clientCells_;
    std::uint32_t confirmedCells_ = 0;

    std::uint64_t plannedWork_ = 1;
    std::uint64_t doneWork_ = 0;
};

}  // namespace vantrel::engine
