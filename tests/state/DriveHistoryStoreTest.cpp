// The per-drive history against the real registry: round trips, what a clean profile
// and a damaged hive load as, and the exact stored layout.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/SystemTimes.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "state/DriveHistoryStore.h"
#include "tests/state/TestRegistry.h"

namespace {

const wchar_t* const kTextNames[] = {
    L"LastScanDate",    L"LastDefragDate",    L"TotalFiles",           L"TotalDirs",
    L"FragmentedFiles", L"DeFragmentedFiles", L"VolumeFragmentBefore", L"VolumeFragmentAfter",
    L"Opt_PerCentag",
};

bool SameTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return memcmp(&a, &b, sizeof(SYSTEMTIME)) == 0;
}

DriveLetterArray Letters(std::initializer_list<wchar_t> letters) {
    DriveLetterArray array;
    for (const wchar_t letter : letters) {
        array.Add(letter);
    }
    return array;
}

// A record whose every field differs from the initial values and from the other drives.
IndiVidualDriveInfo ScannedRecord(wchar_t letter, int seed) {
    IndiVidualDriveInfo record = MakeDriveRecord(letter);
    const std::wstring n = std::to_wstring(seed);
    record.LastScanDate = L"1/5/2009 3:04:0" + n + L" PM";
    record.LastDefragDate = L"1/6/2009 8:00:0" + n + L" AM";
    record.TotalFiles = L"123,45" + n;
    record.TotalDirs = L"6,78" + n;
    record.FragmentedFiles = L"1" + n;
    record.DeFragmentedFiles = L"9" + n;
    record.VolumeFragmentBefore = L"12.3" + n + L"%";
    record.VolumeFragmentAfter = L"0.0" + n + L"%";
    record.Status = seed % 4;
    record.LastScanSysTime = MakeSystemTime(2009, 1, 5, 15, 4, static_cast<WORD>(seed), 250, 1);
    record.IsvalidScanTime = true;
    record.LastDefragSysTime = MakeSystemTime(2009, 1, 6, 8, 0, static_cast<WORD>(seed), 0, 2);
    record.IsvalidDefragTime = seed % 2 == 0;
    record.Opt_PerCentag = L" 4.2" + n + L"% ";
    return record;
}

void ExpectSameRecord(const IndiVidualDriveInfo& expected, const IndiVidualDriveInfo& actual) {
    EXPECT_EQ(expected.DriveLetter, actual.DriveLetter);
    EXPECT_EQ(expected.LastScanDate, actual.LastScanDate);
    EXPECT_EQ(expected.LastDefragDate, actual.LastDefragDate);
    EXPECT_EQ(expected.TotalFiles, actual.TotalFiles);
    EXPECT_EQ(expected.TotalDirs, actual.TotalDirs);
    EXPECT_EQ(expected.FragmentedFiles, actual.FragmentedFiles);
    EXPECT_EQ(expected.DeFragmentedFiles, actual.DeFragmentedFiles);
    EXPECT_EQ(expected.VolumeFragmentBefore, actual.VolumeFragmentBefore);
    EXPECT_EQ(expected.VolumeFragmentAfter, actual.VolumeFragmentAfter);
    EXPECT_EQ(expected.Status, actual.Status);
    EXPECT_TRUE(SameTime(expected.LastScanSysTime, actual.LastScanSysTime));
    EXPECT_EQ(expected.IsvalidScanTime, actual.IsvalidScanTime);
    EXPECT_TRUE(SameTime(expected.LastDefragSysTime, actual.LastDefragSysTime));
    EXPECT_EQ(expected.IsvalidDefragTime, actual.IsvalidDefragTime);
    EXPECT_EQ(expected.Opt_PerCentag, actual.Opt_PerCentag);
}

