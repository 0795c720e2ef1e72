// The toolchain, the resources and the Wine harness work together.
#include <windows.h>

#include <gtest/gtest.h>

#include "res/resource.h"

TEST(Smoke, StringTableIsLinkedIntoTheTestProgram) {
    wchar_t text[64] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDS_APP_TITLE, text, 64), 0);
    EXPECT_STREQ(L"Vantrel", text);
}
