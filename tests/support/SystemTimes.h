// Builds the SYSTEMTIME values the tests store, convert and format.
#pragma once

#include <windows.h>

inline SYSTEMTIME MakeSystemTime(WORD year, WORD month, WORD day, WORD hour = 12, WORD minute = 0,
                                 WORD second = 0, WORD milliseconds = 0, WORD dayOfWeek = 0) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDayOfWeek = dayOfWeek;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = milliseconds;
    return time;
}
