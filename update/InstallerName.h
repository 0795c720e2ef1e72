// The name a downloaded installer is stored under: "vantrel_Setup_M_D_YYYY.exe" from
// the local date of the download (month, day, year, no leading zeros).
#pragma once

#include <windows.h>

#include <string>

std::wstring InstallerFileName(const SYSTEMTIME& localDate);
