// What the program knows about one drive between runs. The field names other than
// DriveLetter are also the names of the registry values that hold them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "state/GrowableArray.h"

// Drive status codes. Stored values above 4 are kept as they are; the selection page
// reads them like DriveStatusUnknown.
enum DriveStatus : std::int32_t {
    DriveStatusFragmented = 0,
    DriveStatusNotScanned = 1,           // the user stopped the scan
    DriveStatusScannedNotOptimized = 2,  // the user stopped the optimization
    DriveStatusOptimized = 3,
    DriveStatusUnknown = 4,  // never scanned, or the last scan is too old: scan required
};

// The record of a drive. A default-built record is that of a drive that has never
// been scanned; its two texts of the string table are loaded from the program's
// resources when it is built. Copies are member by member.
struct IndiVidualDriveInfo {
    IndiVidualDriveInfo();

    wchar_t DriveLetter = L' ';
    std::wstring LastScanDate;
    std::wstring LastDefragDate;
    std::wstring TotalFiles;
    std::wstring TotalDirs;
    // Figures are held as the display text the results pages produced.
    std::wstring FragmentedFiles = L"0";
    std::wstring DeFragmentedFiles = L"0";
    std::wstring VolumeFragmentBefore = L"0.00%";
    std::wstring VolumeFragmentAfter = L"0.00%";
    std::int32_t Status = DriveStatusUnknown;
    SYSTEMTIME LastScanSysTime = {};  // local time
    bool IsvalidScanTime = false;
    SYSTEMTIME LastDefragSysTime = {};  // local time
    bool IsvalidDefragTime = false;
    // A percentage text whose last two characters are a unit suffix.
    std::wstring Opt_PerCentag = L"Not Optimized Yet";
};

using DriveLetterArray = GrowableArray<wchar_t>;
using DriveHistoryArray = GrowableArray<IndiVidualDriveInfo>;

// The never-scanned record of drive `letter`.
IndiVidualDriveInfo MakeDriveRecord(wchar_t letter);

// The first record of `history` for drive `letter`; null when there is none, and the
// caller then skips its update.
IndiVidualDriveInfo* FindDriveRecord(DriveHistoryArray& history, wchar_t letter);
const IndiVidualDriveInfo* FindDriveRecord(const DriveHistoryArray& history, wchar_t letter);
