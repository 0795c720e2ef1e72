// Reminder mode asks which drives have not been scanned for more than 7 days.
#pragma once

#include <cstdint>
#include <string>

#include "state/DriveRecord.h"

inline constexpr int kStaleAfterDays = 7;

// The stale drives of `history`, in array order, as "C:\" entries joined by ",";
// empty when every drive is fresh. A drive is stale when its last scan lies more than
// 7 whole days before `nowSeconds` (the stored scan time when it is valid, else the
// last-scan text read in the user's default locale), or when it has no scan date
// and its text says the drive was never scanned.
std::wstring StaleDriveList(const DriveHistoryArray& history, std::int64_t nowSeconds);
