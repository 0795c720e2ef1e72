// The stand-in defragmentation engine behind the RPC interface. One job runs at
// a time on a worker thread, paced against the clock; after every step the worker
// publishes an immutable snapshot, and every query reads one snapshot, so a
// caller never sees half an update (the file count and the records of one
// snapshot always agree). Volume models are built on first use per drive letter
// and kept for the life of the engine, so an optimization changes what the next
// analysis finds. A map the client hands back during an optimization reaches the
// worker, which lets the pass skip its survey when the map matches the volume.
#pragma once

#include "defragsvc/DefragJob.h"
#include "defragsvc/VolumeModel.h"
#include "service/JobRecords.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vantrel::defragsvc {

// What the engine learns from the machine; tests supply their own.
struct EngineEnvironment {
    std::function<std::uint64_t(wchar_t letter)> volumeBytes;
    std::function<std::wstring(wchar_t letter)> volumeText;
    // How long an analysis should take; optimization passes are scaled from it.
    std::function<std::uint32_t()> jobMilliseconds;
    // The share of its work (percent) at which a job holds until this answers 0
    // or more; empty or 0: no hold. Asked again while a job holds.
    std::function<std::uint32_t()> holdPercent;
};

// The real drives (or a default size for an unknown one) and the pace: the given
// one, or else the configured one, read anew for every job.
EngineEnvironment SystemEnvironment(std::optional<std::uint32_t> jobMilliseconds = std::nullopt);

class DefragEngine {
  public:
    explicit DefragEngine(EngineEnvironment environment);
    ~DefragEngine();
    DefragEngine(const DefragEngine&) = delete;
    DefragEngine& operator=(const DefragEngine&) = delete;

    // Each operation answers 1 when it did what was asked and 0 when it refused
    // (bad input, or nothing to act on); a refusal changes nothing.
    long Command(const service::JobCommand& command);
    void State(long& state, long& detail) const;
    bool StatisticsBusy() const { return building_.load(); }
    void CopyStatistics(service::JobStatistics& statistics) const;
    long FileCount() const;
    long CopyFileRecord(long index, service::FileRecord& record) const;
    // Only for exactly the cell count of the running or last job.
    long CopyMap(service::MapCell* cells, std::size_t cellCount) const;
    // Keeps the map and offers it to the running (or next) optimization pass.
    long KeepHandedBackMap(const service::MapCell* cells, std::size_t cellCount);
    std::vector<service::MapCell> HandedBackMap() const;
    long Pause();
    long Resume();
    long Stop();

  private:
    struct Snapshot {
        long state = service::JobState::Idle;
        long detail = 0;
        std::shared_ptr<const service::JobStatistics> statistics;
        std::vector<service::MapCell> map;
        std::vector<FileOutcome> outcomes;
        const VolumeModel* model = nullptr;
    };
    struct JobRequest {
        JobKind kind;
        int pass;
        wchar_t letter;
        std::uint32_t cellCount;
        std::uint32_t durationMilliseconds;
        std::unique_ptr<VolumeModel>* model;
    };

    std::shared_ptr<const Snapshot> Current() const;
    void Publish(std::shared_ptr<const Snapshot> snapshot);
    std::shared_ptr<const Snapshot> MakeSnapshot(const DefragJob& job, long state, bool paused,
                                                 const SYSTEMTIME& start, bool withOutcomes);
    // Answers false when no worker thread could be started.
    bool Start(JobKind kind, const service::JobCommand& command);
    void RunJob(JobRequest request);
    void Work(const JobRequest& request);
    // Ends the worker: cancel drops its result, otherwise it finishes as stopped.
    void EndWorker(bool cancel);

    EngineEnvironment environment_;

    // Serialises the control operations (commands, pause, resume, stop).
    mutable std::mutex control_;
    std::thread worker_;
    std::map<wchar_t, std::unique_ptr<VolumeModel>> models_;
    std::vector<service::MapCell> handedBack_;
    // Optimization passes finished in a row since the last analysis or cut-short job;
    // written by the worker when it finishes.
    std::atomic<int> passesInRow_{0};

    // Shared with the worker.
    std::mutex signal_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    bool cancelRequested_ = false;
    bool paused_ = false;
    // The last map handed back since the current job started, not yet seen by it.
    std::shared_ptr<const std::vector<service::MapCell>> offeredMap_;
    std::atomic<bool> active_{false};
    std::atomic<bool> building_{false};

    mutable std::mutex snapshotLock_;
    std::shared_ptr<const Snapshot> snapshot_;
};

}  // namespace vantrel::defragsvc
