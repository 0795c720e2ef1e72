#include "ui/format/TimeConvert.h"

#include <oleauto.h>

namespace {

bool IsLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
}

}  // namespace

bool IsPlausibleSystemTime(const SYSTEMTIME& time) {
    if (time.wYear < 1601 || time.wYear > 30827) {
        return false;
    }
    if (time.wMonth < 1 || time.wMonth > 12) {
        return false;
    }
    if (time.wDay < 1 || time.wDay > DaysInMonth(time.wYear, time.wMonth)) {
        return false;
    }
    return time.wDayOfWeek <= 6 && time.wHour <= 23 && time.wMinute <= 59 && time.wSecond <= 59 &&
           time.wMilliseconds <= 999;
}

OleDateTime OleDateFromSystemTime(const SYSTEMTIME& time) {
    OleDateTime date;
    if (!IsPlausibleSystemTime(time)) {
        return date;
    }
    SYSTEMTIME copy = time;
    if (SystemTimeToVariantTime(&copy, &date.Value)) {
        date.Valid = true;
    } else {
        date.Value = 0.0;
    }
    return date;
}

std::optional<SYSTEMTIME> SystemTimeFromOleDate(const OleDateTime& date) {
    if (!date.Valid) {
        return std::nullopt;
    }
    SYSTEMTIME time = {};
    if (!VariantTimeToSystemTime(date.Value, &time)) {
        return std::nullopt;
    }
    return time;
}

OleDateTime CurrentOleDate() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return OleDateFromSystemTime(now);
}

std::optional<std::int64_t> LocalSystemTimeToUnixSeconds(const SYSTEMTIME& local) {
    std::tm fields = {};
    fields.tm_year = static_cast<int>(local.wYear) - 1900;
    fields.tm_mon = static_cast<int>(local.wMonth) - 1;
    fields.tm_mday = local.wDay;
    fields.tm_hour = local.wHour;
    fields.tm_min = local.wMinute;
    fields.tm_sec = local.wSecond;
    fields.tm_isdst = -1;
    const __time64_t seconds = _mktime64(&fields);
    if (seconds == -1) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(seconds);
}

std::optional<std::tm> UnixSecondsToLocalTm(std::int64_t seconds) {
    const __time64_t value = seconds;
    std::tm fields = {};
    if (_localtime64_s(&fields, &value) != 0) {
        return std::nullopt;
    }
    return fields;
}

std::int64_t CurrentUnixSeconds() {
    return static_cast<std::int64_t>(_time64(nullptr));
}

std::wstring FormatDateText(const OleDateTime& date) {
    if (!date.Valid) {
        return {};
    }
    BSTR text = nullptr;
    if (FAILED(VarBstrFromDate(date.Value, LOCALE_USER_DEFAULT, 0, &text)) || text == nullptr) {
        return {};
    }
    std::wstring result(text, SysStringLen(text));
    SysFreeString(text);
    return result;
}

OleDateTime ParseDateText(const std::wstring& text) {
    OleDateTime date;
    // VarDateFromStr wants a writable string.
    std::wstring writable = text;
    if (!writable.empty() &&
        SUCCEEDED(VarDateFromStr(writable.data(), LOCALE_USER_DEFAULT, 0, &date.Value))) {
        date.Valid = true;
    }
    return date;
}
