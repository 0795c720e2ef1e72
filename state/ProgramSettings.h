// The settings record: the program-wide settings and the drive history, as held in
// memory between the loads and saves of the registry.
#pragma once

#include <cstdint>
#include <string>

#include "state/DriveRecord.h"

// Path of the settings key below HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsKeyPath[] = L"Software\\Brenlow\\Vantrel";

struct ProgramSettings {
    // Below HKEY_CURRENT_USER; every load and save of this record works under it.
    std::wstring KeyPath = kSettingsKeyPath;
    // Loaded and held; nothing in the program acts on it.
    std::int32_t ScheduleConstantDefrag = 1;
    // Non-zero: minimizing the main window hides it to the notification area.
    std::int32_t MinimizeSetting = 0;
    // Non-zero: closing the main window ends the program; zero: it hides the window.
    std::int32_t CloseSetting = 1;
    // Loaded and held; nothing in the program writes it or acts on it.
    std::wstring ScheduleDriveLettersString;
    // One record per entry of the drive letter array, in the same order.
    DriveHistoryArray DriveHistory;
};
