#include "ui/format/Format.h"

#include <cstdio>
#include <cwchar>

#include "res/resource.h"
#include "ui/format/StringPool.h"

namespace {

constexpr std::uint64_t kKiB = 1ull << 10;
constexpr std::uint64_t kMiB = 1ull << 20;
constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint64_t kTiB = 1ull << 40;

constexpr std::int64_t kSecondsPerHour = 3600;
constexpr std::int64_t kSecondsPerDay = 86400;

// Reads one locale text; an unreadable setting yields `fallback`.
template <std::size_t N>
void ReadLocaleText(LCTYPE type, wchar_t (&buffer)[N], const wchar_t* fallback) {
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, static_cast<int>(N)) == 0) {
        wcsncpy(buffer, fallback, N - 1);
        buffer[N - 1] = L'\0';
    }
}

UINT ReadLocaleNumber(LCTYPE type, UINT fallback) {
    wchar_t text[2] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 2) == 0) {
        return fallback;
    }
    return static_cast<UINT>(_wtoi(text));
}

int DaysBetween(std::int64_t then, std::int64_t now, int thenHour, int nowHour) {
    if (now == then) {
        return 0;
    }
    const std::int64_t elapsed = now - then;
    std::int64_t days = elapsed / kSecondsPerDay;
    // A date yesterday evening seen this morning is less than 24 hours old but lies on
    // the previous calendar day.
    if (nowHour <= thenHour && elapsed / kSecondsPerHour - 24 * days > 0) {
        ++days;
    }
    return static_cast<int>(days);
}

}  // namespace

int FormatByteSize(std::uint64_t bytes, wchar_t* buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) {
        return 1;
    }
    const double count = static_cast<double>(bytes);
    if (bytes >= kTiB) {
        _snwprintf_s(buffer, capacity, _TRUNCATE, L"%0.1f TB", count * (1.0 / kTiB));
    } else if (bytes >= kGiB) {
        _snwprintf_s(buffer, capacity, _TRUNCATE, L"%0.1f GB", count * (1.0 / kGiB));
    } else if (bytes >= kMiB) {
        _snwprintf_s(buffer, capacity, _TRUNCATE, L"%0.1f MB", count * (1.0 / kMiB));
    } else if (bytes >= kKiB) {
        _snwprintf_s(buffer, capacity, _TRUNCATE, L"%0.1f KB", count * (1.0 / kKiB));
    } else {
        _snwprintf_s(buffer, capacity, _TRUNCATE, L"%0.0f B", count);
    }
    return 1;
}

wchar_t* FormatGroupedNumber(std::int64_t value, wchar_t* buffer) {
    if (buffer == nullptr) {
        return buffer;
    }
    // Separators are at most three characters; the fallbacks keep a readable number
    // should the locale fail to answer.
    wchar_t decimalSeparator[4] = {};
    wchar_t thousandSeparator[4] = {};
    ReadLocaleText(LOCALE_SDECIMAL, decimalSeparator, L".");
    ReadLocaleText(LOCALE_STHOUSAND, thousandSeparator, L",");

    NUMBERFMTW format = {};
    format.NumDigits = 0;
    format.LeadingZero = ReadLocaleNumber(LOCALE_ILZERO, 1);
    format.Grouping = 3;
    format.lpDecimalSep = decimalSeparator;
    format.lpThousandSep = thousandSeparator;
    format.NegativeOrder = ReadLocaleNumber(LOCALE_INEGNUMBER, 1);

    wchar_t plain[30] = {};
    _snwprintf_s(plain, std::size(plain), _TRUNCATE, L"%I64d", value);
    if (GetNumberFormatW(LOCALE_USER_DEFAULT, 0, plain, &format, buffer,
                         static_cast<int>(kGroupedNumberCapacity)) == 0) {
        wcscpy_s(buffer, kGroupedNumberCapacity, plain);
    }
    return buffer;
}

std::wstring FormatDaysAgo(const OleDateTime& date, int* days) {
    return FormatDaysAgoAt(date, CurrentUnixSeconds(), days);
}

std::wstring FormatDaysAgoAt(const OleDateTime& date, std::int64_t nowSeconds, int* days) {
    int count = -1;
    const std::optional<SYSTEMTIME> fields = SystemTimeFromOleDate(date);
    const std::optional<std::int64_t> then =
        fields ? LocalSystemTimeToUnixSeconds(*fields) : std::nullopt;
    if (then) {
        const std::optional<std::tm> nowFields = UnixSecondsToLocalTm(nowSeconds);
        const int nowHour = nowFields ? nowFields->tm_hour : -1;
        count = DaysBetween(*then, nowSeconds, fields->wHour, nowHour);
    }
    if (days != nullptr) {
        *days = count;
    }
    if (!then) {
        return {};
    }

    const std::wstring& today = LoadPooledString(IDS_TODAY);
    const std::wstring& yesterday = LoadPooledString(IDS_YESTERDAY);
    const std::wstring& daysAgo = LoadPooledString(IDS_DAYS_AGO);
    if (count == 0) {
        return today;
    }
    if (count == 1) {
        return yesterday;
    }
    if (count > 1) {
        return std::to_wstring(count) + L"  " + daysAgo;
    }
    return {};
}

std::wstring FormatTimestamp(std::int64_t secondsSince1970) {
    const std::optional<std::tm> local = UnixSecondsToLocalTm(secondsSince1970);
    if (!local) {
        return {};
    }
    wchar_t text[128] = {};
    if (wcsftime(text, std::size(text), L"%Y-%m-%d  %H:%M:%S", &*local) == 0) {
        return {};
    }
    return text;
}
