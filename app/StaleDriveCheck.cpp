#include "app/StaleDriveCheck.h"

#include <windows.h>

#include "res/resource.h"
#include "ui/format/Format.h"
#include "ui/format/StringPool.h"
#include "ui/format/TimeConvert.h"

namespace {

// The date of the last scan: the stored time when it is valid, else the text
// (written in the user's locale, so it may not parse after a locale change).
OleDateTime LastScanDate(const IndiVidualDriveInfo& drive) {
    if (drive.IsvalidScanTime) {
        const OleDateTime stored = OleDateFromSystemTime(drive.LastScanSysTime);
        if (stored.Valid) {
            return stored;
        }
    }
    return ParseDateText(drive.LastScanDate);
}

bool IsStale(const IndiVidualDriveInfo& drive, std::int64_t nowSeconds) {
    const OleDateTime date = LastScanDate(drive);
    if (date.Valid) {
        int days = 0;
        FormatDaysAgoAt(date, nowSeconds, &days);
        return days > kStaleAfterDays;
    }
    return lstrcmpiW(drive.LastScanDate.c_str(),
                     LoadPooledString(IDS_SCANNING_NOT_PERFORMED).c_str()) == 0;
}

}  // namespace

std::wstring StaleDriveList(const DriveHistoryArray& history, std::int64_t nowSeconds) {
    std::wstring list;
    for (const IndiVidualDriveInfo& drive : history) {
        if (!IsStale(drive, nowSeconds)) {
            continue;
        }
        if (!list.empty()) {
            list += L',';
        }
        list += drive.DriveLetter;
        list += L":\\";
    }
    return list;
}
