// The defrag service's side of the interface: commands, state, statistics, map and
// records, served by the engine's job runner over the machine's volumes, or over a
// simulated volume per drive. The runner does one job at a time on its worker
// thread and publishes immutable snapshots; every query maps one snapshot onto the
// interface's records, so a caller never sees half an update (the file count and
// the records of one snapshot always agree).
//
// A real volume is opened for each job and closed with it; one that cannot be
// worked on (no such drive, no rights, a file system without the calls) ends the
// job at once with every count 0. Simulated drives are built on first use per
// letter and kept for the life of the engine, so an optimization changes what the
// next analysis finds.
#pragma once

#include "defragsvc/ServiceParameters.h"
#include "engine/JobRunner.h"
#include "engine/sim/SimVolume.h"
#include "service/JobRecords.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::defragsvc {

// At most this many cells: a map of this size is 40 MiB on the wire.
inline constexpr std::uint32_t kMaxMapCells = 1u << 20;

// What the engine learns from the machine; tests supply their own.
struct EngineEnvironment {
    std::function<std::uint64_t(wchar_t letter)> volumeBytes;
    std::function<std::wstring(wchar_t letter)> volumeText;
    // How long an analysis should take; optimization passes are scaled from it.
    std::function<std::uint32_t()> jobMilliseconds;
    // The share of its work (percent) at which a job holds until this answers 0
    // or more; empty or 0: no hold. Asked again while a job holds.
    std::function<std::uint32_t()> holdPercent;
    // Opens a drive's volume for one job; empty: every drive is simulated (and the
    // pace and the hold above apply).
    std::function<std::unique_ptr<engine::Volume>(wchar_t letter)> openVolume = {};
    // Optimization passes plan only, and move nothing.
    bool planOnly = false;
    // Told, on the job's worker, of every move a pass that only planned would have
    // made, with the file's full path.
    std::function<void(const std::wstring& path, const engine::PlannedMove& move)> planned = {};
};

// This machine: its volumes, or simulated drives of its drives' sizes (a default
// size for a letter without a drive) at the given pace or else the configured one.
EngineEnvironment SystemEnvironment(const ServiceOptions& options);

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
    // Whether a job is accepted and not ended yet.
    bool JobActive() const { return runner_.Active(); }
    bool StatisticsBusy() const { return runner_.Busy(); }
    void CopyStatistics(service::JobStatistics& statistics) const;
    long FileCount() const;
    long CopyFileRecord(long index, service::FileRecord& record) const;
    // Only for exactly the cell count of the running or last job.
    long CopyMap(service::MapCell* cells, std::size_t cellCount) const;
    // Keeps the map and offers it to the running (or next) optimization pass, which
    // compares it with what it reads itself and never acts on it.
    long KeepHandedBackMap(const service::MapCell* cells, std::size_t cellCount);
    std::vector<service::MapCell> HandedBackMap() const;
    long Pause();
    long Resume();
    long Stop();

  private:
    struct Drive {
        std::unique_ptr<engine::sim::SimVolume> volume;
        engine::VolumeMemory memory;
    };

    bool Start(engine::JobKind kind, wchar_t letter, std::uint32_t cellCount);

    EngineEnvironment environment_;
    // Serialises the control operations (commands, pause, resume, stop).
    mutable std::mutex control_;
    std::vector<service::MapCell> handedBack_;
    // Optimization passes finished in a row since the last analysis or cut-short
    // job; written by the worker when a pass finishes.
    std::atomic<int> passesInRow_{0};
    // Built and used on the worker thread only.
    std::map<wchar_t, Drive> drives_;
    // Last: its worker ends before the drives go.
    engine::JobRunner runner_;
};

}  // namespace vantrel::defragsvc
