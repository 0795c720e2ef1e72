// The per-drive history: one subkey per drive letter below the settings key.
#pragma once

#include <windows.h>

#include <string>

#include "state/DriveRecord.h"
#include "state/ProgramSettings.h"

enum class DriveTime {
    Scan,    // "LastScanSysTime"
    Defrag,  // "LastDefragSysTime"
};

// Rebuilds settings.DriveHistory as one record per letter of `letters`, in order, each
// filled from its drive subkey; what is missing or unusable keeps the record's initial
// value. Reading the times creates a missing drive subkey. Returns true.
bool LoadDriveHistory(ProgramSettings& settings, const DriveLetterArray& letters);

// Writes every record of settings.DriveHistory to its drive subkey, creating it when
// missing: all texts, the status, both validity flags and both times. Returns true.
bool SaveDriveHistory(const ProgramSettings& settings);

// Reads the selected time of drive `letter` below `keyPath`; opens the drive subkey for
// writing, so a missing subkey is created. True with `time` set only when the value
// holds exactly 16 bytes forming a plausible calendar time; otherwise `time` is left
// as it was.
bool LoadDriveTime(const std::wstring& keyPath, wchar_t letter, DriveTime which, SYSTEMTIME& time);

// Writes the 16 bytes of `time` as REG_BINARY under the selected name; false when the
// drive subkey can neither be opened nor created.
bool SaveDriveTime(const std::wstring& keyPath, wchar_t letter, DriveTime which,
                   const SYSTEMTIME& time);

// The path of drive `letter`'s subkey: the settings key path, a backslash, the letter.
std::wstring DriveSubkeyPath(const std::wstring& keyPath, wchar_t letter);
