// The figures of both results pages without a window: amounts and percentages with
// their texts, the recommendation and its font, the space bars, what the pages do
// with statistics that carry no cluster counts, and what they store in the record.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "flows/DefragResultsFigures.h"
#include "flows/FragmentationPercent.h"
#include "flows/ScanResultsFigures.h"
#include "res/resource.h"
#include "service/JobRecords.h"
#include "tests/support/SystemTimes.h"

namespace svc = vantrel::service;

namespace {

std::unique_ptr<svc::JobStatistics> Statistics(std::uint64_t totalClusters,
                                               std::uint64_t usedClusters,
                                               std::uint64_t fragmentedFiles = 12) {
    auto statistics = std::make_unique<svc::JobStatistics>();
    statistics->TotalClusters = totalClusters;
    statistics->UsedClusters = usedClusters;
    statistics->FragmentedFiles = fragmentedFiles;
    statistics->TotalFiles = 1234567;
    statistics->TotalDirs = 4321;
    statistics->DeFragmentedFiles = 11;
    statistics->NonOptimizedBytes = 5 << 20;
    return statistics;
}

const std::wstring kNotEvaluated = L"Not evaluated";

TEST(NonOptimizedAmount, SwitchesToMegabytesAboveOneMebibyte) {
    const struct {
        std::uint64_t bytes;
        std::uint64_t amount;
        bool megabytes;
    } cases[] = {
        {0, 0, false},          {1023, 0, false},         {1024, 1, false},
        {1048576, 1024, false},  // exactly 1 MiB stays in kilobytes
        {1048577, 1, true},     {5ull << 30, 5120, true}, {~0ull, (~0ull) >> 20, true},
    };
    for (const auto& c : cases) {
        const NonOptimizedAmount amount = NonOptimizedAmountOf(c.bytes);
        EXPECT_EQ(c.amount, amount.amount) << c.bytes;
        EXPECT_EQ(c.megabytes, amount.megabytes) << c.bytes;
    }
}

TEST(Percentages, HeldToTwoDecimalsAsShown) {
    const struct {
        double value;
        double held;
        const wchar_t* text;
        const wchar_t* tag;
    } cases[] = {
        {1.004, 1.0, L"1.00%", L" 1.00% "},        {1.01, 1.01, L"1.01%", L" 1.01% "},
        {0.0, 0.0, L"0.00%", L" 0.00% "},          {12.345678, 12.35, L"12.35%", L" 12.35% "},
        {99.999, 100.0, L"100.00%", L" 100.00% "},
    };
    for (const auto& c : cases) {
        const double held = HeldPercent(c.value);
        EXPECT_DOUBLE_EQ(c.held, held) << c.value;
        EXPECT_EQ(c.text, PercentText(held)) << c.value;
        EXPECT_EQ(c.tag, DataFragmentationTag(held)) << c.value;
    }
    EXPECT_FALSE(FragmentationPercent(5, 0).has_value());
    EXPECT_DOUBLE_EQ(25.0, *FragmentationPercent(1, 4));
    EXPECT_DOUBLE_EQ(100.0, *FragmentationPercent(9, 4)) << "never above 100";
}

TEST(ScanFigures, RecommendationFollowsTheHeldVolumeFragmentation) {
    const struct {
        std::uint64_t fragmentedClusters;
        bool stopped;
        UINT recommendation;
        const wchar_t* volumeText;
        const wchar_t* dataText;
        std::int32_t status;
    } cases[] = {
        {1004, false, IDS_NO_OPTIMIZATION_REQUIRED, L"1.00%", L"2.01%", 0},  // 1.004 % held 1.00
        {1010, false, IDS_OPTIMIZATION_RECOMMENDED, L"1.01%", L"2.02%", 0},
        {0, false, IDS_NO_OPTIMIZATION_REQUIRED, L"0.00%", L"0.00%", 0},
        {1010, true, IDS_SCANNING_ABORTED, L"1.01%", L"2.02%", 1},
    };
    for (const auto& c : cases) {
        const auto statistics = Statistics(100000, 50000);
        const ScanFigures figures =
            ComputeScanFigures(*statistics, c.fragmentedClusters, c.stopped);
        EXPECT_TRUE(figures.available);
        EXPECT_EQ(c.recommendation, figures.recommendation) << c.fragmentedClusters;
        EXPECT_EQ(c.volumeText, figures.volumeText);
        EXPECT_EQ(c.dataText, figures.dataText);
        EXPECT_EQ(c.status, figures.status);
        EXPECT_EQ(L"12", figures.fragmentedText);
        EXPECT_EQ(L"5", figures.nonOptimizedText);
        EXPECT_TRUE(figures.nonOptimized.megabytes);
    }
}

TEST(ScanFigures, ASolidStateDriveNeedsNoOptimizationOnceItsFiguresAreKnown) {
    const auto statistics = Statistics(100000, 50000);
    const ScanFigures solid = ComputeScanFigures(*statistics, 30000, false, true);
    EXPECT_EQ(static_cast<UINT>(IDS_SSD_RECOMMENDATION), solid.recommendation);
    EXPECT_EQ(L"30.00%", solid.volumeText) << "the figures are shown as they are";
    EXPECT_EQ(0, solid.status);
    EXPECT_EQ(static_cast<UINT>(IDS_SCANNING_ABORTED),
              ComputeScanFigures(*statistics, 30000, true, true).recommendation);
    EXPECT_EQ(static_cast<UINT>(IDS_NOT_EVALUATED),
              ComputeScanFigures(*Statistics(0, 0, 0), 0, false, true).recommendation);
}

TEST(ScanFigures, NoFragmentedFileMeansOptimizedUnlessStopped) {
    const auto clean = Statistics(100000, 50000, 0);
    EXPECT_EQ(3, ComputeScanFigures(*clean, 0, false).status);
    EXPECT_EQ(1, ComputeScanFigures(*clean, 0, true).status);
    EXPECT_EQ(L"0", ComputeScanFigures(*clean, 0, false).fragmentedText);
}

TEST(ScanFigures, RecommendationFontSwitchesOnTheTagLength) {
    const auto statistics = Statistics(1000, 1000);
    const ScanFigures twoDigits = ComputeScanFigures(*statistics, 123, false);  // 12.30 %
    EXPECT_EQ(L" 12.30% ", twoDigits.dataTag);
    EXPECT_TRUE(RecommendationInLargeFont(twoDigits.dataTag)) << "8 characters";
    const ScanFigures full = ComputeScanFigures(*statistics, 1000, false);  // 100.00 %
    EXPECT_EQ(L" 100.00% ", full.dataTag);
    EXPECT_FALSE(RecommendationInLargeFont(full.dataTag)) << "9 characters";
    const ScanFigures oneDigit = ComputeScanFigures(*statistics, 5, false);
    EXPECT_TRUE(RecommendationInLargeFont(oneDigit.dataTag));
}

TEST(ScanFigures, StatisticsWithoutClustersShowNoFigures) {
    const struct {
        std::uint64_t total;
        std::uint64_t used;
    } cases[] = {{0, 0}, {0, 500}, {1000, 0}};
    for (const auto& c : cases) {
        const auto statistics = Statistics(c.total, c.used, 0);
        for (bool stopped : {false, true}) {
            const ScanFigures figures = ComputeScanFigures(*statistics, 40, stopped);
            EXPECT_FALSE(figures.available);
            EXPECT_EQ(kNotEvaluated, figures.volumeText);
            EXPECT_EQ(kNotEvaluated, figures.dataText);
            EXPECT_EQ(L"", figures.dataTag);
            EXPECT_EQ(stopped ? IDS_SCANNING_ABORTED : IDS_NOT_EVALUATED, figures.recommendation);
            EXPECT_EQ(1, figures.status) << "recorded as not scanned, never as optimized";
        }
    }
}

TEST(ScanFigures, FilesLineIsCutAfterFortySevenCharacters) {
    // "Non-optimized files found on your " is 34 characters.
    EXPECT_EQ(L"Non-optimized files found on your (D:)Data", NonOptimizedFilesLine(L"(D:)Data"));
    const std::wstring thirteen = L"(D:)123456789";
    EXPECT_EQ(47u, NonOptimizedFilesLine(thirteen).size()) << "exactly 47: kept";
    EXPECT_EQ(L"Non-optimized files found on your (C:) Windows ...",
              NonOptimizedFilesLine(L"(C:) Windows (System Drive)"));
    EXPECT_EQ(L"Non-optimized files found on your (D:)123456789...",
              NonOptimizedFilesLine(thirteen + L"0"));
}

TEST(ScanFigures, RecordTakesTheScan) {
    const OleDateTime now = OleDateFromSystemTime(MakeSystemTime(2026, 3, 4, 10, 30));
    const auto statistics = Statistics(100000, 50000, 1234);
    IndiVidualDriveInfo record = MakeDriveRecord(L'D');
    RecordScanResults(record, ComputeScanFigures(*statistics, 1010, false), *statistics, now);
    EXPECT_TRUE(record.IsvalidScanTime);
    EXPECT_EQ(2026, record.LastScanSysTime.wYear);
    EXPECT_EQ(30, record.LastScanSysTime.wMinute);
    EXPECT_EQ(FormatDateText(now), record.LastScanDate);
    EXPECT_EQ(L"1,234,567", record.TotalFiles);
    EXPECT_EQ(L"4,321", record.TotalDirs);
    EXPECT_EQ(L"1,234", record.FragmentedFiles);
    EXPECT_EQ(0, record.Status);
    EXPECT_EQ(L" 2.02% ", record.Opt_PerCentag);
    EXPECT_EQ(L"1.01%", record.VolumeFragmentBefore);
    EXPECT_EQ(L"Scanning Not Yet Performed", record.LastDefragDate) << "no optimization yet";

    // Without percentages the stored ones stay.
    const auto empty = Statistics(0, 0, 0);
    RecordScanResults(record, ComputeScanFigures(*empty, 0, false), *empty, now);
    EXPECT_EQ(1, record.Status);
    EXPECT_EQ(L" 2.02% ", record.Opt_PerCentag);
    EXPECT_EQ(L"1.01%", record.VolumeFragmentBefore);
    EXPECT_EQ(L"0", record.FragmentedFiles);
}

TEST(DefragFigures, SpaceBarsAreTruncatedShares) {
    const struct {
        std::uint64_t free;
        std::uint64_t total;
        int freeWidth;
        int usedWidth;
    } cases[] = {
        {25, 100, 37, 112},  // 25 % free: 37 and 112 pixels
        {0, 100, 0, 150},
        {100, 100, 150, 0},
        {0, 0, 0, 0},
        {150, 100, 150, 0},  // more free than total counts as the total
        {1ull << 63, ~0ull, 75, 74},
    };
    for (const auto& c : cases) {
        const SpaceBars bars = SpaceBarWidths(c.free, c.total);
        EXPECT_EQ(c.freeWidth, bars.free) << c.free << " of " << c.total;
        EXPECT_EQ(c.usedWidth, bars.used) << c.free << " of " << c.total;
    }
}

TEST(DefragFigures, DriveNameAndPercentages) {
    EXPECT_EQ(L"(C:) Windows (NTFS) ", OptimizedDriveName(L'C', L"Windows", L"NTFS"));
    EXPECT_EQ(L"(E:)  () ", OptimizedDriveName(L'E', L"", L""));

    const auto statistics = Statistics(200000, 80000);
    const Fragmentation figures = FragmentationOf(2000, *statistics);
    EXPECT_TRUE(figures.available);
    EXPECT_EQ(L"1.00%", figures.volumeText);
    EXPECT_EQ(L"2.50%", figures.dataText);
    for (const auto& empty : {Statistics(0, 80000), Statistics(200000, 0)}) {
        const Fragmentation none = FragmentationOf(2000, *empty);
        EXPECT_FALSE(none.available);
        EXPECT_EQ(kNotEvaluated, none.volumeText);
        EXPECT_EQ(kNotEvaluated, none.dataText);
    }
}

TEST(DefragFigures, StatusAndAbortedText) {
    EXPECT_EQ(2, StatusAfterOptimization(true));
    EXPECT_EQ(3, StatusAfterOptimization(false));
    EXPECT_TRUE(IsAbortedStatusText(L"Optimization aborted"));
    EXPECT_TRUE(IsAbortedStatusText(L"OPTIMIZATION ABORTED"));
    EXPECT_FALSE(IsAbortedStatusText(L"Optimization complete"));
    EXPECT_FALSE(IsAbortedStatusText(L""));
}

TEST(DefragFigures, RecordTakesBothPasses) {
    const OleDateTime now = OleDateFromSystemTime(MakeSystemTime(2026, 3, 4, 10, 30));
    IndiVidualDriveInfo record = MakeDriveRecord(L'C');
    StampOptimization(record, now);
    EXPECT_TRUE(record.IsvalidScanTime);
    EXPECT_TRUE(record.IsvalidDefragTime);
    EXPECT_EQ(FormatDateText(now), record.LastScanDate);
    EXPECT_EQ(record.LastScanDate, record.LastDefragDate);
    EXPECT_EQ(0, memcmp(&record.LastScanSysTime, &record.LastDefragSysTime, sizeof(SYSTEMTIME)));

    const auto statistics = Statistics(200000, 80000);
    RecordFirstPassCounts(record, *statistics);
    EXPECT_EQ(L"1,234,567", record.TotalFiles);
    EXPECT_EQ(L"4,321", record.TotalDirs);
    EXPECT_EQ(L"12", record.FragmentedFiles);
    EXPECT_EQ(L"11", record.DeFragmentedFiles);

    const Fragmentation before = FragmentationOf(4000, *statistics);
    RecordVolumeFragmentation(record, &before, FragmentationOf(1000, *statistics));
    EXPECT_EQ(L"2.00%", record.VolumeFragmentBefore);
    EXPECT_EQ(L"0.50%", record.VolumeFragmentAfter);
    // The final pass changes only the "after" text, and only with a figure.
    RecordVolumeFragmentation(record, nullptr, FragmentationOf(200, *statistics));
    EXPECT_EQ(L"2.00%", record.VolumeFragmentBefore);
    EXPECT_EQ(L"0.10%", record.VolumeFragmentAfter);
    const auto empty = Statistics(0, 0);
    RecordVolumeFragmentation(record, nullptr, FragmentationOf(200, *empty));
    EXPECT_EQ(L"0.10%", record.VolumeFragmentAfter);
}

}  // namespace
