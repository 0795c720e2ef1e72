#include "app/StaleDriveCheck.h"

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "ui/format/TimeConvert.h"

namespace {

// A fixed "now": 2026-03-15 10:30 local time.
std::int64_t Now() {
    SYSTEMTIME now = {2026, 3, 0, 15, 10, 30, 0, 0};
    return *LocalSystemTimeToUnixSeconds(now);
}

// The last-scan text as the results pages store it: the OLE date text of the user's
// locale, `days` before Now at the same hour.
std::wstring ScanTextDaysAgo(int days) {
    SYSTEMTIME now = {2026, 3, 0, 15, 10, 30, 0, 0};
    DATE date = 0;
    SystemTimeToVariantTime(&now, &date);
    date -= days;
    BSTR text = nullptr;
    EXPECT_EQ(S_OK, VarBstrFromDate(date, LOCALE_USER_DEFAULT, 0, &text));
    std::wstring result(text);
    SysFreeString(text);
    return result;
}

DriveHistoryArray Drives(std::initializer_list<std::pair<wchar_t, std::wstring>> drives) {
    DriveHistoryArray history;
    for (const auto& [letter, text] : drives) {
        IndiVidualDriveInfo record = MakeDriveRecord(letter);
        record.LastScanDate = text;
        history.Add(record);
    }
    return history;
}

TEST(StaleDriveCheck, ListsDrivesOlderThanSevenDaysInArrayOrder) {
    const std::wstring neverScanned = MakeDriveRecord(L'C').LastScanDate;
    struct Case {
        const char* what;
        DriveHistoryArray history;
        std::wstring expected;
    };
    const Case cases[] = {
        {"all fresh", Drives({{L'C', ScanTextDaysAgo(0)}, {L'D', ScanTextDaysAgo(3)}}), L""},
        {"exactly 7 days is not stale", Drives({{L'C', ScanTextDaysAgo(7)}}), L""},
        {"8 days is stale", Drives({{L'C', ScanTextDaysAgo(8)}}), L"C:\\"},
        {"some stale, joined by one comma, none after the last",
         Drives(
             {{L'C', ScanTextDaysAgo(30)}, {L'D', ScanTextDaysAgo(9)}, {L'E', ScanTextDaysAgo(1)}}),
         L"C:\\,D:\\"},
        {"never scanned", Drives({{L'C', ScanTextDaysAgo(1)}, {L'E', neverScanned}}), L"E:\\"},
        {"never scanned, in another letter case", Drives({{L'F', L"SCANNING NOT YET PERFORMED"}}),
         L"F:\\"},
        {"unparsable text is not stale", Drives({{L'C', L"garbage"}, {L'D', L""}}), L""},
        {"a date in the future is not stale", Drives({{L'C', ScanTextDaysAgo(-5)}}), L""},
        {"no drives", Drives({}), L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, StaleDriveList(c.history, Now())) << c.what;
    }
}

// The stored scan time decides when it is valid: a text written in another locale
// (which no longer parses) does not hide a stale drive, and a valid time wins over
// whatever the text says.
TEST(StaleDriveCheck, TheStoredScanTimeDecidesWhenItIsValid) {
    auto drive = [](wchar_t letter, int daysAgo, const std::wstring& text, bool valid) {
        IndiVidualDriveInfo record = MakeDriveRecord(letter);
        SYSTEMTIME scanned = {2026, 3, 0, 15, 10, 30, 0, 0};
        DATE date = 0;
        SystemTimeToVariantTime(&scanned, &date);
        date -= daysAgo;
        VariantTimeToSystemTime(date, &scanned);
        record.LastScanSysTime = scanned;
        record.IsvalidScanTime = valid;
        record.LastScanDate = text;
        return record;
    };
    DriveHistoryArray history;
    history.Add(drive(L'C', 8, L"08.03.2026 10:30:00 (another locale)", true));
    history.Add(drive(L'D', 1, ScanTextDaysAgo(20), true));
    history.Add(drive(L'E', 1, ScanTextDaysAgo(20), false));  // no valid time: the text
    history.Add(drive(L'F', 30, L"", true));
    EXPECT_EQ(L"C:\\,E:\\,F:\\", StaleDriveList(history, Now()));
}

}  // namespace
