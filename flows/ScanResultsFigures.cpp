#include "flows/ScanResultsFigures.h"

#include <cstdio>
#include <cwchar>

#include "flows/DiskAnalyzingRules.h"
#include "res/resource.h"
#include "ui/format/StringPool.h"

namespace svc = vantrel::service;

namespace {

constexpr double kRecommendFrom = 1.0;  // a volume fragmentation above this recommends optimizing

std::wstring Printed(const wchar_t* format, double value) {
    wchar_t text[64] = {};
    std::swprintf(text, std::size(text), format, value);
    return text;
}

}  // namespace

NonOptimizedAmount NonOptimizedAmountOf(std::uint64_t bytes) {
    if (bytes > kMegabyteThreshold) {
        return {bytes >> 20, true};
    }
    return {bytes >> 10, false};
}

double HeldPercent(double value) {
    return vantrel::engine::HeldPercent(value);
}

std::wstring DataFragmentationTag(double value) {
    return Printed(L" %.2f%% ", value);
}

std::wstring NonOptimizedFilesLine(const std::wstring& driveName) {
    std::wstring line = LoadPooledString(IDS_NON_OPTIMIZED_FILES_FOUND) + driveName;
    if (line.size() > kFilesLineChars) {
        line = line.substr(0, kFilesLineChars) + L"...";
    }
    return line;
}

bool RecommendationInLargeFont(const std::wstring& dataTag) {
    return dataTag.size() <= kLargeFontTagChars;
}

ScanFigures ComputeScanFigures(const svc::JobStatistics& statistics,
                               std::uint64_t fragmentedClusters, bool stoppedByUser,
                               bool solidState) {
    ScanFigures figures;
    figures.solidState = solidState;
    figures.fragmentedFiles = statistics.FragmentedFiles;
    figures.fragmentedText = GroupedCountText(statistics.FragmentedFiles);
    figures.nonOptimized = NonOptimizedAmountOf(statistics.NonOptimizedBytes);
    figures.nonOptimizedText = GroupedCountText(figures.nonOptimized.amount);

    const std::optional<double> volume =
        FragmentationPercent(fragmentedClusters, statistics.TotalClusters);
    const std::optional<double> data =
        FragmentationPercent(fragmentedClusters, statistics.UsedClusters);
    figures.available = volume.has_value() && data.has_value();
    if (figures.available) {
        figures.volume = HeldPercent(*volume);
        figures.data = HeldPercent(*data);
        figures.volumeText = PercentText(figures.volume);
        figures.dataText = PercentText(figures.data);
        figures.dataTag = DataFragmentationTag(figures.data);
    } else {
        figures.volumeText = LoadPooledString(IDS_NOT_EVALUATED);
        figures.dataText = figures.volumeText;
    }

    if (stoppedByUser) {
        figures.recommendation = IDS_SCANNING_ABORTED;
    } else if (!figures.available) {
        figures.recommendation = IDS_NOT_EVALUATED;
    } else if (figures.solidState) {
        figures.recommendation = IDS_SSD_RECOMMENDATION;
    } else if (figures.volume <= kRecommendFrom) {
        figures.recommendation = IDS_NO_OPTIMIZATION_REQUIRED;
    } else {
        figures.recommendation = IDS_OPTIMIZATION_RECOMMENDED;
    }

    if (stoppedByUser || !figures.available) {
        figures.status = DriveStatusNotScanned;
    } else {
        figures.status =
            figures.fragmentedFiles == 0 ? DriveStatusOptimized : DriveStatusFragmented;
    }
    return figures;
}

void RecordScanResults(IndiVidualDriveInfo& record, const ScanFigures& figures,
                       const svc::JobStatistics& statistics, const OleDateTime& now) {
    if (const std::optional<SYSTEMTIME> time = SystemTimeFromOleDate(now)) {
        record.LastScanDate = FormatDateText(now);
        record.LastScanSysTime = *time;
        record.IsvalidScanTime = true;
    }
    record.TotalFiles = GroupedCountText(statistics.TotalFiles);
    record.TotalDirs = GroupedCountText(statistics.TotalDirs);
    record.FragmentedFiles = figures.fragmentedText;
    record.Status = figures.status;
    if (figures.available) {
        record.Opt_PerCentag = figures.dataTag;
        record.VolumeFragmentBefore = figures.volumeText;
    }
}
