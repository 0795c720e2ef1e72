#include "app/StaleDriveCheck.h"

#include <windows.h>
#include <oleauto.h>

#include "res/resource.h"
#include "ui/Format.h"
#include "ui/StringPool.h"

namespace {

bool IsStale(const std::wstring& lastScanText, std::int64_t nowSeconds) {
    const bool neverScanned =
        lstrcmpiW(lastScanText.c_str(), LoadPooledString(IDS_SCANNING_NOT_PERFORMED).c_str()) == 0;
    OleDateTime date;
    // VarDateFromStr wants a writable string.
    std::wstring text = lastScanText;
    if (SUCCEEDED(VarDateFromStr(text.data(), LOCALE_USER_DEFAULT, 0, &date.Value))) {
        date.Valid = true;
        int days = 0;
        FormatDaysAgoAt(date, nowSeconds, &days);
        return days > kStaleAfterDays;
    }
    return neverScanned;
}

}  // namespace

std::wstring StaleDriveList(const DriveHistoryArray& history, std::int64_t nowSeconds) {
    std::wstring list;
    for (const IndiVidualDriveInfo& drive : history) {
        if (!IsStale(drive.LastScanDate, nowSeconds)) {
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
