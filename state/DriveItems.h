// The drive items that the application object owns for the life of the process.
#pragma once

#include "state/DriveRecord.h"

// The drive history array itself is held in the settings record (ProgramSettings), from
// which it is loaded and saved; it runs parallel to DriveLetters, one record per letter.
struct DriveItems {
    // Letters in the order in which the drive selection page enumerated them.
    DriveLetterArray DriveLetters;
    // The drive the user works on; 0 when none.
    wchar_t CurrentDriveLetter = 0;
};
