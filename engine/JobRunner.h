// Runs one job at a time on a worker thread. After its steps the worker publishes
// an immutable snapshot, and every query reads one snapshot, so a caller never
// sees half an update (a snapshot's counts and records always agree). Pause,
// resume and stop take effect between two steps; a reset drops the job.
//
// A job may be paced against the clock (a simulated volume takes as long as its
// pace says) and held at a share of its work until the hold is lifted. No
// exception leaves the worker: a job that cannot go on ends, and the runner reads
// idle again.
#pragma once

#include "engine/Job.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantrel::engine {

struct JobPace {
    // How long the job takes when it could go faster; 0: as fast as it goes.
    std::uint32_t milliseconds = 0;
    // The share of its work (percent, 1 to 99) at which the job holds; asked again
    // while it holds. Empty or 0: no hold.
    std::function<std::uint32_t()> holdPercent;
};

enum class RunState { Idle, Running, Finished };

// What a finished job leaves for its records.
struct JobResults {
    FileTable table;
    std::vector<FileOutcome> outcomes;
    // A pass that only planned: the moves it would have made.
    std::vector<PlannedMove> plannedMoves;
};

// Whose volume a job runs on, as its caller names it; carried by its snapshots.
struct VolumeLabel {
    char16_t letter = 0;
    std::u16string text;
};

struct JobSnapshot {
    RunState state = RunState::Idle;
    VolumeLabel volume;
    bool paused = false;
    JobKind kind = JobKind::Analysis;
    bool stopped = false;
    JobFigures figures;
    std::vector<CellCounters> cells;
    std::u16string currentPath;  // while running
    std::chrono::system_clock::time_point started;
    std::chrono::system_clock::time_point ended;
    std::shared_ptr<const JobResults> results;  // once finished
};

class JobRunner {
  public:
    // Makes the job on the worker thread (it may build its volume first).
    using Factory = std::function<std::unique_ptr<Job>()>;
    // Called on the worker with the finished job's snapshot.
    using Finished = std::function<void(const JobSnapshot&)>;

    JobRunner();
    ~JobRunner();
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // False while a job is active, or when no thread could be started.
    bool Start(Factory factory, JobPace pace, VolumeLabel volume = {}, Finished finished = {});
    // Drops the job (its results too) and reads idle. Answers whether a job was
    // still active.
    bool Cancel();
    // Each answers whether it did anything.
    bool Pause();
    bool Resume();
    // The job finishes at once, as stopped by the user.
    bool Stop();
    // A map the client holds, for the running (or next) job to compare.
    void OfferClientMap(std::vector<CellCounters> cells);

    bool Active() const { return active_.load(); }
    // Set while the worker builds a snapshot or a job.
    bool Busy() const { return busy_.load(); }
    std::shared_ptr<const JobSnapshot> Current() const;

  private:
    void Run(Factory factory, JobPace pace, Finished finished);
    // Steps the job to its end; false when it was cancelled.
    bool Work(Job& job, const JobPace& pace);
    void Publish(std::shared_ptr<const JobSnapshot> snapshot);
    std::shared_ptr<JobSnapshot> SnapshotOf(Job& job, RunState state, bool paused);
    // Ends the worker; cancel drops its result, otherwise it finishes as stopped.
    void EndWorker(bool cancel);

    std::mutex control_;  // serialises the operations
    std::thread worker_;
    std::atomic<bool> active_{false};
    std::atomic<bool> busy_{false};
    std::chrono::system_clock::time_point started_;
    VolumeLabel volume_;

    // Shared with the worker.
    std::mutex signal_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    bool cancelRequested_ = false;
    bool paused_ = false;
    std::vector<CellCounters> offered_;
    bool haveOffer_ = false;

    mutable std::mutex snapshotLock_;
    std::shared_ptr<const JobSnapshot> snapshot_;
};

}  // namespace vantrel::engine
