// The one place where the program converts between its time representations:
// SYSTEMTIME (stored history, service records), OLE automation dates (dates shown on
// the pages) and 64-bit seconds since 1970 (day arithmetic and report times).
#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

// An OLE automation date together with its validity, as the pages carry it.
struct OleDateTime {
    DATE Value = 0.0;
    bool Valid = false;
};

// True when every field lies in its calendar range (year 1601-30827, month 1-12,
// day of week 0-6, a day that exists in that month, hour, minute, second and
// milliseconds in range). Stored times that fail this are treated as no time.
bool IsPlausibleSystemTime(const SYSTEMTIME& time);

// The date of a SYSTEMTIME (milliseconds dropped); invalid when the fields are out of range.
OleDateTime OleDateFromSystemTime(const SYSTEMTIME& time);

// The calendar fields of a valid OLE date; nullopt for an invalid one.
std::optional<SYSTEMTIME> SystemTimeFromOleDate(const OleDateTime& date);

// The current local date and time as an OLE date.
OleDateTime CurrentOleDate();

// Seconds since 1970 (UTC) of a local calendar time, with daylight saving left to the
// C library to decide. nullopt outside the library's range (before 1970, after 3000).
std::optional<std::int64_t> LocalSystemTimeToUnixSeconds(const SYSTEMTIME& local);

// The local calendar time of a count of seconds since 1970; nullopt when it has none.
std::optional<std::tm> UnixSecondsToLocalTm(std::int64_t seconds);

std::int64_t CurrentUnixSeconds();

// The history's date texts ("LastScanDate", "LastDefragDate"): an OLE date as text in
// the user's default locale (the standard conversion, no flags). Empty for an
// invalid date. Everything that writes such a text uses this, and ParseDateText
// is its one reader.
std::wstring FormatDateText(const OleDateTime& date);

// A date text as FormatDateText makes it, read back in the user's default locale;
// invalid when the text does not parse (for example after a locale change).
OleDateTime ParseDateText(const std::wstring& text);
