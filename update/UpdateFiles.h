// The files of an update in the per-user data folder "Brenlow\Vantrel".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

inline constexpr wchar_t kManifestFileName[] = L"checkupdate.ini";
inline constexpr wchar_t kDownloadFileName[] = L"Vantrel.tmp";
inline constexpr wchar_t kInstallerSwitch[] = L"/verysilent";

// The folder (created when missing); nullopt when it cannot be had.
std::optional<std::wstring> UpdateFolder();

// `folder` joined with `name`.
std::wstring FileIn(const std::wstring& folder, const wchar_t* name);

// Deletes `path` when a file of that name exists; true when none is left.
bool DeleteIfPresent(const std::wstring& path);
