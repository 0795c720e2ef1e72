#include "app/StartupOptions.h"

#include <gtest/gtest.h>

namespace {

struct SwitchCase {
    const wchar_t* commandLine;
    bool reminder;
    bool scanOnStart;
    wchar_t letter;
};

TEST(StartupOptions, OnlyTheFirstArgumentCountsInAnyCase) {
    const SwitchCase cases[] = {
        {L"vantrel.exe", false, false, 0},
        {L"vantrel.exe -pop", true, false, 0},
        {L"vantrel.exe -POP", true, false, 0},
        {L"vantrel.exe -Pop extra", true, false, 0},
        {L"vantrel.exe /pop", false, false, 0},
        {L"vantrel.exe x -pop", false, false, 0},
        {L"vantrel.exe -scan D", false, true, L'D'},
        {L"vantrel.exe -SCAN d:\\", false, true, L'd'},
        {L"vantrel.exe -scan", false, true, 0},
        {L"vantrel.exe C -scan", false, false, 0},
        {L"\"C:\\Program Files\\Vantrel\\vantrel.exe\" -scan E", false, true, L'E'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "command line: " << c.commandLine);
        const StartupOptions options = ParseStartupOptions(CommandLineArguments(c.commandLine));
        EXPECT_EQ(c.reminder, options.reminderMode);
        EXPECT_EQ(c.reminder, options.skipSplash);
        EXPECT_EQ(!c.reminder, options.releaseMainWindow);
        EXPECT_EQ(c.scanOnStart, options.scanOnStart);
        EXPECT_EQ(c.letter, options.scanDriveLetter);
    }
}

TEST(StartupOptions, ElevationOnlyOnWindows6ForNonAdministratorsOutsideReminderMode) {
    struct Case {
        unsigned major;
        bool reminder;
        bool admin;
        bool elevatedCopy;
        bool expected;
    };
    const Case cases[] = {
        {6, false, false, false, true},   {6, false, true, false, false},
        {6, true, false, false, false},   {5, false, false, false, false},
        {10, false, false, false, false}, {6, false, false, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ShouldRequestElevation(c.major, c.reminder, c.admin, c.elevatedCopy))
            << c.major << " reminder=" << c.reminder << " admin=" << c.admin
            << " elevatedCopy=" << c.elevatedCopy;
    }
}

}  // namespace