TEST(LoadDriveHistory, ACleanProfileGivesNeverScannedDrivesAndEmptySubkeys) {
    TestRegistryPath root;
    ProgramSettings settings = SettingsAt(root.Path());
    EXPECT_TRUE(LoadDriveHistory(settings, Letters({L'C', L'D', L'F'})));

    ASSERT_EQ(3u, settings.DriveHistory.size());
    const wchar_t expectedLetters[] = {L'C', L'D', L'F'};
    for (std::size_t i = 0; i < 3; ++i) {
        const IndiVidualDriveInfo& record = settings.DriveHistory[i];
        ExpectSameRecord(MakeDriveRecord(expectedLetters[i]), record);
        // Reading the times made the subkey; nothing is stored until the first save.
        EXPECT_TRUE(KeyExists(root.Drive(expectedLetters[i])));
        EXPECT_EQ(0u, CountValues(root.Drive(expectedLetters[i])));
    }
}

TEST(LoadDriveHistory, RebuildsTheArrayForTheCurrentLetters) {
    TestRegistryPath root;
    ProgramSettings settings = SettingsAt(root.Path());
    LoadDriveHistory(settings, Letters({L'C', L'D'}));
    LoadDriveHistory(settings, Letters({L'E'}));
    ASSERT_EQ(1u, settings.DriveHistory.size());
    EXPECT_EQ(L'E', settings.DriveHistory[0].DriveLetter);
}

TEST(SaveDriveHistory, RoundTripsEveryFieldOfEveryDrive) {
    TestRegistryPath root;
    ProgramSettings saved = SettingsAt(root.Path());
    int seed = 0;
    for (const wchar_t letter : {L'C', L'D', L'E', L'Z'}) {
        saved.DriveHistory.Add(ScannedRecord(letter, ++seed));
    }
    saved.DriveHistory[3].Status = 7;  // another version's code is kept as it is
    EXPECT_TRUE(SaveDriveHistory(saved));

    ProgramSettings loaded = SettingsAt(root.Path());
    LoadDriveHistory(loaded, Letters({L'Z', L'C', L'D', L'E'}));
    ASSERT_EQ(4u, loaded.DriveHistory.size());
    for (const IndiVidualDriveInfo& record : loaded.DriveHistory) {
        const IndiVidualDriveInfo* expected =
            FindDriveRecord(saved.DriveHistory, record.DriveLetter);
        ASSERT_NE(nullptr, expected);
        ExpectSameRecord(*expected, record);
    }
}

TEST(SaveDriveHistory, WritesEveryValueOfEveryDriveInItsStoredForm) {
    TestRegistryPath root;
    ProgramSettings settings = SettingsAt(root.Path());
    settings.DriveHistory.Add(ScannedRecord(L'C', 1));
    settings.DriveHistory.Add(MakeDriveRecord(L'D'));  // untouched drives are written too
    SaveDriveHistory(settings);

    for (const IndiVidualDriveInfo& record : settings.DriveHistory) {
        const std::wstring drive = root.Drive(record.DriveLetter);
        EXPECT_EQ(14u, CountValues(drive));
        for (const wchar_t* name : kTextNames) {
            const std::optional<StoredValue> stored = ReadStored(drive, name);
            ASSERT_TRUE(stored.has_value()) << testing::PrintToString(std::wstring(name));
            EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored->type);
            const std::size_t characters = stored->bytes.size() / 2;
            ASSERT_GE(characters, 1u);
            EXPECT_EQ(0, stored->bytes[stored->bytes.size() - 1] |
                             stored->bytes[stored->bytes.size() - 2]);
        }
        for (const wchar_t* name : {L"Status", L"IsvalidScanTime", L"IsvalidDefragTime"}) {
            const std::optional<StoredValue> stored = ReadStored(drive, name);
            ASSERT_TRUE(stored.has_value());
            EXPECT_EQ(static_cast<DWORD>(REG_DWORD), stored->type);
            EXPECT_EQ(4u, stored->bytes.size());
        }
        for (const wchar_t* name : {L"LastScanSysTime", L"LastDefragSysTime"}) {
            const std::optional<StoredValue> stored = ReadStored(drive, name);
            ASSERT_TRUE(stored.has_value());
            EXPECT_EQ(static_cast<DWORD>(REG_BINARY), stored->type);
            EXPECT_EQ(16u, stored->bytes.size());
        }
    }
    const std::optional<StoredValue> percent = ReadStored(root.Drive(L'C'), L"Opt_PerCentag");
    ASSERT_TRUE(percent.has_value());
    EXPECT_EQ((std::wstring(L" 4.21% ").size() + 1) * 2, percent->bytes.size());
    const std::optional<StoredValue> valid = ReadStored(root.Drive(L'C'), L"IsvalidDefragTime");
    ASSERT_TRUE(valid.has_value());
    EXPECT_EQ((std::vector<BYTE>{0, 0, 0, 0}), valid->bytes);
    const std::optional<StoredValue> scanTime = ReadStored(root.Drive(L'C'), L"LastScanSysTime");
    ASSERT_TRUE(scanTime.has_value());
    // Year 2009, January, Monday, 5th, 15:04:01.250, each field little-endian.
    EXPECT_EQ((std::vector<BYTE>{0xD9, 0x07, 1, 0, 1, 0, 5, 0, 15, 0, 4, 0, 1, 0, 0xFA, 0}),
              scanTime->bytes);
}

