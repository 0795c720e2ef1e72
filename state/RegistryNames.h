// Names of the values under the settings key and under each drive subkey.
#pragma once

namespace registry_names {

inline constexpr wchar_t kMinimizeSetting[] = L"MinimizeSetting";
inline constexpr wchar_t kCloseSetting[] = L"CloseSetting";
inline constexpr wchar_t kScheduleConstantDefrag[] = L"ScheduleConstantDefrag";
inline constexpr wchar_t kScheduleDriveLettersString[] = L"ScheduleDriveLettersString";

inline constexpr wchar_t kLastScanDate[] = L"LastScanDate";
inline constexpr wchar_t kLastDefragDate[] = L"LastDefragDate";
inline constexpr wchar_t kTotalFiles[] = L"TotalFiles";
inline constexpr wchar_t kTotalDirs[] = L"TotalDirs";
inline constexpr wchar_t kFragmentedFiles[] = L"FragmentedFiles";
inline constexpr wchar_t kDeFragmentedFiles[] = L"DeFragmentedFiles";
inline constexpr wchar_t kVolumeFragmentBefore[] = L"VolumeFragmentBefore";
inline constexpr wchar_t kVolumeFragmentAfter[] = L"VolumeFragmentAfter";
inline constexpr wchar_t kStatus[] = L"Status";
inline constexpr wchar_t kIsvalidScanTime[] = L"IsvalidScanTime";
inline constexpr wchar_t kIsvalidDefragTime[] = L"IsvalidDefragTime";
inline constexpr wchar_t kOptPerCentag[] = L"Opt_PerCentag";
inline constexpr wchar_t kLastScanSysTime[] = L"LastScanSysTime";
inline constexpr wchar_t kLastDefragSysTime[] = L"LastDefragSysTime";

}  // namespace registry_names
