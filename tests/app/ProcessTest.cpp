// vantrel.exe as a user starts it: first start, second start (while the first shows
// its main window, its splash, or its logon reminder), reminder mode from the logon
// entry with the drive history in the real registry, and the logon entry itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/app/ProcessSupport.h"

namespace {

using namespace vantrel::testsupport;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Vantrel";
constexpr wchar_t kHandOverToken[] = L"AlreadyRunning";

std::wstring ReadRunValue() {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

void WriteRunValue(const std::wstring& text) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &key, nullptr));
    RegSetValueExW(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void DeleteRunValue() {
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
}

// The hand-over token of a second start is gone once the first instance read it.
bool HandOverTokenReleased(DWORD ms) {
    return WaitUntil([] { return GlobalFindAtomW(kHandOverToken) == 0; }, ms);
}

// Keeps the machine's own logon entry and drive history as they were.
class ProcessTest : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = ReadRunValue();
        SetCursorPos(5, 5);
    }
    void TearDown() override {
        if (saved_ == L"<missing>") {
            DeleteRunValue();
        } else {
            WriteRunValue(saved_);
        }
    }
    std::wstring saved_;
    HistoryBackup history_;
};

TEST_F(ProcessTest, FirstStartShowsSplashThenMainWindowAndASecondStartHandsOver) {
    DeleteRunValue();
    Process first;
    ASSERT_TRUE(first.Start(L""));
    EXPECT_NE(nullptr, WaitForWindow([&] { return FindSplash(first.Id()); }, 10000)) << "splash";
    HWND main = WaitForWindow([&] { return FindMainWindow(first.Id()); }, 15000);
    ASSERT_NE(nullptr, main) << "main window";
    EXPECT_EQ(nullptr, FindSplash(first.Id())) << "splash gone";

    // The first start registered the logon entry in reminder mode.
    EXPECT_EQ(L"\"" + ProgramPath() + L"\" -pop", ReadRunValue());

    // A minimised first instance comes back when the program is started again.
    ShowWindow(main, SW_MINIMIZE);
    Process second;
    ASSERT_TRUE(second.Start(L""));
    EXPECT_EQ(0u, second.WaitExit(10000));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main); }, 5000));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(HandOverTokenReleased(5000));
    EXPECT_TRUE(first.Running());

    // Escape reaches no dialog-key processing: the window stays.
    PostMessageW(GetFocus() ? GetFocus() : main, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(300);
    EXPECT_TRUE(first.Running());

    // The system close ends the program (no job runs: nothing to confirm).
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, first.WaitExit(15000));
}

TEST_F(ProcessTest, ASecondStartDuringTheSplashReachesTheMainWindowAndLeavesNoToken) {
    Process first;
    ASSERT_TRUE(first.Start(L""));
    // The splash is a standard dialog titled "Vantrel" as well.
    ASSERT_NE(nullptr, WaitForWindow([&] { return FindSplash(first.Id()); }, 10000));
    Process second;
    ASSERT_TRUE(second.Start(L""));
    EXPECT_EQ(0u, second.WaitExit(10000));

    HWND main = WaitForWindow([&] { return FindMainWindow(first.Id()); }, 15000);
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(HandOverTokenReleased(10000)) << "the main window took the hand-over";
    // The token goes back before the window is brought forward: wait for the front.
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }, 10000))
        << "and came to the front";

    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, first.WaitExit(15000));
}

TEST_F(ProcessTest, ReminderModeWithNothingToRemindEndsWithoutAWindowAndKeepsAnOtherRunValue) {
    WriteHistory(0, 0);
    const std::wstring other = L"C:\\Elsewhere\\vantrel.exe -pop";
    WriteRunValue(other);
    Process reminder;
    ASSERT_TRUE(reminder.Start(L"-POP"));
    // Reminder mode shows no splash (and, with nothing to remind of, no window at all).
    bool sawWindow = false;
    WaitUntil(
        [&] {
            sawWindow = sawWindow || FindSplash(reminder.Id()) || FindMainWindow(reminder.Id()) ||
                        FindPopup(reminder.Id());
            return !reminder.Running();
        },
        10000);
    EXPECT_EQ(0u, reminder.WaitExit(10000));
    EXPECT_FALSE(sawWindow);
    EXPECT_EQ(other, ReadRunValue());
}

TEST_F(ProcessTest, ReminderModeFadesItsNoticeInAtTheBottomRightAndEndsOnItsOwn) {
    WriteHistory(L'C', 8);
    Process reminder;
    ASSERT_TRUE(reminder.Start(L"-pop"));
    HWND popup = WaitForWindow([&] { return FindPopup(reminder.Id()); }, 15000);
    ASSERT_NE(nullptr, popup);

    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT expected = {work.right - 27 - 254, work.bottom - 193, work.right - 27, work.bottom};
    RECT r = {};
    GetWindowRect(popup, &r);
    EXPECT_TRUE(EqualRect(&r, &expected));
    EXPECT_TRUE(GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_LAYERED);

    // It fades in to its resting opacity, then out; the main window never shows.
    int highest = -1;
    bool sawMain = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
            BYTE alpha = 0;
            if (IsWindow(popup) && GetLayeredWindowAttributes(popup, nullptr, &alpha, nullptr)) {
                highest = std::max(highest, static_cast<int>(alpha));
            }
            sawMain = sawMain || FindMainWindow(reminder.Id()) != nullptr;
            return !reminder.Running();
        },
        30000))
        << "the program ends when its notice is gone";
    EXPECT_EQ(0u, reminder.WaitExit(0));
    EXPECT_GE(highest, 240);
    EXPECT_FALSE(sawMain);
}

TEST_F(ProcessTest, TheCloseMarkEndsTheReminderAtOnce) {
    WriteHistory(L'C', 8);
    Process reminder;
    ASSERT_TRUE(reminder.Start(L"-pop"));
    HWND popup = WaitForWindow([&] { return FindPopup(reminder.Id()); }, 15000);
    ASSERT_NE(nullptr, popup);
    PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(235, 12));
    EXPECT_EQ(0u, reminder.WaitExit(5000));
}

TEST_F(ProcessTest, AStartDuringTheReminderShowsTheMainWindowAndDismissesTheNotice) {
    WriteHistory(L'C', 8);
    Process reminder;
    ASSERT_TRUE(reminder.Start(L"-pop"));
    HWND popup = WaitForWindow([&] { return FindPopup(reminder.Id()); }, 15000);
    ASSERT_NE(nullptr, popup);

    Process user;
    ASSERT_TRUE(user.Start(L""));
    EXPECT_EQ(0u, user.WaitExit(10000));
    HWND main = WaitForWindow([&] { return FindMainWindow(reminder.Id()); }, 10000);
    ASSERT_NE(nullptr, main) << "the user asked for the window";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(popup); }, 5000));
    EXPECT_TRUE(HandOverTokenReleased(5000));
    // Gone by WM_CLOSE, the notice does not end the program under the user's hands.
    EXPECT_EQ(STILL_ACTIVE, reminder.WaitExit(1000));

    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, reminder.WaitExit(15000));
}

}  // namespace
