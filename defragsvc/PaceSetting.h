// How fast the stand-in service runs its jobs: the time an analysis takes, in
// milliseconds, kept as the DWORD value "JobMilliseconds" under the service's
// "Parameters" key (HKLM\SYSTEM\CurrentControlSet\Services\Vantrel\Parameters).
// Optimization passes take 1.3 and 0.8 times as long.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel::defragsvc {

inline constexpr std::uint32_t kDefaultJobMilliseconds = 20000;
inline constexpr std::uint32_t kMaxJobMilliseconds = 3600000;
inline constexpr wchar_t kPaceValueName[] = L"JobMilliseconds";

// The configured pace; the default when the value is missing, of the wrong type,
// or out of range.
std::uint32_t ReadJobMilliseconds();
bool WriteJobMilliseconds(std::uint32_t milliseconds);

// Parses the digits of a "--job-ms=N" switch value; nullopt when not a number in range.
std::optional<std::uint32_t> ParseJobMilliseconds(std::wstring_view text);

}  // namespace vantrel::defragsvc
