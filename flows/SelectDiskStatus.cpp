#include "flows/SelectDiskStatus.h"

#include <cmath>
#include <cwchar>
#include <ctime>
#include <optional>

#include "res/resource.h"
#include "ui/format/StringPool.h"
#include "ui/format/TimeConvert.h"

namespace {

constexpr double kOptimizedUpTo = 1.0;
constexpr double kRequiredUpTo = 10.0;

}  // namespace

double FragmentationValueOf(const std::wstring& percentText) {
    if (percentText.size() <= 2) {
        return 0.0;
    }
    const std::wstring number = percentText.substr(0, percentText.size() - 2);
    wchar_t* end = nullptr;
    const double value = std::wcstod(number.c_str(), &end);
    if (end == number.c_str() || !std::isfinite(value)) {
        return 0.0;
    }
    return value;
}

DriveStatusView EvaluateDriveStatus(std::int32_t statusCode, double fragmentation,
                                    int daysSinceScan, bool solidState) {
    DriveStatusView view;
    view.statusCode = daysSinceScan > kScanValidDays ? DriveStatusUnknown : statusCode;
    view.fragmentation = fragmentation;
    switch (view.statusCode) {
        case DriveStatusFragmented:
            view.statusWord = IDS_STATUS_FRAGMENTED;
            break;
        case DriveStatusOptimized:
            view.statusWord = IDS_STATUS_OPTIMIZED;
            view.fragmentation = 0.0;
            break;
        case DriveStatusUnknown:
            view.statusWord = IDS_STATUS_UNKNOWN;
            view.action = IDS_SCANNING_REQUIRED_IMMEDIATELY;
            view.fragmentation = -1.0;
            break;
        case DriveStatusNotScanned:
        case DriveStatusScannedNotOptimized:
            view.statusWord = IDS_STATUS_FRAGMENTED;
            view.fragmentation = -1.0;
            break;
        default:  // a stored code the program never writes
            view.statusWord = IDS_STATUS_FRAGMENTED;
            view.action = IDS_SCANNING_REQUIRED_IMMEDIATELY;
            break;
    }

    const double x = view.fragmentation;
    if (x < 0.0) {
        if (view.statusCode == DriveStatusNotScanned || view.statusCode == DriveStatusUnknown) {
            view.action = IDS_DRIVE_NOT_SCANNED;
        } else if (view.statusCode == DriveStatusScannedNotOptimized) {
            view.action = IDS_DRIVE_NOT_OPTIMIZED;
        }
    } else if (x <= kOptimizedUpTo) {
        view.action = IDS_NO_OPTIMIZATION_DRIVE_OPTIMIZED;
        view.actionGood = true;
    } else if (x <= kRequiredUpTo) {
        view.action = IDS_OPTIMIZATION_REQUIRED;
    } else {
        view.action = IDS_OPTIMIZATION_REQUIRED_IMMEDIATELY;
    }
    view.linkArmed = view.statusWord != IDS_STATUS_OPTIMIZED;
    if (solidState) {
        view.action = IDS_SSD_ACTION;
        view.actionGood = true;
        view.linkArmed = false;
    }
    return view;
}

std::wstring FormatScanDate(const SYSTEMTIME& time) {
    // Through the OLE date, which also gives the day of the week.
    const std::optional<SYSTEMTIME> fields = SystemTimeFromOleDate(OleDateFromSystemTime(time));
    if (!fields) {
        return LoadPooledString(IDS_INVALID_DATETIME);
    }
    std::tm tm = {};
    tm.tm_year = fields->wYear - 1900;
    tm.tm_mon = fields->wMonth - 1;
    tm.tm_mday = fields->wDay;
    tm.tm_hour = fields->wHour;
    tm.tm_min = fields->wMinute;
    tm.tm_sec = fields->wSecond;
    tm.tm_wday = fields->wDayOfWeek;
    wchar_t text[128] = {};
    if (std::wcsftime(text, std::size(text), L"%a. %b %d, %Y. %I:%M %p", &tm) == 0) {
        return LoadPooledString(IDS_INVALID_DATETIME);
    }
    return text;
}

std::wstring LastStatusLine(bool optimized, const std::wstring& fragmentedCountText,
                            const SYSTEMTIME& scanTime) {
    std::wstring line;
    if (optimized) {
        line = LoadPooledString(IDS_ALREADY_DEFRAGMENTED);
    } else if (fragmentedCountText == L"0") {
        line = LoadPooledString(IDS_NO_PREFIX) + LoadPooledString(IDS_FRAGMENTED_FILES_FOUND);
    } else {
        line = fragmentedCountText + L" " + LoadPooledString(IDS_FRAGMENTED_FILES_FOUND);
    }
    return line + LoadPooledString(IDS_ON) + FormatScanDate(scanTime);
}

UINT LinkTextFor(UINT action) {
    return action == IDS_DRIVE_NOT_SCANNED ? IDS_START_SCAN_NOW : IDS_OPTIMIZE_NOW;
}

bool LinkStartsScan(const std::wstring& actionText) {
    return lstrcmpiW(actionText.c_str(), LoadPooledString(IDS_DRIVE_NOT_SCANNED).c_str()) == 0;
}
