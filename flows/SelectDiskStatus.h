// What the selection page says about the selected drive from its stored history:
// the status word, the recommended action with its colour, whether the action link
// is armed, and the last-status line.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "state/DriveRecord.h"

// A scan older than this many days makes the status unknown.
inline constexpr int kScanValidDays = 7;

// The fragmentation value of a stored percentage text: the text without its last two
// characters (the unit suffix) read as a real number. A text that does not start with
// a finite number gives 0.
double FragmentationValueOf(const std::wstring& percentText);

struct DriveStatusView {
    std::int32_t statusCode = DriveStatusUnknown;  // after the age rule
    UINT statusWord = 0;                           // IDS_STATUS_FRAGMENTED / _OPTIMIZED / _UNKNOWN
    double fragmentation = 0.0;
    UINT action = 0;          // string id of the recommended action; 0 = no text
    bool actionGood = false;  // good (green) or bad (red) colour
    bool linkArmed = false;   // the action link answers clicks
};

// The status evaluation. `daysSinceScan` is -1 when the age is unknown; codes the
// program never writes (above 4, or negative) read like 4 but keep the word
// "FRAGMENTED" and the stored fragmentation value. A solid-state drive needs no
// optimization whatever its history says: its action says so in the good colour,
// and the link stays disarmed (a scan still runs from its button).
DriveStatusView EvaluateDriveStatus(std::int32_t statusCode, double fragmentation,
                                    int daysSinceScan, bool solidState = false);

// The scan date as the last-status line shows it ("Mon. Jan 05, 2009. 03:04 PM");
// "Invalid DateTime" for a time that is no calendar date.
std::wstring FormatScanDate(const SYSTEMTIME& time);

// The last-status line of a drive that has a valid scan time: "Already Defragmented",
// "No Fragmented Files found" or "<count> Fragmented Files found", then " on " and the
// formatted scan date.
std::wstring LastStatusLine(bool optimized, const std::wstring& fragmentedCountText,
                            const SYSTEMTIME& scanTime);

// The link text: "Start Scan Now" when the action is "Drive not scanned", else
// "Optimize Now".
UINT LinkTextFor(UINT action);

// Whether a click on the link starts a scan (the action text says "Drive not
// scanned", compared ignoring case) rather than an optimization.
bool LinkStartsScan(const std::wstring& actionText);
