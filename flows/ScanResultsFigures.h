// The figures of a finished scan as the scan results page shows and stores them:
// the fragmented file count, the non-optimized amount in KB or MB, the volume and
// data fragmentation held to two decimals, the recommendation, and what goes into
// the drive's record.
//
// Statistics without cluster counts (a failed call reads all zero) give no
// percentages: the page then shows "Not evaluated" instead of a figure, and the
// drive is recorded as not scanned rather than as optimized.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "flows/FragmentationPercent.h"
#include "service/JobRecords.h"
#include "state/DriveRecord.h"
#include "ui/format/TimeConvert.h"

// A byte count above this is shown in megabytes, otherwise in kilobytes.
inline constexpr std::uint64_t kMegabyteThreshold = 0x100000;
// The non-optimized files line is cut to this many characters (plus "...").
inline constexpr std::size_t kFilesLineChars = 47;
// A data fragmentation tag up to this long keeps the recommendation in the larger font.
inline constexpr std::size_t kLargeFontTagChars = 8;

struct NonOptimizedAmount {
    std::uint64_t amount = 0;
    bool megabytes = false;
};

// B >> 20 in megabytes when B > 1,048,576 bytes, else B >> 10 in kilobytes.
NonOptimizedAmount NonOptimizedAmountOf(std::uint64_t bytes);

// A percentage as the page holds it: its "%0.2f" text read back and rounded half up
// to ten decimals, so that later comparisons see what the user sees.
double HeldPercent(double value);

// " 12.34% ": the data fragmentation tag, also stored as the drive's percentage text.
std::wstring DataFragmentationTag(double value);

// String 1184 followed by the drive name, cut to 47 characters plus "..." when longer.
std::wstring NonOptimizedFilesLine(const std::wstring& driveName);

// True when the recommendation is drawn in the larger font (a tag of at most 8 characters).
bool RecommendationInLargeFont(const std::wstring& dataTag);

struct ScanFigures {
    // False when the statistics carried no cluster counts: no percentages then.
    bool available = false;
    double volume = 0.0;  // percent, held to two decimals
    double data = 0.0;
    std::wstring volumeText;  // "12.34%" or "Not evaluated"
    std::wstring dataText;
    std::wstring dataTag;  // " 12.34% "; empty without percentages
    UINT recommendation = 0;
    std::uint64_t fragmentedFiles = 0;
    std::wstring fragmentedText;
    NonOptimizedAmount nonOptimized;
    std::wstring nonOptimizedText;
    std::int32_t status = DriveStatusUnknown;
    // A solid-state drive: "Defrag" is not offered.
    bool solidState = false;
};

// The figures of `statistics`, with `fragmentedClusters` the clusters of the files
// that had two or more fragments; `stoppedByUser` when the user stopped the scan;
// `solidState` for a drive on a solid-state medium, which needs no optimization.
ScanFigures ComputeScanFigures(const vantrel::service::JobStatistics& statistics,
                               std::uint64_t fragmentedClusters, bool stoppedByUser,
                               bool solidState = false);

// Writes a finished scan into the drive's record: the scan time (`now`) and its text,
// the counts, the status, and, when there are percentages, the data fragmentation
// tag and the volume fragmentation.
void RecordScanResults(IndiVidualDriveInfo& record, const ScanFigures& figures,
                       const vantrel::service::JobStatistics& statistics, const OleDateTime& now);
