// Sizes, grouped numbers, day counts and timestamps as the pages and reports show them.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/SystemTimes.h"

#include <cstdint>
#include <string>

#include "ui/format/Format.h"
#include "ui/format/TimeConvert.h"

namespace {

struct ByteSizeCase {
    std::uint64_t bytes;
    const wchar_t* expected;
};

TEST(FormatByteSize, PicksTheUnitFromTheExactCount) {
    const ByteSizeCase cases[] = {
        {0, L"0 B"},
        {1, L"1 B"},
        {1023, L"1023 B"},
        {1024, L"1.0 KB"},
        {1536, L"1.5 KB"},
        {1048575, L"1024.0 KB"},  // rounds up within KB, not promoted to MB
        {1048576, L"1.0 MB"},
        {1073741823, L"1024.0 MB"},
        {1073741824, L"1.0 GB"},
        {1099511627775ull, L"1024.0 GB"},
        {1099511627776ull, L"1.0 TB"},
        {500107862016ull, L"465.8 GB"},
        {1ull << 63, L"8388608.0 TB"},  // stays positive past the signed range
        {UINT64_MAX, L"16777216.0 TB"},
    };
    for (const ByteSizeCase& c : cases) {
        wchar_t text[128] = {};
        EXPECT_EQ(1, FormatByteSize(c.bytes, text, 128));
        EXPECT_STREQ(c.expected, text) << c.bytes;
    }
}

TEST(FormatByteSize, NeverWritesPastASmallBuffer) {
    wchar_t text[8];
    wmemset(text, L'#', 8);
    EXPECT_EQ(1, FormatByteSize(UINT64_MAX, text, 5));
    EXPECT_STREQ(L"1677", text);
    EXPECT_EQ(L'#', text[5]);
    EXPECT_EQ(1, FormatByteSize(1, nullptr, 0));
}

bool IsEnglishUnitedStates() {
    return GetUserDefaultLCID() ==
           MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
}

struct GroupedCase {
    std::int64_t value;
    const wchar_t* expected;
};

TEST(FormatGroupedNumber, GroupsByThreeWithTheUserSeparators) {
    if (!IsEnglishUnitedStates()) {
        GTEST_SKIP() << "the expected texts are those of English (United States)";
    }
    const GroupedCase cases[] = {
        {0, L"0"},
        {7, L"7"},
        {999, L"999"},
        {1000, L"1,000"},
        {1234567, L"1,234,567"},
        {-1234567, L"-1,234,567"},
        {INT64_MAX, L"9,223,372,036,854,775,807"},
        {INT64_MIN, L"-9,223,372,036,854,775,808"},
    };
    for (const GroupedCase& c : cases) {
        wchar_t text[kGroupedNumberCapacity];
        wmemset(text, L'#', kGroupedNumberCapacity);
        EXPECT_EQ(text, FormatGroupedNumber(c.value, text));
        EXPECT_STREQ(c.expected, text) << c.value;
    }
}

std::int64_t SecondsOf(const SYSTEMTIME& local) {
    return LocalSystemTimeToUnixSeconds(local).value();
}

struct DaysAgoCase {
    const char* name;
    SYSTEMTIME then;
    SYSTEMTIME now;
    int expectedDays;
    const wchar_t* expectedText;
};

TEST(FormatDaysAgo, CountsCalendarDaysUpToNow) {
    const DaysAgoCase cases[] = {
        {"same instant", MakeSystemTime(2021, 6, 10, 9, 30), MakeSystemTime(2021, 6, 10, 9, 30), 0,
         L"today."},
        {"earlier today", MakeSystemTime(2021, 6, 10, 8), MakeSystemTime(2021, 6, 10, 10), 0,
         L"today."},
        {"yesterday evening seen this morning", MakeSystemTime(2021, 6, 9, 23),
         MakeSystemTime(2021, 6, 10, 1), 1, L"Yesterday"},
        {"yesterday at the same hour", MakeSystemTime(2021, 6, 9, 10),
         MakeSystemTime(2021, 6, 10, 10), 1, L"Yesterday"},
        {"three days twenty hours, hour not passed", MakeSystemTime(2021, 6, 6, 14),
         MakeSystemTime(2021, 6, 10, 10), 4, L"4  Days Ago"},
        {"three days twenty hours, hour passed", MakeSystemTime(2021, 6, 6, 3),
         MakeSystemTime(2021, 6, 9, 23), 3, L"3  Days Ago"},
        {"five days exactly", MakeSystemTime(2021, 6, 5, 10), MakeSystemTime(2021, 6, 10, 10), 5,
         L"5  Days Ago"},
        {"across a year end", MakeSystemTime(2020, 12, 31, 22), MakeSystemTime(2021, 1, 2, 8), 2,
         L"2  Days Ago"},
        {"an hour ahead", MakeSystemTime(2021, 6, 10, 11), MakeSystemTime(2021, 6, 10, 10), 0,
         L"today."},
        {"two days ahead", MakeSystemTime(2021, 6, 12, 10), MakeSystemTime(2021, 6, 10, 10), -2,
         L""},
    };
    for (const DaysAgoCase& c : cases) {
        int days = 12345;
        const std::wstring text =
            FormatDaysAgoAt(OleDateFromSystemTime(c.then), SecondsOf(c.now), &days);
        EXPECT_EQ(c.expectedDays, days) << c.name;
        EXPECT_EQ(c.expectedText, text) << c.name;
    }
}

TEST(FormatDaysAgo, UnusableDatesGiveMinusOneAndNoText) {
    const std::int64_t now = SecondsOf(MakeSystemTime(2021, 6, 10, 10));
    const OleDateTime invalid = {45000.0, false};
    const OleDateTime beforeNineteenSeventy = OleDateFromSystemTime(MakeSystemTime(1960, 1, 1, 0));
    ASSERT_TRUE(beforeNineteenSeventy.Valid);
    for (const OleDateTime& date : {invalid, beforeNineteenSeventy}) {
        int days = 12345;
        EXPECT_EQ(L"", FormatDaysAgoAt(date, now, &days));
        EXPECT_EQ(-1, days);
    }
    EXPECT_EQ(L"", FormatDaysAgoAt(invalid, now, nullptr));
}

TEST(FormatDaysAgo, MeasuresAgainstTheClock) {
    int days = 12345;
    EXPECT_EQ(L"today.", FormatDaysAgo(CurrentOleDate(), &days));
    EXPECT_EQ(0, days);
}

TEST(FormatTimestamp, PrintsLocalTimeWithTwoBlanks) {
    SYSTEMTIME local = MakeSystemTime(2009, 1, 5, 15, 4);
    local.wSecond = 9;
    EXPECT_EQ(L"2009-01-05  15:04:09", FormatTimestamp(SecondsOf(local)));
    EXPECT_EQ(L"2038-01-19  03:14:08",
              FormatTimestamp(SecondsOf(MakeSystemTime(2038, 1, 19, 3, 14)) + 8));
}

TEST(FormatTimestamp, TimesWithoutALocalTimeGiveNoText) {
    for (const std::int64_t seconds :
         {std::int64_t{-1}, std::int64_t{INT64_MIN}, std::int64_t{INT64_MAX}}) {
        EXPECT_EQ(L"", FormatTimestamp(seconds)) << seconds;
    }
}

}  // namespace
