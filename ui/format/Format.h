// Numbers, sizes and dates turned into display text.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/format/TimeConvert.h"

// Capacity in characters of the buffer that FormatGroupedNumber fills.
inline constexpr std::size_t kGroupedNumberCapacity = 256;

// A byte count in binary units with one decimal ("1.0 KB", "16.5 GB"; bytes without a
// decimal: "1023 B"). The unit is chosen from the exact count, so 1,048,575 stays
// "1024.0 KB". Writes at most `capacity` characters, terminator included, and always
// terminates a non-empty buffer. Always returns 1.
int FormatByteSize(std::uint64_t bytes, wchar_t* buffer, std::size_t capacity);

// `value` in the user's number format: no decimals, groups of three digits, the
// user's separators and negative order (1234567 -> "1,234,567" for English (US)).
// `buffer` holds kGroupedNumberCapacity characters. Returns `buffer`.
wchar_t* FormatGroupedNumber(std::int64_t value, wchar_t* buffer);

// How long ago `date` (local time) was, in whole days: "today.", "Yesterday" or
// "<n>  Days Ago". A date that lies a day or more in the future gives an empty text.
// The day count goes to *days when `days` is not null. An invalid date, or one the C
// library cannot place (before 1970), gives an empty text and a day count of -1.
std::wstring FormatDaysAgo(const OleDateTime& date, int* days);

// As FormatDaysAgo, with the current time given in seconds since 1970.
std::wstring FormatDaysAgoAt(const OleDateTime& date, std::int64_t nowSeconds, int* days);

// The local time of `secondsSince1970` as "YYYY-MM-DD  hh:mm:ss"; empty when the time
// cannot be converted.
std::wstring FormatTimestamp(std::int64_t secondsSince1970);
