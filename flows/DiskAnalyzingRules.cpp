#include "flows/DiskAnalyzingRules.h"

#include <windows.h>

#include <limits>

#include "ui/format/Format.h"

std::optional<DiskSpace> QueryDiskSpace(wchar_t letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(root, &available, &total, &free)) {
        return std::nullopt;
    }
    return DiskSpace{available.QuadPart, total.QuadPart};
}

bool HasFreeSpace(const DiskSpace& space, unsigned minPercent, std::uint64_t minBytes) {
    if (space.freeToCaller >= minBytes) {
        return true;
    }
    if (space.total == 0) {
        return false;
    }
    // Below minBytes, free x 100 cannot overflow for any minBytes up to 2^64 / 100.
    const std::uint64_t free = space.freeToCaller > std::numeric_limits<std::uint64_t>::max() / 100
                                   ? std::numeric_limits<std::uint64_t>::max() / 100
                                   : space.freeToCaller;
    return free * 100 / space.total >= minPercent;
}

bool HasRoomForJob(const std::optional<DiskSpace>& space) {
    return space.has_value() && HasFreeSpace(*space, kJobStartMinPercent, kJobStartMinBytes);
}

int ProgressPosition(std::uint64_t done, std::uint64_t total, int pass) {
    constexpr int kFirstPassStart = 250;
    constexpr int kSecondPassOffset = kProgressRange / 2;
    constexpr int kCeiling = 950000;
    if (total == 0) {
        return 0;
    }
    std::uint32_t ratio = kProgressRange;
    if (done < total) {
        ratio = static_cast<std::uint32_t>(static_cast<double>(done) * kProgressRange /
                                           static_cast<double>(total));
    }
    int position = static_cast<int>(ratio >> 1);
    if (pass == 0) {
        if (position == 0) {
            position = kFirstPassStart;
        }
    } else {
        position += kSecondPassOffset;
    }
    return position > kCeiling ? kCeiling : position;
}

FinishedStep StepAfterFinished(JobMode mode, int pass, bool stopConfirmed) {
    if (mode == JobMode::Scan) {
        return FinishedStep::ShowScanResults;
    }
    if (stopConfirmed) {
        return FinishedStep::OptimizationAborted;
    }
    return pass == 0 ? FinishedStep::StartSecondPass : FinishedStep::OptimizationComplete;
}

FailedPollStep StepAfterFailedPoll(long lastState, unsigned long long failingForMs) {
    if (failingForMs >= kServiceLostAfterMs) {
        return FailedPollStep::GiveUp;
    }
    return lastState == 1 ? FailedPollStep::PollAgain : FailedPollStep::Wait;
}

std::wstring GroupedCountText(std::uint64_t count) {
    constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    wchar_t buffer[kGroupedNumberCapacity] = {};
    FormatGroupedNumber(static_cast<std::int64_t>(count > kLargest ? kLargest : count), buffer);
    return buffer;
}

bool StampJobStart(DriveHistoryArray& history, wchar_t letter, const OleDateTime& now) {
    IndiVidualDriveInfo* record = FindDriveRecord(history, letter);
    const std::optional<SYSTEMTIME> time = SystemTimeFromOleDate(now);
    if (record == nullptr || !time) {
        return false;
    }
    record->LastScanSysTime = *time;
    record->LastScanDate = FormatDateText(now);
    record->IsvalidScanTime = true;
    return true;
}
