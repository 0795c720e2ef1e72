// The selection page's decisions without a window: which drives are listed and how
// their entries read, which entry is selected, what the stored history says about a
// drive, and the free-space test before a job.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "flows/OptimizationRoom.h"
#include "flows/SelectDiskListing.h"
#include "flows/SelectDiskStatus.h"
#include "res/resource.h"
#include "tests/support/SystemTimes.h"

namespace {

constexpr std::uint64_t kGiB = 1ull << 30;

struct FakeDrive {
    UINT type = DRIVE_FIXED;
    std::optional<VolumeInfo> volume;
};

// Drives that this machine does not have: removable, network, unreadable, labelled.
class FakeProbe final : public DriveProbe {
  public:
    std::map<wchar_t, FakeDrive> drives;
    DWORD extraBits = 0;
    std::wstring systemDirectory = L"C:\\Windows\\system32";
    std::vector<std::wstring> typeQueries;

    DWORD LogicalDrives() override {
        DWORD mask = extraBits;
        for (const auto& [letter, drive] : drives) {
            mask |= 1u << (letter - L'A');
        }
        return mask;
    }
    UINT DriveType(const std::wstring& root) override {
        typeQueries.push_back(root);
        const auto found = drives.find(root[0]);
        return found == drives.end() ? DRIVE_NO_ROOT_DIR : found->second.type;
    }
    std::optional<VolumeInfo> Volume(const std::wstring& root) override {
        const auto found = drives.find(root[0]);
        return found == drives.end() ? std::nullopt : found->second.volume;
    }
    std::wstring SystemDirectory() override { return systemDirectory; }
    vantrel::engine::MediaKind Media(const std::wstring&) override {
        return vantrel::engine::MediaKind::Unknown;
    }
};

FakeDrive Fixed(const wchar_t* label) {
    return {DRIVE_FIXED, VolumeInfo{label, L"NTFS"}};
}

std::vector<std::wstring> Texts(const std::vector<DriveEntry>& entries) {
    std::vector<std::wstring> texts;
    for (const DriveEntry& entry : entries) {
        texts.push_back(entry.text);
    }
    return texts;
}

TEST(DriveListing, ListsReadableFixedDrivesWithTheirEntryTexts) {
    FakeProbe probe;
    probe.drives[L'A'] = {DRIVE_REMOVABLE, VolumeInfo{L"Floppy", L"FAT"}};
    probe.drives[L'C'] = Fixed(L"Windows");
    probe.drives[L'D'] = Fixed(L"Data");
    probe.drives[L'E'] = {DRIVE_FIXED, std::nullopt};  // volume information unreadable
    probe.drives[L'F'] = {DRIVE_REMOTE, VolumeInfo{L"Share", L"NTFS"}};
    probe.drives[L'G'] = {DRIVE_CDROM, VolumeInfo{L"Disc", L"CDFS"}};
    probe.drives[L'H'] = {DRIVE_RAMDISK, VolumeInfo{L"Ram", L"FAT"}};
    probe.drives[L'K'] = Fixed(L"");
    probe.extraBits = 0xFC000000;  // bits past Z: are no drives

    const std::vector<DriveEntry> entries = ListFixedDrives(probe);
    EXPECT_EQ((std::vector<std::wstring>{L"(C:) Windows (System Drive)", L"(D:)Data", L"(K:)"}),
              Texts(entries));
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(L'C', entries[0].letter);
    EXPECT_TRUE(entries[0].systemDrive);
    EXPECT_FALSE(entries[1].systemDrive);
    EXPECT_EQ(8u, probe.typeQueries.size()) << "one question per drive bit A to Z";
    EXPECT_EQ(L"A:\\", probe.typeQueries.front());
}

TEST(DriveListing, SystemDriveIsAnExactMatchOfTheSystemFolderDrive) {
    const struct {
        const wchar_t* systemDirectory;
        const wchar_t* label;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Windows\\system32", L"", L"(C:)  (System Drive)"},  // two blanks
        {L"c:\\windows\\system32", L"Windows", L"(C:)Windows"},    // case-sensitive
        {L"\\\\server\\share\\system32", L"Windows", L"(C:)Windows"},
        {L"", L"Windows", L"(C:)Windows"},
        {L"D:\\Windows\\system32", L"Windows", L"(C:)Windows"},
    };
    for (const auto& c : cases) {
        FakeProbe probe;
        probe.drives[L'C'] = Fixed(c.label);
        probe.systemDirectory = c.systemDirectory;
        EXPECT_EQ(std::vector<std::wstring>{c.expected}, Texts(ListFixedDrives(probe)))
            << c.systemDirectory;
    }
    EXPECT_EQ(L"C:", DrivePartOf(L"C:\\Windows"));
    EXPECT_EQ(L"", DrivePartOf(L"Windows"));
    EXPECT_EQ(L"", DrivePartOf(L"C"));
}

TEST(DriveListing, EntryToSelectPrefersTheSystemDriveThenThePreviousDrive) {
    const std::vector<DriveEntry> withSystem = {{L'C', L"(C:)  (System Drive)", true},
                                                {L'D', L"(D:)Data", false}};
    const std::vector<DriveEntry> withoutSystem = {
        {L'D', L"(D:)Data", false}, {L'E', L"(E:)Media", false}, {L'F', L"(F:)Backup", false}};
    const struct {
        const std::vector<DriveEntry>* entries;
        wchar_t previousLetter;
        int previousIndex;
        int expected;
    } cases[] = {
        {&withSystem, L'D', 1, 0},  // the system drive wins over the previous choice
        {&withSystem, 0, 0, 0},
        {&withoutSystem, L'E', 0, 1},  // the previous drive at its new place
        {&withoutSystem, L'F', 0, 2},
        {&withoutSystem, L'Q', 2, 2},   // gone: the previous index is kept
        {&withoutSystem, L'Q', 3, -1},  // ... unless it lies beyond the list
        {&withoutSystem, 0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, EntryToSelect(*c.entries, c.previousLetter, c.previousIndex))
            << static_cast<char>(c.previousLetter) << " " << c.previousIndex;
    }
    EXPECT_EQ(-1, EntryToSelect({}, L'C', 0)) << "nothing to select in an empty list";
}

TEST(DriveListing, EntryLetterIsTheSecondCharacterAndOnlyUpperCaseLettersAreDrives) {
    EXPECT_EQ(L'D', DriveLetterOfEntry(L"(D:)Data"));
    EXPECT_EQ(L'C', DriveLetterOfEntry(L"(C:)  (System Drive)"));
    EXPECT_EQ(L'\0', DriveLetterOfEntry(L"("));
    EXPECT_EQ(L'\0', DriveLetterOfEntry(L""));
    EXPECT_TRUE(IsDriveLetter(L'A'));
    EXPECT_TRUE(IsDriveLetter(L'Z'));
    for (wchar_t letter : {L'a', L'1', L'@', L'[', L'\0', L'-'}) {
        EXPECT_FALSE(IsDriveLetter(letter)) << static_cast<int>(letter);
    }
}

TEST(FragmentationValue, DropsTheSuffixAndReadsTheNumber) {
    const struct {
        const wchar_t* text;
        double expected;
    } cases[] = {
        {L" 12.34% ", 12.34},
        {L" 100.00% ", 100.0},
        {L"5.5%%", 5.5},
        {L"Not Optimized Yet", 0.0},
        {L"", 0.0},
        {L"%", 0.0},
        // Nothing is left once the suffix is gone.
        {L"12", 0.0},
        {L" -5.00% ", -5.0},
        {L"nan%%", 0.0},
        {L"1e999% ", 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(c.expected, FragmentationValueOf(c.text)) << c.text;
    }
}

TEST(DriveStatus, EvaluationFollowsStatusAgeAndFragmentation) {
    constexpr UINT F = IDS_STATUS_FRAGMENTED, O = IDS_STATUS_OPTIMIZED, U = IDS_STATUS_UNKNOWN;
    const struct {
        std::int32_t status;
        double value;
        int days;
        std::int32_t code;
        UINT word;
        double fragmentation;
        UINT action;
        bool good;
        bool armed;
    } cases[] = {
        {0, 1.0, 2, 0, F, 1.0, IDS_NO_OPTIMIZATION_DRIVE_OPTIMIZED, true, true},
        {0, 0.0, -1, 0, F, 0.0, IDS_NO_OPTIMIZATION_DRIVE_OPTIMIZED, true, true},
        {0, 1.01, 2, 0, F, 1.01, IDS_OPTIMIZATION_REQUIRED, false, true},
        {0, 10.0, 2, 0, F, 10.0, IDS_OPTIMIZATION_REQUIRED, false, true},
        {0, 10.01, 2, 0, F, 10.01, IDS_OPTIMIZATION_REQUIRED_IMMEDIATELY, false, true},
        {0, 5.0, 7, 0, F, 5.0, IDS_OPTIMIZATION_REQUIRED, false, true},  // 7 days: still valid
        {0, 5.0, 8, 4, U, -1.0, IDS_DRIVE_NOT_SCANNED, false, true},     // 8 days: unknown
        {3, 55.0, 1, 3, O, 0.0, IDS_NO_OPTIMIZATION_DRIVE_OPTIMIZED, true, false},
        {3, 0.0, 9, 4, U, -1.0, IDS_DRIVE_NOT_SCANNED, false, true},
        {4, 5.0, 1, 4, U, -1.0, IDS_DRIVE_NOT_SCANNED, false, true},
        {1, 5.0, 1, 1, F, -1.0, IDS_DRIVE_NOT_SCANNED, false, true},
        {2, 5.0, 1, 2, F, -1.0, IDS_DRIVE_NOT_OPTIMIZED, false, true},
        // Codes the program never writes read like 4 but keep "FRAGMENTED" and the value.
        {7, -3.0, 1, 7, F, -3.0, IDS_SCANNING_REQUIRED_IMMEDIATELY, false, true},
        {7, 0.0, 1, 7, F, 0.0, IDS_NO_OPTIMIZATION_DRIVE_OPTIMIZED, true, true},
        {7, 20.0, 1, 7, F, 20.0, IDS_OPTIMIZATION_REQUIRED_IMMEDIATELY, false, true},
        {-2, -1.0, 1, -2, F, -1.0, IDS_SCANNING_REQUIRED_IMMEDIATELY, false, true},
    };
    for (const auto& c : cases) {
        const DriveStatusView view = EvaluateDriveStatus(c.status, c.value, c.days);
        SCOPED_TRACE(testing::Message() << "status " << c.status << ", value " << c.value << ", "
                                        << c.days << " days");
        EXPECT_EQ(c.code, view.statusCode);
        EXPECT_EQ(c.word, view.statusWord);
        EXPECT_DOUBLE_EQ(c.fragmentation, view.fragmentation);
        EXPECT_EQ(c.action, view.action);
        EXPECT_EQ(c.good, view.actionGood);
        EXPECT_EQ(c.armed, view.linkArmed);

        // On a solid-state drive, whatever its history, no optimization is asked for.
        const DriveStatusView solid = EvaluateDriveStatus(c.status, c.value, c.days, true);
        EXPECT_EQ(c.word, solid.statusWord);
        EXPECT_EQ(static_cast<UINT>(IDS_SSD_ACTION), solid.action);
        EXPECT_TRUE(solid.actionGood);
        EXPECT_FALSE(solid.linkArmed);
    }
}

TEST(DriveStatus, LastStatusLineAndLink) {
    const SYSTEMTIME scanned = MakeSystemTime(2009, 1, 5, 15, 4);
    EXPECT_EQ(L"Mon. Jan 05, 2009. 03:04 PM", FormatScanDate(scanned));
    EXPECT_EQ(L"12 Fragmented Files found on Mon. Jan 05, 2009. 03:04 PM",
              LastStatusLine(false, L"12", scanned));
    EXPECT_EQ(L"No Fragmented Files found on Mon. Jan 05, 2009. 03:04 PM",
              LastStatusLine(false, L"0", scanned));
    EXPECT_EQ(L"Already Defragmented on Mon. Jan 05, 2009. 03:04 PM",
              LastStatusLine(true, L"12", scanned));
    EXPECT_EQ(L"1,234 Fragmented Files found on Invalid DateTime",
              LastStatusLine(false, L"1,234", MakeSystemTime(2009, 13, 5)));
    EXPECT_EQ(L"Invalid DateTime", FormatScanDate(SYSTEMTIME{}));

    EXPECT_EQ(static_cast<UINT>(IDS_START_SCAN_NOW), LinkTextFor(IDS_DRIVE_NOT_SCANNED));
    EXPECT_EQ(static_cast<UINT>(IDS_OPTIMIZE_NOW), LinkTextFor(IDS_OPTIMIZATION_REQUIRED));
    EXPECT_EQ(static_cast<UINT>(IDS_OPTIMIZE_NOW), LinkTextFor(0));
    EXPECT_TRUE(LinkStartsScan(L"drive NOT scanned"));
    EXPECT_FALSE(LinkStartsScan(L"Drive not optimized"));
    EXPECT_FALSE(LinkStartsScan(L""));
}

TEST(OptimizationRoom, AtLeastEightPercentOrFiveGibibytes) {
    const struct {
        std::uint64_t free;
        std::uint64_t total;
        bool room;
    } cases[] = {
        {8, 100, true},                         // exactly 8 %
        {799, 10000, false},                    // 7.99 % and far below 5 GiB
        {4 * kGiB, 4 * kGiB * 100 / 7, false},  // 7 % with 4 GiB
        {5 * kGiB, 500 * kGiB, true},           // exactly 5 GiB at 1 %
        {5 * kGiB - 1, 500 * kGiB, false},
        {6 * kGiB, 200 * kGiB, true},  // 3 % with 6 GiB
        {0, 0, false},                 // a drive of no size
        {~0ull, ~0ull, true},          // no overflow in free x 100
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.room, HasRoomToOptimize(DiskSpace{c.free, c.total}))
            << c.free << " of " << c.total;
    }
    EXPECT_FALSE(HasRoomToOptimize(std::nullopt)) << "unreadable space has no room";
}

}  // namespace
