// Version texts of four dot-separated numbers ("1.2.30.400"), as the update manifest
// and the program's FileVersion carry them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

using FourPartVersion = std::array<std::int64_t, 4>;

// Parts 0 to 3 of `text` split at every "."; each part is read like atoi reads a
// number (leading blanks, an optional sign, then decimal digits up to the first other
// character), so a missing or non-numeric part counts as 0. Out-of-range numbers are
// clamped to 32 bits.
FourPartVersion ParseFourPartVersion(std::string_view text);

// True when `candidate` names a later version than `current`: the first differing
// number, most significant first, decides. Equal versions are not newer.
bool IsNewerVersion(std::string_view candidate, std::string_view current);
