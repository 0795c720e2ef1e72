// One job over a volume model: an analysis, or one optimization pass. The job
// advances in units of work when told to (the engine paces it against the
// clock), and reports its figures, its map and its per-file outcomes at any time.
// Not thread-safe: the engine's worker thread owns it.
#pragma once

#include "defragsvc/ClusterMap.h"
#include "defragsvc/VolumeModel.h"
#include "service/JobRecords.h"

#include <cstdint>
#include <vector>

namespace vantrel::defragsvc {

enum class JobKind { Analysis, Optimization };

struct FileOutcome {
    std::uint32_t entry = 0;
    std::int32_t fragmentsBefore = 0;
    std::int32_t fragmentsAfter = 0;
    std::int32_t resultCode = service::FileResult::Ok;
};

class DefragJob {
  public:
    // pass is 1 or 2 for an optimization; the second pass may use all free space.
    DefragJob(VolumeModel& model, JobKind kind, int pass, std::uint32_t cellCount);

    const VolumeModel& Model() const { return model_; }
    JobKind Kind() const { return kind_; }
    int Pass() const { return pass_; }
    std::uint64_t TotalWork() const { return totalWork_; }
    std::uint64_t DoneWork() const { return doneWork_; }
    bool Done() const { return next_ >= order_.size(); }

    // Handles entries until at least `work` units are done (or all are).
    void AdvanceTo(std::uint64_t work);
    // Ends the job early; the entries not reached keep their layout.
    void Stop();
    bool Stopped() const { return stopped_; }

    // The statistics fields of this job; the caller sets times and the drive.
    void FillStatistics(service::JobStatistics& statistics) const;
    const ClusterMap& Map() const { return map_; }
    // One outcome per fragmented file: for an analysis the files found so far, for
    // an optimization every file the pass set out to handle.
    std::vector<FileOutcome> Outcomes() const;
    // The entry handled last, or the first one to come.
    std::uint32_t CurrentEntry() const;

  private:
    void AnalyzeEntry(std::uint32_t index);
    void OptimizeEntry(std::size_t position);
    std::uint64_t WorkOf(std::uint32_t index) const;

    VolumeModel& model_;
    JobKind kind_;
    int pass_;
    ClusterMap map_;
    std::vector<std::uint32_t> order_;   // entries in the order the job handles them
    std::vector<FileOutcome> outcomes_;  // optimization: one per order_ entry
    std::size_t next_ = 0;
    std::uint64_t totalWork_ = 0;
    std::uint64_t doneWork_ = 0;
    bool stopped_ = false;
    // Running figures.
    std::uint64_t processedClusters_ = 0;
    std::uint64_t filesSeen_ = 0;
    std::uint64_t directoriesSeen_ = 0;
    std::uint64_t fragmentedFiles_ = 0;
    std::uint64_t nonOptimizedBytes_ = 0;
    std::uint64_t defragmentedFiles_ = 0;
    std::uint64_t movedClusters_ = 0;
    std::uint64_t highWaterMark_ = 0;
};

}  // namespace vantrel::defragsvc
