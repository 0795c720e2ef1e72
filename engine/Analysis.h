// The analysis of a volume, streaming and in bounded steps: the allocation bitmap
// page by page (the map fills from the first cluster to the last, with used and
// free space), then the files as the volume enumerates them, each with its extents
// (the map's used space turns into file data, fragmented data and the MFT).
//
// Memory stays bounded: per file an entry of the compact file table (id, parent,
// name); per fragmented file its extents at 16 bytes each; per small file in one
// piece one placement of 16 bytes, only when the free-space consolidation needs
// them. No path is kept: one is built when asked for.
#pragma once

#include "engine/BitmapRuns.h"
#include "engine/ClusterMap.h"
#include "engine/FileTable.h"
#include "engine/FreeRuns.h"
#include "engine/Volume.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vantrel::engine {

// What the engine remembers about one volume from job to job.
struct VolumeMemory {
    // Files this engine placed in one piece (sorted ids): the map shows their data as
    // optimized while they stay that way.
    std::vector<std::uint64_t> optimized;

    bool IsOptimized(std::uint64_t id) const;
    void MarkOptimized(std::uint64_t id);
};

// One stored run of a fragmented file, VCNs implied by the runs before it.
struct PackedRun {
    Lcn lcn = kNoLcn;  // kNoLcn: sparse
    std::uint64_t clusters = 0;
};

struct FragmentedFile {
    std::uint32_t file = 0;  // in the file table
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::uint64_t storedClusters = 0;
    Vcn firstVcn = 0;
    Vcn vcnEnd = 0;
    std::uint32_t fragments = 0;
    std::uint32_t firstRun = 0;  // in Analysis::Runs()
    std::uint32_t runCount = 0;
};

inline bool IsDirectory(const FragmentedFile& file) {
    return (file.attributes & attributes::kDirectory) != 0;
}

// A small file in one piece from VCN 0, without holes: what the free-space
// consolidation may move aside.
struct Placement {
    Lcn lcn = 0;
    std::uint32_t clusters = 0;
    std::uint32_t file = 0;  // in the file table
};

struct AnalysisOptions {
    std::uint32_t cellCount = 1;
    bool keepFreeRuns = false;
    // Files in one piece of at most this many bytes are kept as placements.
    std::uint64_t placementBytes = 0;
};

// The counts a job reports.
struct VolumeCounts {
    std::uint64_t files = 0;
    std::uint64_t directories = 0;
    std::uint64_t fragmentedFiles = 0;
    std::uint64_t fragments = 0;  // of every file; a file in one piece has one
    std::uint64_t nonOptimizedBytes = 0;
    std::uint64_t totalClusters = 0;
    std::uint64_t usedClusters = 0;
    std::uint64_t freeClusters = 0;
    std::uint64_t largestFreeRun = 0;
    std::uint64_t processedClusters = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t bytesPerCluster = 0;
};

class Analysis {
  public:
    Analysis(Volume& volume, const VolumeMemory& memory, const AnalysisOptions& options);

    bool Done() const { return phase_ == Phase::Done; }
    // Ok, or the status of the volume call that ended the analysis early; its counts,
    // files and map are then empty.
    VolumeStatus Failure() const { return failure_; }
    void Step();
    double Progress() const;

    const VolumeCounts& Counts() const { return counts_; }
    const ClusterMap& Map() const { return map_; }
    // Cells of the map surveyed so far (from the first on).
    std::uint32_t ShownCells() const { return shownCells_; }
    std::u16string CurrentPath() const;

    // What a finished analysis found.
    const VolumeData& Data() const { return data_; }
    MediaKind Media() const { return media_; }
    FileTable& Table() { return table_; }
    const FileTable& Table() const { return table_; }
    const std::vector<FragmentedFile>& Fragmented() const { return fragmented_; }
    std::span<const PackedRun> RunsOf(const FragmentedFile& file) const;
    // The runs as extents with their VCNs.
    std::vector<Extent> ExtentsOf(const FragmentedFile& file) const;
    FreeRuns& Free() { return freeRuns_; }
    const FreeRuns& Free() const { return freeRuns_; }
    // Sorted by LCN.
    const std::vector<Placement>& Placements() const { return placements_; }
    ClusterMap& MutableMap() { return map_; }
    VolumeCounts& MutableCounts() { return counts_; }

  private:
    enum class Phase { Start, Bitmap, Files, Done };

    void StepPhase();
    void Begin();
    void ReadBitmapPage();
    void ReadFileBatch();
    void AddFile(const FileInfo& info);
    void Finish();
    void Fail(VolumeStatus status);
    void MapUsed(Lcn from, Lcn to);

    Volume& volume_;
    const VolumeMemory& memory_;
    AnalysisOptions options_;
    Phase phase_ = Phase::Start;
    VolumeStatus failure_ = VolumeStatus::Ok;
    bool ntfs_ = false;

    VolumeData data_;
    MediaKind media_ = MediaKind::Unknown;
    VolumeCounts counts_;
    ClusterMap map_;
    std::uint32_t shownCells_ = 0;

    BitmapRuns bitmapRuns_;
    BitmapPage page_;
    Lcn mappedTo_ = 0;
    std::uint64_t bitmapFree_ = 0;
    std::uint64_t bitmapUsed_ = 0;
    FreeRuns freeRuns_;

    std::uint64_t cursor_ = 0;
    std::vector<FileInfo> batch_;
    std::vector<Extent> extents_;
    FileTable table_;
    std::vector<FragmentedFile> fragmented_;
    std::vector<PackedRun> runs_;
    std::vector<Placement> placements_;
    std::uint32_t current_ = 0;
    bool haveCurrent_ = false;
    std::uint64_t placementClusters_ = 0;

    // Work done and expected, for progress: the clusters in use the bitmap showed,
    // then per file a fixed amount and its clusters.
    std::uint64_t doneWork_ = 0;
    std::uint64_t expectedWork_ = 1;
};

}  // namespace vantrel::engine
