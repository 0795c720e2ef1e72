// The figures of an optimization as the optimization results page shows and stores
// them: the drive's name and space bars, the fragmentation before and after, the
// status it leaves, and what goes into the drive's record after each pass.
//
// Statistics without cluster counts give no percentages: "Not evaluated" is shown
// and the stored fragmentation texts are left as they were.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "service/JobRecords.h"
#include "state/DriveRecord.h"
#include "ui/format/TimeConvert.h"

inline constexpr int kSpaceBarPixels = 150;

struct SpaceBars {
    int free = 0;
    int used = 0;
};

// free x 150 / total and (total - free) x 150 / total, truncated; both 0 for a drive
// of size 0. Free space above the total counts as the total.
SpaceBars SpaceBarWidths(std::uint64_t freeBytes, std::uint64_t totalBytes);

// "(C:) Windows (NTFS) ", with the trailing blank.
std::wstring OptimizedDriveName(wchar_t letter, const std::wstring& label,
                                const std::wstring& fileSystem);

struct Fragmentation {
    bool available = false;   // the statistics carried cluster counts
    double volume = 0.0;      // percent of all clusters
    double data = 0.0;        // percent of the used clusters
    std::wstring volumeText;  // "12.34%" or "Not evaluated"
    std::wstring dataText;
};

// The fragmentation of `fragmentedClusters` on the volume of `statistics`.
Fragmentation FragmentationOf(std::uint64_t fragmentedClusters,
                              const vantrel::service::JobStatistics& statistics);

// The status an optimization leaves: 2 (scanned, not optimized) when the user
// stopped it, otherwise 3 (optimized).
std::int32_t StatusAfterOptimization(bool stoppedByUser);

// True when a status text is "Optimization aborted", compared ignoring case.
bool IsAbortedStatusText(const std::wstring& statusText);

// The time of an optimization's first pass: it counts as the last scan and the last
// optimization of the drive.
void StampOptimization(IndiVidualDriveInfo& record, const OleDateTime& now);

// The counts of the first pass.
void RecordFirstPassCounts(IndiVidualDriveInfo& record,
                           const vantrel::service::JobStatistics& statistics);

// The stored volume fragmentation texts, each only when it is available.
void RecordVolumeFragmentation(IndiVidualDriveInfo& record, const Fragmentation* before,
                               const Fragmentation& after);
