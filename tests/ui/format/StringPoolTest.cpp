// Texts of the string table handed out from the rotating pool.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "res/resource.h"
#include "ui/format/StringPool.h"

namespace {

constexpr UINT kIdThatNoModuleHolds = 9;

TEST(LoadPooledString, LoadsTheTextOfTheId) {
    const struct {
        UINT id;
        const wchar_t* expected;
    } cases[] = {
        {IDS_APP_TITLE, L"Vantrel"},
        {IDS_TODAY, L"today."},
        {IDS_SCANNING_NOT_PERFORMED, L"Scanning Not Yet Performed"},
        {kIdThatNoModuleHolds, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, LoadPooledString(c.id)) << c.id;
    }
}

TEST(LoadPooledString, KeepsEachTextThroughTheNextThirtyLoads) {
    const std::wstring& first = LoadPooledString(IDS_TODAY);
    std::set<const std::wstring*> slots = {&first};
    for (int call = 0; call < 30; ++call) {
        slots.insert(&LoadPooledString(IDS_YESTERDAY));
        EXPECT_EQ(L"today.", first) << "after call " << call + 1;
    }
    EXPECT_EQ(31u, slots.size());

    const std::wstring& reused = LoadPooledString(IDS_DAYS_AGO);
    EXPECT_EQ(&first, &reused);
    EXPECT_EQ(L"Days Ago", first);
}

TEST(LoadPooledString, AnUnknownIdEmptiesTheReusedSlot) {
    for (int call = 0; call < 31; ++call) {
        LoadPooledString(IDS_APP_TITLE);
    }
    EXPECT_EQ(L"", LoadPooledString(kIdThatNoModuleHolds));
}

}  // namespace
