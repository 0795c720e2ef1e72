// Small text pieces of the summary reports: HTML escaping of texts that come from
// outside, the job's time texts and byte sizes from cluster counts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Appends `text` to `out` with "&", "<", ">" and '"' written as entities, so that a
// file named "a&copy.txt" reads as written. Characters that cannot be written as
// UTF-8 or have no place in a page (unpaired surrogates, NUL and the other control
// characters but tab, CR and LF) become U+FFFD.
void AppendHtmlEscaped(std::wstring& out, std::wstring_view text);
std::wstring HtmlEscaped(std::wstring_view text);

// "hh:mm:ss" of a duration; the hours are not limited to two digits (100:00:00).
std::wstring ElapsedText(std::uint64_t seconds);

// Seconds since 1970 of the service's local start or end time; nullopt when the time
// cannot be placed (a failed call reads as all zero).
std::optional<std::int64_t> JobTimeSeconds(const SYSTEMTIME& local);

// The three time texts of a report: start, end and elapsed. A time that cannot be
// placed gives an empty text; the elapsed time is 00:00:00 unless both times are
// known and the end does not lie before the start.
struct JobTimeTexts {
    std::wstring start;
    std::wstring end;
    std::wstring elapsed;
};
JobTimeTexts MakeJobTimeTexts(const SYSTEMTIME& start, const SYSTEMTIME& end);

// clusters x sectors per cluster x bytes per sector. Negative factors (a confused
// service) count as 0, and a product past the 64-bit range stays at its largest value.
std::uint64_t ClusterBytes(std::uint64_t clusters, std::int32_t sectorsPerCluster,
                           std::int32_t bytesPerSector);
