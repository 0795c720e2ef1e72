// Where the notification area is, from the rectangles the shell's windows report, and
// how long the tray tooltip may be.
#include "app/TrayIconRules.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = TaskbarPartKind;

void ExpectRect(const RECT& expected, const RECT& actual, const char* what) {
    EXPECT_EQ(expected.left, actual.left) << what;
    EXPECT_EQ(expected.top, actual.top) << what;
    EXPECT_EQ(expected.right, actual.right) << what;
    EXPECT_EQ(expected.bottom, actual.bottom) << what;
}

TEST(TrayRect, FromTheTaskbarWalk) {
    const RECT bottomBar = {0, 994, 1280, 1024};
    const RECT leftBar = {0, 0, 60, 1024};
    const struct {
        const char* what;
        RECT taskbar;
        std::vector<TaskbarPart> walk;
        RECT expected;
    } cases[] = {
        {"no notification window: the taskbar itself", bottomBar, {}, bottomBar},
        {"the notification window without a clock",
         bottomBar,
         {{Kind::Other, {0, 994, 60, 1024}}, {Kind::NotifyArea, {1100, 996, 1278, 1022}}},
         {1100, 996, 1278, 1022}},
        {"a horizontal taskbar loses the clock's width",
         bottomBar,
         {{Kind::NotifyArea, {1100, 996, 1278, 1022}}, {Kind::Clock, {1220, 996, 1278, 1022}}},
         {1100, 996, 1220, 1022}},
        {"a vertical taskbar loses the rows down to the clock",
         leftBar,
         {{Kind::NotifyArea, {2, 900, 58, 1022}}, {Kind::Clock, {2, 900, 58, 930}}},
         {2, 930, 58, 1022}},
        {"a clock within 5 pixels of the bottom counts as horizontal",
         bottomBar,
         {{Kind::NotifyArea, {1100, 996, 1278, 1022}}, {Kind::Clock, {1220, 1000, 1278, 1017}}},
         {1100, 996, 1220, 1022}},
        {"the walk stops at the clock",
         bottomBar,
         {{Kind::NotifyArea, {1100, 996, 1278, 1022}},
          {Kind::Clock, {1220, 996, 1278, 1022}},
          {Kind::NotifyArea, {0, 0, 10, 10}}},
         {1100, 996, 1220, 1022}},
    };
    for (const auto& c : cases) {
        ExpectRect(c.expected, TrayRectFromTaskbarWalk(c.taskbar, c.walk), c.what);
    }
}

TEST(TrayRect, RecognisesTheShellClasses) {
    EXPECT_EQ(Kind::NotifyArea, TaskbarPartKindOf(L"TrayNotifyWnd"));
    EXPECT_EQ(Kind::Clock, TaskbarPartKindOf(L"TrayClockWClass"));
    EXPECT_EQ(Kind::Other, TaskbarPartKindOf(L"ReBarWindow32"));
}

TEST(TrayRect, FromTheShellsTaskbarPositionAndTheWorkArea) {
    ExpectRect({1180, 994, 1264, 1024}, TrayRectFromAppBar(ABE_BOTTOM, {0, 994, 1280, 1024}),
               "bottom");
    ExpectRect({1180, 0, 1264, 30}, TrayRectFromAppBar(ABE_TOP, {0, 0, 1280, 30}), "top");
    ExpectRect({0, 924, 60, 1008}, TrayRectFromAppBar(ABE_LEFT, {0, 0, 60, 1024}), "left");
    ExpectRect({1220, 924, 1280, 1008}, TrayRectFromAppBar(ABE_RIGHT, {1220, 0, 1280, 1024}),
               "right");
    ExpectRect({1130, 964, 1280, 994}, TrayRectFromWorkArea({0, 0, 1280, 994}), "work area");
}

TEST(TrayTooltip, KeepsAtMostTheLimitLessOne) {
    const std::wstring long200(200, L'x');
    EXPECT_EQ(126u, TruncateTooltip(long200.c_str(), kTooltipLimit).size());
    EXPECT_EQ(63u, TruncateTooltip(long200.c_str(), kDefaultTooltipLimit).size());
    EXPECT_EQ(std::wstring(126, L'x'), TruncateTooltip(std::wstring(126, L'x').c_str(), 127));
    EXPECT_EQ(L"Vantrel", TruncateTooltip(L"Vantrel", kTooltipLimit));
    EXPECT_EQ(L"", TruncateTooltip(nullptr, kTooltipLimit));
}

}  // namespace
