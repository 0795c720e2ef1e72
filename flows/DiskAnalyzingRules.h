// The progress page's decisions, apart from any window: whether a drive has room
// for a job, where the progress bar stands, what the end of a service pass leads
// to, and the stamp a job start leaves in the drive's record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "state/DriveRecord.h"
#include "ui/format/TimeConvert.h"

// What StartJob was asked for; the numbers are the page's mode values.
enum class JobMode : int { Scan = 0, Optimize = 1 };

// ---- Free space ----------------------------------------------------------------

struct DiskSpace {
    std::uint64_t freeToCaller = 0;
    std::uint64_t total = 0;
};

// The free space of drive `letter` ("X:\"), or nullopt when it cannot be read.
std::optional<DiskSpace> QueryDiskSpace(wchar_t letter);

// True when free x 100 / total (truncated) is at least `minPercent`, or when at
// least `minBytes` are free. A drive whose size is 0 has room only by the byte test.
bool HasFreeSpace(const DiskSpace& space, unsigned minPercent, std::uint64_t minBytes);

inline constexpr unsigned kJobStartMinPercent = 5;
inline constexpr std::uint64_t kJobStartMinBytes = 2ull * 1024 * 1024 * 1024;

// The test a job start makes once the service was reset: at least 5 % or at least
// 2 GiB free. A drive whose space cannot be read has no room.
bool HasRoomForJob(const std::optional<DiskSpace>& space);

// ---- Progress ------------------------------------------------------------------

inline constexpr int kProgressRange = 1000000;

// The progress bar position for `done` of `total` clusters in optimization pass
// `pass` (0 for a scan or a first pass, 1 for the second pass): a scan or first
// pass fills the bar up to one half, the second pass the other half, never beyond
// 950,000; a first pass just begun shows 250. No total: 0. A done count above the
// total counts as the whole total.
int ProgressPosition(std::uint64_t done, std::uint64_t total, int pass);

// ---- End of a service pass -------------------------------------------------------

enum class FinishedStep {
    ShowScanResults,       // a scan ended (completed or stopped)
    OptimizationAborted,   // the user stopped an optimization pass
    StartSecondPass,       // the first optimization pass completed
    OptimizationComplete,  // the second optimization pass completed
};

FinishedStep StepAfterFinished(JobMode mode, int pass, bool stopConfirmed);

// ---- A poll the service did not answer ----------------------------------------------

// How long polls may fail in a row before the page gives the service up.
inline constexpr unsigned long long kServiceLostAfterMs = 5000;

enum class FailedPollStep {
    PollAgain,  // the last state received was Running: the job is polled on
    Wait,       // nothing runs as far as the page knows: no poll until a new start
    GiveUp,     // the service has not answered for too long
};

// What a failed GetJobState leads to, after `failingForMs` of failed polls in a row
// and with `lastState` the last state the service answered.
FailedPollStep StepAfterFailedPoll(long lastState, unsigned long long failingForMs);

// ---- Texts and the drive record ----------------------------------------------------

// A count from the service in the user's number format; counts beyond the signed
// 64-bit range show as its largest value.
std::wstring GroupedCountText(std::uint64_t count);

// Marks the start of a job on drive `letter`: the first record of `history` with
// that letter gets `now` as its last scan time and date text. False when the
// drive has no record (nothing changes then) or `now` is not a valid date.
bool StampJobStart(DriveHistoryArray& history, wchar_t letter, const OleDateTime& now);
