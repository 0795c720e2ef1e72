// How fast the stand-in service runs its jobs: the time an analysis takes, in
// milliseconds, kept as the DWORD value "JobMilliseconds" under the service's
// "Parameters" key (HKLM\SYSTEM\CurrentControlSet\Services\Vantrel\Parameters).
// Optimization passes take 1.3 and 0.8 times as long.
//
// Beside it, the DWORD value "JobHoldPercent" holds every job of a simulated drive
// once it has done that share of its work (1 to 99; 0 or missing: no hold). A held
// job stays Running, answers pause, stop and reset as usual, and goes on when the
// value is cleared or raised. It lets a caller watch a running job for as long as it
// needs without a slow pace.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel::defragsvc {

inline constexpr std::uint32_t kDefaultJobMilliseconds = 20000;
inline constexpr std::uint32_t kMaxJobMilliseconds = 3600000;
inline constexpr wchar_t kPaceValueName[] = L"JobMilliseconds";
inline constexpr wchar_t kHoldValueName[] = L"JobHoldPercent";
inline constexpr std::uint32_t kMaxHoldPercent = 99;

// The configured pace; the default when the value is missing, of the wrong type,
// or out of range.
std::uint32_t ReadJobMilliseconds();
bool WriteJobMilliseconds(std::uint32_t milliseconds);

// The configured hold: 0 (none) when the value is missing, of the wrong type, or
// out of range.
std::uint32_t ReadJobHoldPercent();
bool WriteJobHoldPercent(std::uint32_t percent);

// Parses the digits of a "--job-ms=N" switch value; nullopt when not a number in range.
std::optional<std::uint32_t> ParseJobMilliseconds(std::wstring_view text);

}  // namespace vantrel::defragsvc
