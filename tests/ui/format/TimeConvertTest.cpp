// Conversions between stored times, OLE dates and seconds since 1970.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/SystemTimes.h"

#include "ui/format/TimeConvert.h"

namespace {

TEST(IsPlausibleSystemTime, AcceptsOnlyCalendarTimes) {
    const struct {
        const char* name;
        SYSTEMTIME time;
        bool expected;
    } cases[] = {
        {"ordinary", MakeSystemTime(2021, 6, 10, 9, 30, 15, 250, 4), true},
        {"all zero", SYSTEMTIME{}, false},
        {"month 13", MakeSystemTime(2021, 13, 1), false},
        {"day 0", MakeSystemTime(2021, 6, 0), false},
        {"31 June", MakeSystemTime(2021, 6, 31), false},
        {"29 February of a leap year", MakeSystemTime(2020, 2, 29), true},
        {"29 February otherwise", MakeSystemTime(2021, 2, 29), false},
        {"29 February 1900", MakeSystemTime(1900, 2, 29), false},
        {"29 February 2000", MakeSystemTime(2000, 2, 29), true},
        {"hour 24", MakeSystemTime(2021, 6, 10, 24), false},
        {"minute 60", MakeSystemTime(2021, 6, 10, 12, 60), false},
        {"second 60", MakeSystemTime(2021, 6, 10, 12, 0, 60), false},
        {"millisecond 1000", MakeSystemTime(2021, 6, 10, 12, 0, 0, 1000), false},
        {"day of week 7", MakeSystemTime(2021, 6, 10, 12, 0, 0, 0, 7), false},
        {"year 1600", MakeSystemTime(1600, 12, 31), false},
        {"year 30828", MakeSystemTime(30828, 1, 1), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, IsPlausibleSystemTime(c.time)) << c.name;
    }
}

TEST(OleDate, RoundTripsTheCalendarFields) {
    const SYSTEMTIME original = MakeSystemTime(2009, 1, 5, 15, 4, 9);
    const OleDateTime date = OleDateFromSystemTime(original);
    ASSERT_TRUE(date.Valid);
    const std::optional<SYSTEMTIME> back = SystemTimeFromOleDate(date);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(2009, back->wYear);
    EXPECT_EQ(1, back->wMonth);
    EXPECT_EQ(5, back->wDay);
    EXPECT_EQ(1, back->wDayOfWeek);  // a Monday
    EXPECT_EQ(15, back->wHour);
    EXPECT_EQ(4, back->wMinute);
    EXPECT_EQ(9, back->wSecond);
}

TEST(OleDate, OutOfRangeFieldsGiveAnInvalidDate) {
    EXPECT_FALSE(OleDateFromSystemTime(MakeSystemTime(2021, 13, 1)).Valid);
    EXPECT_FALSE(OleDateFromSystemTime(SYSTEMTIME{}).Valid);
    EXPECT_FALSE(SystemTimeFromOleDate(OleDateTime{40000.0, false}).has_value());
}

TEST(UnixSeconds, LocalTimeRoundTrips) {
    const SYSTEMTIME local = MakeSystemTime(2015, 3, 1, 8, 45, 30);
    const std::optional<std::int64_t> seconds = LocalSystemTimeToUnixSeconds(local);
    ASSERT_TRUE(seconds.has_value());
    const std::optional<std::tm> fields = UnixSecondsToLocalTm(*seconds);
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(115, fields->tm_year);
    EXPECT_EQ(2, fields->tm_mon);
    EXPECT_EQ(1, fields->tm_mday);
    EXPECT_EQ(8, fields->tm_hour);
    EXPECT_EQ(45, fields->tm_min);
    EXPECT_EQ(30, fields->tm_sec);
    EXPECT_FALSE(LocalSystemTimeToUnixSeconds(MakeSystemTime(1960, 1, 1)).has_value());
}

}  // namespace
