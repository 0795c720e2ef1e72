// One job over a volume model: an analysis, or one optimization pass. The job
// advances in units of work when told to (the engine paces it against the
// clock), and reports its figures, its map and its per-file outcomes at any time.
// Not thread-safe: the engine's worker thread owns it.
//
// Every job first surveys the volume cell by cell, from the first cluster to
// the last; a cell the survey has not reached reads all zero in the map. An
// analysis is nothing but the survey: it counts each entry when it reaches the
// entry's first cluster. An optimization pass surveys (about a fifth of its
// work) and then moves the fragmented files it knows of; the cells of a map
// handed back by the client that show exactly what the volume holds need no
// survey.
#pragma once

#include "defragsvc/ClusterMap.h"
#include "defragsvc/VolumeModel.h"
#include "service/JobRecords.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace vantrel::defragsvc {

enum class JobKind { Analysis, Optimization };

// One fragmented file as the job reports it; holds every figure of its record
// but the path, so that a record never reads the model while a later job
// changes it.
struct FileOutcome {
    std::uint32_t entry = 0;
    std::int32_t fragmentsBefore = 0;
    std::int32_t fragmentsAfter = 0;
    std::int32_t resultCode = service::FileResult::Ok;
    std::uint64_t clusters = 0;
    std::uint64_t sizeBytes = 0;
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
    bool Done() const { return !Surveying() && next_ >= order_.size(); }
    bool Surveying() const { return knownCells_ < map_.CellCount(); }

    // Handles cells and entries until at least `work` units are done (or all are).
    void AdvanceTo(std::uint64_t work);
    // Ends the job early; the entries not reached keep their layout.
    void Stop();
    bool Stopped() const { return stopped_; }

    // An optimization still surveying takes from a handed-back map of its cell
    // count every cell not surveyed yet that equals the volume's cell, and skips
    // those in its survey. A client's map lags the volume by a poll or so: its
    // last cells may read zero, or a few moves may be missing, and those cells
    // are surveyed as usual. Answers whether it took any cell; nothing changes
    // when it did not.
    bool AdoptMap(std::span<const service::MapCell> cells);
    std::uint32_t CellsFromHandedBackMap() const { return cellsFromClient_; }

    // The statistics fields of this job; the caller sets times and the current file.
    void FillStatistics(service::JobStatistics& statistics) const;
    // The map as the client sees it: cells not surveyed yet read all zero.
    std::vector<service::MapCell> MapCells() const;
    // One outcome per fragmented file: for an analysis the files found so far, for
    // an optimization every file the pass set out to handle.
    std::vector<FileOutcome> Outcomes() const;
    // The entry handled last, or the first one to come.
    std::uint32_t CurrentEntry() const { return current_; }

  private:
    void MarkLargestForSecondPass();
    void SurveyNextCell();
    void CountEntry(std::uint32_t index);
    void OptimizeEntry(std::size_t position);
    std::uint64_t SurveyWorkOf(std::uint32_t cell) const;
    std::uint64_t MoveWorkOf(std::uint32_t index) const;
    FileOutcome OutcomeOf(std::uint32_t index) const;

    VolumeModel& model_;
    JobKind kind_;
    int pass_;
    ClusterMap map_;
    // The survey: entries by their first cluster, the cells known (surveyed or
    // taken from the client), and the survey's front: every cell before it is known.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> homes_;
    std::size_t nextHome_ = 0;
    std::vector<bool> known_;
    std::uint32_t knownCells_ = 0;
    std::uint32_t front_ = 0;
    std::uint32_t cellsFromClient_ = 0;
    double surveyScale_ = 1.0;
    // The moves of an optimization: one outcome per entry of order_.
    std::vector<std::uint32_t> order_;
    std::vector<FileOutcome> outcomes_;
    std::size_t next_ = 0;
    // An analysis's fragmented files, in the order it found them, as they were.
    std::vector<FileOutcome> found_;
    std::uint32_t current_ = 0;
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
    std::uint64_t firstPassLimit_ = 0;
    // First pass: the files (by position in order_) that wait for the second.
    std::vector<bool> leftForSecondPass_;
};

}  // namespace vantrel::defragsvc
