#include "flows/DefragResultsFigures.h"

#include <optional>

#include "flows/DiskAnalyzingRules.h"
#include "flows/FragmentationPercent.h"
#include "flows/SelectDiskListing.h"
#include "res/resource.h"
#include "ui/format/StringPool.h"

namespace svc = vantrel::service;

SpaceBars SpaceBarWidths(std::uint64_t freeBytes, std::uint64_t totalBytes) {
    if (totalBytes == 0) {
        return {};
    }
    std::uint64_t free = freeBytes > totalBytes ? totalBytes : freeBytes;
    std::uint64_t total = totalBytes;
    // Scaled down together until x 150 cannot overflow; the widths stay the same
    // to within a pixel of the exact ones for drives beyond 100 PB.
    while (total > UINT64_MAX / kSpaceBarPixels) {
        free >>= 1;
        total >>= 1;
    }
    const std::uint64_t used = total - free;
    return {static_cast<int>(free * kSpaceBarPixels / total),
            static_cast<int>(used * kSpaceBarPixels / total)};
}

std::wstring OptimizedDriveName(wchar_t letter, const std::wstring& label,
                                const std::wstring& fileSystem) {
    return L"(" + DriveName(letter) + L") " + label + L" (" + fileSystem + L") ";
}

Fragmentation FragmentationOf(std::uint64_t fragmentedClusters,
                              const svc::JobStatistics& statistics) {
    Fragmentation result;
    const std::optional<double> volume =
        FragmentationPercent(fragmentedClusters, statistics.TotalClusters);
    const std::optional<double> data =
        FragmentationPercent(fragmentedClusters, statistics.UsedClusters);
    result.available = volume.has_value() && data.has_value();
    if (!result.available) {
        result.volumeText = LoadPooledString(IDS_NOT_EVALUATED);
        result.dataText = result.volumeText;
        return result;
    }
    result.volume = *volume;
    result.data = *data;
    result.volumeText = PercentText(result.volume);
    result.dataText = PercentText(result.data);
    return result;
}

std::int32_t StatusAfterOptimization(bool stoppedByUser) {
    return stoppedByUser ? DriveStatusScannedNotOptimized : DriveStatusOptimized;
}

bool IsAbortedStatusText(const std::wstring& statusText) {
    return lstrcmpiW(statusText.c_str(), LoadPooledString(IDS_OPTIMIZATION_ABORTED).c_str()) == 0;
}

void StampOptimization(IndiVidualDriveInfo& record, const OleDateTime& now) {
    const std::optional<SYSTEMTIME> time = SystemTimeFromOleDate(now);
    if (!time) {
        return;
    }
    record.LastScanSysTime = *time;
    record.IsvalidScanTime = true;
    record.LastScanDate = FormatDateText(now);
    record.LastDefragDate = record.LastScanDate;
    record.LastDefragSysTime = *time;
    record.IsvalidDefragTime = true;
}

void RecordFirstPassCounts(IndiVidualDriveInfo& record, const svc::JobStatistics& statistics) {
    record.TotalFiles = GroupedCountText(statistics.TotalFiles);
    record.TotalDirs = GroupedCountText(statistics.TotalDirs);
    record.FragmentedFiles = GroupedCountText(statistics.FragmentedFiles);
    record.DeFragmentedFiles = GroupedCountText(statistics.DeFragmentedFiles);
}

void RecordVolumeFragmentation(IndiVidualDriveInfo& record, const Fragmentation* before,
                               const Fragmentation& after) {
    if (before != nullptr && before->available) {
        record.VolumeFragmentBefore = before->volumeText;
    }
    if (after.available) {
        record.VolumeFragmentAfter = after.volumeText;
    }
}
