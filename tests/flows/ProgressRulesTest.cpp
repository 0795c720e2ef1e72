// The progress page's decisions: room for a job, the progress bar position, what
// the end of a pass leads to, the count texts and the job-start stamp.
#include "flows/DiskAnalyzingRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "tests/support/SystemTimes.h"

namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

TEST(JobStartFreeSpace, FivePercentOrTwoGibibytes) {
    struct Case {
        const char* name;
        std::uint64_t free, total;
        bool room;
    };
    const Case cases[] = {
        {"exactly 5 %", 5'000'000, 100'000'000, true},
        {"4.99 % and under 2 GiB", 4'990'000, 100'000'000, false},
        {"truncation: 4.999999 % is 4", 49'999'999, 1'000'000'000, false},
        {"exactly 2 GiB at 1 %", 2 * kGiB, 200 * kGiB, true},
        {"one byte under 2 GiB at 1 %", 2 * kGiB - 1, 200 * kGiB, false},
        {"full drive", 0, 500 * kGiB, false},
        {"empty drive", 100 * kGiB, 100 * kGiB, true},
        {"size 0, little free", 1, 0, false},
        {"size 0, 2 GiB free", 2 * kGiB, 0, true},
        {"huge free", kMax, kMax, true},
        {"free beyond the size", 3, 2, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.room, HasRoomForJob(DiskSpace{c.free, c.total})) << c.name;
    }
}

TEST(JobStartFreeSpace, UnreadableDriveHasNoRoom) {
    EXPECT_FALSE(HasRoomForJob(std::nullopt));
    EXPECT_FALSE(QueryDiskSpace(L'Q').has_value()) << "Wine maps no drive Q:";
    const std::optional<DiskSpace> c = QueryDiskSpace(L'C');
    ASSERT_TRUE(c.has_value());
    EXPECT_GT(c->total, 0u);
}

TEST(ProgressPosition, ScanAndFirstPassFillHalfTheBar) {
    struct Case {
        const char* name;
        std::uint64_t done, total;
        int pass;
        int position;
    };
    const Case cases[] = {
        {"no total keeps the bar empty", 123, 0, 0, 0},
        {"no total in the second pass", 123, 0, 1, 0},
        {"nothing done shows a sliver", 0, 1000, 0, 250},
        {"below two millionths shows a sliver", 1, 1'000'000, 0, 250},
        {"two millionths", 2, 1'000'000, 0, 1},
        {"a quarter", 250, 1000, 0, 125000},
        {"done equals total: half", 1000, 1000, 0, 500000},
        {"done equals a huge total: half", kMax, kMax, 0, 500000},
        {"done equals an odd total: half", 999'999'937, 999'999'937, 0, 500000},
        {"truncated, not rounded", 1, 3, 0, 166666},
        // A service reporting more done than there is: the whole total.
        {"done above total", 5000, 1000, 0, 500000},
        {"largest done of a small total", kMax, 1, 0, 500000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.position, ProgressPosition(c.done, c.total, c.pass)) << c.name;
    }
}

TEST(ProgressPosition, SecondPassFillsTheOtherHalfUpTo950000) {
    EXPECT_EQ(500000, ProgressPosition(0, 1000, 1)) << "no sliver in the second pass";
    EXPECT_EQ(625000, ProgressPosition(250, 1000, 1));
    EXPECT_EQ(950000, ProgressPosition(900, 1000, 1));
    EXPECT_EQ(950000, ProgressPosition(901, 1000, 1)) << "capped";
    EXPECT_EQ(950000, ProgressPosition(1000, 1000, 1)) << "capped: never full";
    EXPECT_EQ(950000, ProgressPosition(kMax, 7, 1));
}

TEST(FinishedPass, LeadsToResultsOrTheSecondPass) {
    struct Case {
        JobMode mode;
        int pass;
        bool stopped;
        FinishedStep step;
    };
    const Case cases[] = {
        {JobMode::Scan, 0, false, FinishedStep::ShowScanResults},
        {JobMode::Scan, 0, true, FinishedStep::ShowScanResults},
        {JobMode::Optimize, 0, false, FinishedStep::StartSecondPass},
        {JobMode::Optimize, 0, true, FinishedStep::OptimizationAborted},
        {JobMode::Optimize, 1, false, FinishedStep::OptimizationComplete},
        {JobMode::Optimize, 1, true, FinishedStep::OptimizationAborted},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.step, StepAfterFinished(c.mode, c.pass, c.stopped))
            << static_cast<int>(c.mode) << " pass " << c.pass << " stopped " << c.stopped;
    }
}

TEST(CountText, GroupsAndClampsServiceCounts) {
    const std::wstring million = GroupedCountText(1234567);
    EXPECT_EQ(L"1,234,567", million);
    EXPECT_EQ(L"0", GroupedCountText(0));
    // Beyond the signed range the text stays the largest positive count.
    EXPECT_EQ(GroupedCountText(std::numeric_limits<std::int64_t>::max()), GroupedCountText(kMax));
    EXPECT_EQ(std::wstring::npos, GroupedCountText(kMax).find(L'-'));
}

TEST(JobStartStamp, WritesTheFirstRecordOfTheDrive) {
    DriveHistoryArray history;
    history.Add(MakeDriveRecord(L'D'));
    history.Add(MakeDriveRecord(L'C'));
    history.Add(MakeDriveRecord(L'C'));

    const SYSTEMTIME when = MakeSystemTime(2009, 1, 5, 15, 4, 0, 0, 1);
    const OleDateTime now = OleDateFromSystemTime(when);
    ASSERT_TRUE(now.Valid);
    ASSERT_TRUE(StampJobStart(history, L'C', now));

    const IndiVidualDriveInfo& stamped = history[1];
    EXPECT_TRUE(stamped.IsvalidScanTime);
    EXPECT_EQ(FormatDateText(now), stamped.LastScanDate);
    EXPECT_EQ(2009, stamped.LastScanSysTime.wYear);
    EXPECT_EQ(1, stamped.LastScanSysTime.wMonth);
    EXPECT_EQ(5, stamped.LastScanSysTime.wDay);
    EXPECT_EQ(15, stamped.LastScanSysTime.wHour);
    EXPECT_EQ(4, stamped.LastScanSysTime.wMinute);
    // The text reads back as the same moment.
    const OleDateTime parsed = ParseDateText(stamped.LastScanDate);
    ASSERT_TRUE(parsed.Valid);
    EXPECT_NEAR(now.Value, parsed.Value, 1.0 / 86400);

    EXPECT_FALSE(history[0].IsvalidScanTime) << "other drives stay as they were";
    EXPECT_FALSE(history[2].IsvalidScanTime) << "only the first record of the drive";
    EXPECT_EQ(L"Scanning Not Yet Performed", history[2].LastScanDate);
}

TEST(JobStartStamp, NoRecordOrNoDateChangesNothing) {
    DriveHistoryArray history;
    history.Add(MakeDriveRecord(L'D'));
    EXPECT_FALSE(StampJobStart(history, L'C', CurrentOleDate()));
    EXPECT_FALSE(StampJobStart(history, L'D', OleDateTime{}));
    EXPECT_FALSE(history[0].IsvalidScanTime);
    EXPECT_EQ(L"Scanning Not Yet Performed", history[0].LastScanDate);
}

}  // namespace
