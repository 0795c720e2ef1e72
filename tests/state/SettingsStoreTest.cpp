// The program-wide settings against the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "state/SettingsStore.h"
#include "tests/state/TestRegistry.h"

namespace {

void ExpectDefaults(const ProgramSettings& settings) {
    EXPECT_EQ(0, settings.MinimizeSetting);
    EXPECT_EQ(1, settings.CloseSetting);
    EXPECT_EQ(1, settings.ScheduleConstantDefrag);
    EXPECT_EQ(L"", settings.ScheduleDriveLettersString);
    EXPECT_TRUE(settings.DriveHistory.empty());
}

TEST(ProgramSettings, StartsWithTheProductKeyAndDefaults) {
    const ProgramSettings settings;
    EXPECT_EQ(L"Software\\Brenlow\\Vantrel", settings.KeyPath);
    ExpectDefaults(settings);
}

TEST(LoadSettings, ACleanProfileKeepsTheDefaultsAndCreatesNothing) {
    TestRegistryPath root;
    ProgramSettings settings = SettingsAt(root.Path());
    EXPECT_TRUE(LoadSettings(settings));
    ExpectDefaults(settings);
    EXPECT_FALSE(KeyExists(root.Path()));
}

TEST(SaveSettings, WritesTheThreeNumbersAndLoadReadsThemBack) {
    const struct {
        std::int32_t minimize, close, schedule;
    } cases[] = {{1, 0, 0}, {0, 1, 1}, {7, -1, 2}};
    for (const auto& c : cases) {
        TestRegistryPath root;
        ProgramSettings saved = SettingsAt(root.Path());
        saved.MinimizeSetting = c.minimize;
        saved.CloseSetting = c.close;
        saved.ScheduleConstantDefrag = c.schedule;
        saved.ScheduleDriveLettersString = L"CD";  // never written
        EXPECT_TRUE(SaveSettings(saved));

        EXPECT_EQ(3u, CountValues(root.Path()));
        for (const wchar_t* name :
             {L"MinimizeSetting", L"CloseSetting", L"ScheduleConstantDefrag"}) {
            const std::optional<StoredValue> stored = ReadStored(root.Path(), name);
            ASSERT_TRUE(stored.has_value()) << testing::PrintToString(std::wstring(name));
            EXPECT_EQ(static_cast<DWORD>(REG_DWORD), stored->type);
            EXPECT_EQ(4u, stored->bytes.size());
        }

        ProgramSettings loaded = SettingsAt(root.Path());
        EXPECT_TRUE(LoadSettings(loaded));
        EXPECT_EQ(c.minimize, loaded.MinimizeSetting);
        EXPECT_EQ(c.close, loaded.CloseSetting);
        EXPECT_EQ(c.schedule, loaded.ScheduleConstantDefrag);
        EXPECT_EQ(L"", loaded.ScheduleDriveLettersString);
    }
}

TEST(LoadSettings, ReadsTheScheduleLettersAsStoredText) {
    const struct {
        DWORD type;
        std::wstring stored;
    } cases[] = {{REG_SZ, L"CDE"}, {REG_EXPAND_SZ, L"%SystemDrive%"}};
    for (const auto& c : cases) {
        TestRegistryPath root;
        PlantString(root.Path(), L"ScheduleDriveLettersString", c.stored, c.type);
        ProgramSettings settings = SettingsAt(root.Path());
        LoadSettings(settings);
        EXPECT_EQ(c.stored, settings.ScheduleDriveLettersString);
    }
}

TEST(LoadSettings, UnusableValuesLeaveTheirFieldsAsTheyWere) {
    TestRegistryPath root;
    const BYTE shortNumber[] = {0, 0};
    PlantValue(root.Path(), L"MinimizeSetting", REG_DWORD, shortNumber, sizeof(shortNumber));
    PlantValue(root.Path(), L"CloseSetting", REG_BINARY, nullptr, 0);
    PlantDword(root.Path(), L"ScheduleConstantDefrag", 0);
    PlantDword(root.Path(), L"ScheduleDriveLettersString", 5);  // not text

    ProgramSettings settings = SettingsAt(root.Path());
    settings.MinimizeSetting = 5;
    settings.CloseSetting = 9;
    settings.ScheduleDriveLettersString = L"XY";
    LoadSettings(settings);
    EXPECT_EQ(5, settings.MinimizeSetting);
    EXPECT_EQ(9, settings.CloseSetting);
    EXPECT_EQ(0, settings.ScheduleConstantDefrag);
    EXPECT_EQ(L"XY", settings.ScheduleDriveLettersString);
}

}  // namespace
