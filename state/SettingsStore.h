// The program-wide settings under the settings key.
#pragma once

#include "state/ProgramSettings.h"

// Reads "MinimizeSetting", "CloseSetting", "ScheduleConstantDefrag" and
// "ScheduleDriveLettersString" into `settings`; a missing or unreadable value, or a
// missing key, leaves its field as it was. Never creates the key. Called once at
// start-up, after the service binding and before the main window. Returns true.
bool LoadSettings(ProgramSettings& settings);

// Writes "MinimizeSetting", "CloseSetting" and "ScheduleConstantDefrag" as REG_DWORD,
// creating the key when missing. Errors are ignored. Returns true.
bool SaveSettings(const ProgramSettings& settings);