TEST(LoadDriveHistory, AMissingValidityFlagOverridesAStoredTime) {
    TestRegistryPath root;
    const SYSTEMTIME stored = MakeSystemTime(2020, 2, 29, 23, 59, 59, 999, 6);
    PlantValue(root.Drive(L'C'), L"LastScanSysTime", REG_BINARY, &stored, sizeof(stored));
    PlantValue(root.Drive(L'C'), L"LastDefragSysTime", REG_BINARY, &stored, sizeof(stored));
    PlantDword(root.Drive(L'C'), L"IsvalidDefragTime", 1);

    ProgramSettings settings = SettingsAt(root.Path());
    LoadDriveHistory(settings, Letters({L'C'}));
    const IndiVidualDriveInfo& record = settings.DriveHistory[0];
    EXPECT_FALSE(record.IsvalidScanTime);
    EXPECT_TRUE(SameTime(stored, record.LastScanSysTime));
    EXPECT_TRUE(record.IsvalidDefragTime);
    EXPECT_TRUE(SameTime(stored, record.LastDefragSysTime));
}

TEST(LoadDriveHistory, DamagedTimesAreNoTimeWhateverTheFlagSays) {
    const SYSTEMTIME good = MakeSystemTime(2021, 6, 10, 9, 30, 0, 0, 4);
    std::vector<BYTE> goodBytes(16);
    memcpy(goodBytes.data(), &good, 16);
    auto withField = [&](std::size_t field, WORD value) {
        std::vector<BYTE> bytes = goodBytes;
        memcpy(bytes.data() + field * 2, &value, 2);
        return bytes;
    };
    std::vector<BYTE> longer = goodBytes;
    longer.push_back(0);
    const struct {
        const char* name;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"all zero", std::vector<BYTE>(16, 0)},
        {"15 bytes", std::vector<BYTE>(goodBytes.begin(), goodBytes.end() - 1)},
        {"17 bytes", longer},
        {"empty", {}},
        {"month 13", withField(1, 13)},
        {"day 0", withField(3, 0)},
        {"hour 25", withField(4, 25)},
        {"31 June", withField(3, 31)},
    };
    for (const auto& c : cases) {
        TestRegistryPath root;
        PlantValue(root.Drive(L'C'), L"LastScanSysTime", REG_BINARY, c.bytes.data(),
                   c.bytes.size());
        PlantDword(root.Drive(L'C'), L"IsvalidScanTime", 1);

        ProgramSettings settings = SettingsAt(root.Path());
        LoadDriveHistory(settings, Letters({L'C'}));
        const IndiVidualDriveInfo& record = settings.DriveHistory[0];
        EXPECT_FALSE(record.IsvalidScanTime) << c.name;
        EXPECT_TRUE(SameTime(SYSTEMTIME{}, record.LastScanSysTime)) << c.name;
    }
}

