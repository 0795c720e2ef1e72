// The drive record, its lookup and the growth of the drive arrays.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

#include "state/DriveItems.h"
#include "state/DriveRecord.h"

namespace {

void ExpectNeverScanned(const IndiVidualDriveInfo& record) {
    const SYSTEMTIME zero = {};
    EXPECT_EQ(L"Scanning Not Yet Performed", record.LastScanDate);
    EXPECT_EQ(L"Scanning Not Yet Performed", record.LastDefragDate);
    EXPECT_EQ(L"To be analyzed", record.TotalFiles);
    EXPECT_EQ(L"To be analyzed", record.TotalDirs);
    EXPECT_EQ(L"0", record.FragmentedFiles);
    EXPECT_EQ(L"0", record.DeFragmentedFiles);
    EXPECT_EQ(L"0.00%", record.VolumeFragmentBefore);
    EXPECT_EQ(L"0.00%", record.VolumeFragmentAfter);
    EXPECT_EQ(4, record.Status);
    EXPECT_EQ(0, memcmp(&record.LastScanSysTime, &zero, sizeof(SYSTEMTIME)));
    EXPECT_EQ(0, memcmp(&record.LastDefragSysTime, &zero, sizeof(SYSTEMTIME)));
    EXPECT_FALSE(record.IsvalidScanTime);
    EXPECT_FALSE(record.IsvalidDefragTime);
    EXPECT_EQ(L"Not Optimized Yet", record.Opt_PerCentag);
}

TEST(IndiVidualDriveInfo, ANewRecordIsThatOfANeverScannedDrive) {
    const IndiVidualDriveInfo blank;
    EXPECT_EQ(L' ', blank.DriveLetter);
    ExpectNeverScanned(blank);

    const IndiVidualDriveInfo d = MakeDriveRecord(L'D');
    EXPECT_EQ(L'D', d.DriveLetter);
    ExpectNeverScanned(d);
}

TEST(FindDriveRecord, FindsTheFirstRecordOfTheLetter) {
    DriveHistoryArray history;
    for (const wchar_t letter : {L'C', L'D', L'C'}) {
        history.Add(MakeDriveRecord(letter));
    }
    history[0].Status = 3;
    history[2].Status = 0;

    IndiVidualDriveInfo* c = FindDriveRecord(history, L'C');
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(&history[0], c);
    EXPECT_EQ(&history[1], FindDriveRecord(history, L'D'));
    EXPECT_EQ(nullptr, FindDriveRecord(history, L'E'));
    EXPECT_EQ(nullptr, FindDriveRecord(history, L'\0'));

    const DriveHistoryArray& readOnly = history;
    EXPECT_EQ(&history[1], FindDriveRecord(readOnly, L'D'));
    EXPECT_EQ(nullptr, FindDriveRecord(DriveHistoryArray{}, L'C'));
}

TEST(GrownCapacity, GrowsByAnEighthClampedOrToTheRequest) {
    const struct {
        std::size_t size, capacity, requested, expected;
    } cases[] = {
        {0, 0, 1, 4},              // at least 4
        {3, 4, 4, 4},              // room left: no growth
        {4, 4, 5, 8},              // 4/8 = 0, clamped up to 4
        {40, 40, 41, 45},          // 40/8 = 5
        {100, 100, 101, 112},      // 100/8 = 12
        {8192, 8192, 8193, 9216},  // 1024, the largest step
        {20000, 20000, 20001, 21024},
        {4, 4, 50, 50},  // the request is larger than the step
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, GrownCapacity(c.size, c.capacity, c.requested))
            << c.size << "/" << c.capacity << " -> " << c.requested;
    }
}

TEST(GrowableArray, CapacityFollowsTheGrowthSteps) {
    DriveLetterArray letters;
    const struct {
        std::size_t count;
        std::size_t capacity;
    } steps[] = {{1, 4}, {4, 4}, {5, 8}, {9, 12}, {40, 40}, {41, 45}};
    std::size_t added = 0;
    for (const auto& step : steps) {
        while (added < step.count) {
            letters.Add(static_cast<wchar_t>(L'A' + added % 26));
            ++added;
        }
        EXPECT_EQ(step.capacity, letters.capacity()) << step.count;
    }
    EXPECT_EQ(L'A', letters[0]);
    EXPECT_EQ(L'O', letters[40]);
}

TEST(DriveItems, StartWithNoDriveSelected) {
    const DriveItems items;
    EXPECT_TRUE(items.DriveLetters.empty());
    EXPECT_EQ(L'\0', items.CurrentDriveLetter);
}

}  // namespace
