// How the defrag service runs, kept as DWORD values under its "Parameters" key
// (HKLM\SYSTEM\CurrentControlSet\Services\Vantrel\Parameters) and given on the
// command line of a service run in the foreground:
// - "Simulate" (1): jobs run on simulated drives instead of the real ones; without
//   it the service works on the machine's volumes.
// - "DryRun" (1): optimization passes plan their moves and make none.
// - "JobMilliseconds": how long an analysis of a simulated drive takes; the
//   optimization passes take 1.3 and 0.8 times as long. Read anew for every job.
// - "JobHoldPercent": holds every job of a simulated drive once it has done that
//   share of its work (1 to 99; 0 or missing: no hold). A held job stays Running,
//   answers pause, stop and reset as usual, and goes on when the value is cleared or
//   raised. It lets a caller watch a running job for as long as it needs.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel::defragsvc {

inline constexpr std::uint32_t kDefaultJobMilliseconds = 20000;
inline constexpr std::uint32_t kMaxJobMilliseconds = 3600000;
inline constexpr wchar_t kPaceValueName[] = L"JobMilliseconds";
inline constexpr wchar_t kHoldValueName[] = L"JobHoldPercent";
inline constexpr wchar_t kSimulateValueName[] = L"Simulate";
inline constexpr wchar_t kDryRunValueName[] = L"DryRun";
inline constexpr std::uint32_t kMaxHoldPercent = 99;

struct ServiceOptions {
    bool simulate = false;
    bool dryRun = false;
    // Simulated drives only: the pace; none: the configured one, read for every job.
    std::optional<std::uint32_t> jobMilliseconds;
};

// The installed service's options (its pace stays in the registry, read per job).
ServiceOptions ReadServiceOptions();
// Writes "Simulate" and "DryRun", and the pace when given.
bool WriteServiceOptions(const ServiceOptions& options);

// The configured pace; the default when the value is missing, of the wrong type,
// or out of range.
std::uint32_t ReadJobMilliseconds();

// The configured hold: 0 (none) when the value is missing, of the wrong type, or
// out of range.
std::uint32_t ReadJobHoldPercent();
bool WriteJobHoldPercent(std::uint32_t percent);

// Parses the digits of a "--job-ms=N" switch value; nullopt when not a number in range.
std::optional<std::uint32_t> ParseJobMilliseconds(std::wstring_view text);

}  // namespace vantrel::defragsvc
