#include "state/DriveRecord.h"

#include "res/resource.h"
#include "ui/format/ResourceString.h"

IndiVidualDriveInfo::IndiVidualDriveInfo()
    : LastScanDate(LoadResourceString(IDS_SCANNING_NOT_PERFORMED)),
      LastDefragDate(LastScanDate),
      TotalFiles(LoadResourceString(IDS_TO_BE_ANALYZED)),
      TotalDirs(TotalFiles) {}

IndiVidualDriveInfo MakeDriveRecord(wchar_t letter) {
    IndiVidualDriveInfo record;
    record.DriveLetter = letter;
    return record;
}

IndiVidualDriveInfo* FindDriveRecord(DriveHistoryArray& history, wchar_t letter) {
    for (IndiVidualDriveInfo& record : history) {
        if (record.DriveLetter == letter) {
            return &record;
        }
    }
    return nullptr;
}

const IndiVidualDriveInfo* FindDriveRecord(const DriveHistoryArray& history, wchar_t letter) {
    for (const IndiVidualDriveInfo& record : history) {
        if (record.DriveLetter == letter) {
            return &record;
        }
    }
    return nullptr;
}