TEST(LoadDriveHistory, DamagedValuesKeepTheInitialFieldValues) {
    TestRegistryPath root;
    const std::wstring drive = root.Drive(L'C');
    const std::wstring unterminated = L"1/5/2009";
    PlantValue(drive, L"LastScanDate", REG_SZ, unterminated.data(), unterminated.size() * 2);
    const BYTE odd[] = {'4', 0, '2', 0, 0};
    PlantValue(drive, L"TotalFiles", REG_SZ, odd, sizeof(odd));
    PlantString(drive, L"TotalDirs", std::wstring(100000, L'9'));
    PlantDword(drive, L"FragmentedFiles", 12);  // a number where text belongs
    PlantString(drive, L"VolumeFragmentBefore", L"%PERCENT%", REG_EXPAND_SZ);
    const BYTE shortStatus[] = {1, 0};
    PlantValue(drive, L"Status", REG_DWORD, shortStatus, sizeof(shortStatus));
    const BYTE shortFlag[] = {1};
    PlantValue(drive, L"IsvalidDefragTime", REG_DWORD, shortFlag, sizeof(shortFlag));

    ProgramSettings settings = SettingsAt(root.Path());
    LoadDriveHistory(settings, Letters({L'C'}));
    const IndiVidualDriveInfo& record = settings.DriveHistory[0];
    EXPECT_EQ(L"1/5/2009", record.LastScanDate);
    EXPECT_EQ(L"42", record.TotalFiles);
    EXPECT_EQ(L"To be analyzed", record.TotalDirs);
    EXPECT_EQ(L"0", record.FragmentedFiles);
    EXPECT_EQ(L"%PERCENT%", record.VolumeFragmentBefore);
    EXPECT_EQ(4, record.Status);
    EXPECT_FALSE(record.IsvalidDefragTime);
}

TEST(DriveTime, RoundTripsAndCreatesTheSubkeyWhenRead) {
    TestRegistryPath root;
    SYSTEMTIME time = MakeSystemTime(1999, 12, 31, 23, 59, 58, 7, 5);
    EXPECT_FALSE(KeyExists(root.Drive(L'Q')));
    EXPECT_FALSE(LoadDriveTime(root.Path(), L'Q', DriveTime::Scan, time));
    EXPECT_TRUE(KeyExists(root.Drive(L'Q')));
    EXPECT_TRUE(SameTime(MakeSystemTime(1999, 12, 31, 23, 59, 58, 7, 5), time));  // left as it was

    const SYSTEMTIME scan = MakeSystemTime(2010, 3, 4, 5, 6, 7, 8, 4);
    const SYSTEMTIME defrag = MakeSystemTime(2011, 4, 5, 6, 7, 8, 9, 2);
    EXPECT_TRUE(SaveDriveTime(root.Path(), L'Q', DriveTime::Scan, scan));
    EXPECT_TRUE(SaveDriveTime(root.Path(), L'Q', DriveTime::Defrag, defrag));
    SYSTEMTIME loaded = {};
    EXPECT_TRUE(LoadDriveTime(root.Path(), L'Q', DriveTime::Scan, loaded));
    EXPECT_TRUE(SameTime(scan, loaded));
    EXPECT_TRUE(LoadDriveTime(root.Path(), L'Q', DriveTime::Defrag, loaded));
    EXPECT_TRUE(SameTime(defrag, loaded));
}

TEST(DriveTime, FailsWhenTheSubkeyCannotBeMade) {
    TestRegistryPath root;
    // A key name above the registry's limit of 255 characters can be neither opened nor made.
    const std::wstring impossible = root.Path() + L"\\" + std::wstring(300, L'k');
    SYSTEMTIME time = {};
    EXPECT_FALSE(LoadDriveTime(impossible, L'C', DriveTime::Scan, time));
    EXPECT_FALSE(SaveDriveTime(impossible, L'C', DriveTime::Scan, time));
}

}  // namespace
