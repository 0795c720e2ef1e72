// The notification popup as a real layered window on its own thread under Wine: where
// it appears, how it fades, how it ends, and what the mouse and its button do. A
// plain window stands in for the main window and records what the popup asks of it.
#include "app/PopupControl.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/AdminCheck.h"
#include "app/OsVersion.h"
#include "app/PopupThread.h"
#include "framework/MessageLoop.h"
#include "res/resource.h"

namespace {

// Stands in for the main window: counts the system closes and scan requests.
class OwnerWindow : public fw::Window {
  public:
    int closes = 0;
    int scans = 0;

  protected:
    const fw::MessageTable& Messages() const override { return kTable; }

  private:
    static const fw::MessageTable kTable;
    bool OnSysCommand(fw::Message& m) {
        if ((m.wParam & 0xFFF0) == SC_CLOSE) {
            ++closes;
            return true;
        }
        return false;
    }
    void OnScan() { ++scans; }
};

const fw::MessageTable OwnerWindow::kTable{
    &fw::Window::kTable,
    {
        fw::OnMessage(WM_SYSCOMMAND, &OwnerWindow::OnSysCommand),
        fw::OnCommand(IDC_POPUP_START_SCAN, &OwnerWindow::OnScan),
    }};

// Pumps this thread's messages (the owner's) until `done` or about `ms`.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() > end) {
            return false;
        }
        fw::DispatchPendingMessages();
        Sleep(5);
    }
    fw::DispatchPendingMessages();
    return true;
}

int Alpha(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) {
        return -1;
    }
    return alpha;
}

RECT ExpectedRect() {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return {work.right - 27 - 254, work.bottom - 193, work.right - 27, work.bottom};
}

POINT CentreOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2 - 40};
}

class PopupWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        SetCursorPos(5, 5);
        ResetPopupCloseGuardForTests();
        ASSERT_TRUE(WaitFor([] { return CDLGPopupControl::CurrentWindow() == nullptr; }));
        ASSERT_TRUE(owner_.Create(L"Owner", WS_POPUP));
    }
    void TearDown() override {
        thread_.Join();
        EXPECT_EQ(nullptr, CDLGPopupControl::CurrentWindow());
        owner_.Destroy();
    }

    PopupRequest Request() {
        PopupRequest request;
        request.owner = owner_.Handle();
        request.message = L"Your C:\\ drives have not been scanned since last 7 days.";
        request.driveLetter = L'C';
        request.mainWindowRelease = &release_;
        request.relaunchElevated = [this](const std::wstring& parameters) {
            relaunchedWith_ = parameters;
            return false;
        };
        return request;
    }

    // Starts a popup with the program's fade and the given display time; answers its
    // window once it is on screen.
    HWND Open(UINT displayMs) {
        PopupOptions options;
        options.displayMs = displayMs;
        EXPECT_TRUE(thread_.Start(Request(), options));
        HWND window = nullptr;
        WaitFor([&] {
            window = CDLGPopupControl::CurrentWindow();
            return window != nullptr && IsWindowVisible(window);
        });
        return window;
    }

    OwnerWindow owner_;
    PopupThread thread_;
    std::atomic<bool> release_{false};
    std::wstring relaunchedWith_;
};

TEST_F(PopupWindowTest, AppearsTopMostAtItsPlaceFadesInRestsAt240ThenFadesOutAndEndsTheProgram) {
    HWND window = Open(400);
    ASSERT_NE(nullptr, window);

    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_EQ(owner_.Handle(), GetWindow(window, GW_OWNER));
    RECT r = {};
    GetWindowRect(window, &r);
    const RECT expected = ExpectedRect();
    EXPECT_TRUE(EqualRect(&r, &expected))
        << r.left << "," << r.top << " - " << r.right << "," << r.bottom;
    EXPECT_NE(window, GetForegroundWindow()) << "the popup is never activated";
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_POPUP_START_SCAN)));

    // Every opacity the window takes, in order, until it is gone.
    std::vector<int> seen;
    while (IsWindow(window)) {
        const int alpha = Alpha(window);
        if (alpha >= 0 && (seen.empty() || seen.back() != alpha)) {
            seen.push_back(alpha);
        }
        fw::DispatchPendingMessages();
        Sleep(2);
    }
    fw::DispatchPendingMessages();

    const std::set<int> fadeIn = {0,   14,  28,  42,  56,  70,  84,  98,  112,
                                  126, 140, 154, 168, 182, 196, 210, 225, 240};
    const std::set<int> fadeOut = {255, 241, 227, 213, 199, 185, 171, 157, 143,
                                   129, 115, 101, 87,  73,  59,  45,  30,  15};
    ASSERT_FALSE(seen.empty());
    std::size_t i = 0;
    for (; i < seen.size() && seen[i] != 255; ++i) {
        EXPECT_TRUE(fadeIn.count(seen[i])) << "fade-in value " << seen[i];
        if (i > 0) {
            EXPECT_GT(seen[i], seen[i - 1]);
        }
    }
    ASSERT_GT(i, 0u);
    EXPECT_EQ(240, seen[i - 1]) << "the fade-in rests at 240";
    ASSERT_LT(i, seen.size()) << "the fade-out starts from 255";
    for (; i < seen.size(); ++i) {
        EXPECT_TRUE(fadeOut.count(seen[i])) << "fade-out value " << seen[i];
    }

    EXPECT_TRUE(WaitFor([&] { return owner_.closes == 1; }));
    EXPECT_EQ(0, owner_.scans);
    EXPECT_FALSE(release_);
    EXPECT_EQ(nullptr, CDLGPopupControl::CurrentWindow());
}

TEST_F(PopupWindowTest, TheCloseMarkEndsItAtOnceAndOtherClicksDoNothing) {
    HWND window = Open(60000);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(MA_NOACTIVATE,
              SendMessageW(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(owner_.Handle()),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)));

    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(219, 10));
    EXPECT_TRUE(IsWindow(window));

    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(230, 10));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(WaitFor([&] { return owner_.closes == 1; }));
    EXPECT_EQ(0, owner_.scans);
}

TEST_F(PopupWindowTest, TheMouseBringsAFadingPopupBackAndLeavingRestoresFullOpacity) {
    HWND window = Open(300);
    ASSERT_NE(nullptr, window);
    // Wait for the fade-out: past the resting opacity, it falls below it.
    ASSERT_TRUE(WaitFor([&] { return Alpha(window) == 240; }));
    ASSERT_TRUE(WaitFor([&] { return Alpha(window) >= 0 && Alpha(window) < 200; }));

    const POINT over = CentreOf(window);
    SetCursorPos(over.x, over.y);
    ASSERT_TRUE(WaitFor([&] { return Alpha(window) == 255; }, 3000)) << "back at once";

    // While the mouse stays over it the popup stays, well beyond its display time
    // and a whole fade.
    const ULONGLONG until = GetTickCount64() + 1500;
    while (GetTickCount64() < until) {
        ASSERT_TRUE(IsWindow(window));
        EXPECT_EQ(255, Alpha(window));
        fw::DispatchPendingMessages();
        Sleep(20);
    }
    EXPECT_EQ(0, owner_.closes);

    // Leaving: the configured opacity (255), not a fade value; then the display
    // time runs out, the popup fades and ends.
    SetCursorPos(5, 5);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }, 10000));
    EXPECT_TRUE(WaitFor([&] { return owner_.closes == 1; }));
}

TEST_F(PopupWindowTest, StartScanNowAsksTheOwnerForAScanAndDoesNotEndTheProgram) {
    HWND window = Open(60000);
    ASSERT_NE(nullptr, window);
    HWND button = GetDlgItem(window, IDC_POPUP_START_SCAN);
    ASSERT_NE(nullptr, button);
    PostMessageW(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(window); }));

    if (popup::ScanNeedsElevation(OsMajorVersion(), IsUserAdmin())) {
        // Declined elevation: nothing started, the program ends.
        EXPECT_EQ(L"-scan C", relaunchedWith_);
        EXPECT_TRUE(WaitFor([&] { return owner_.closes == 1; }));
        EXPECT_FALSE(release_);
    } else {
        EXPECT_EQ(L"", relaunchedWith_);
        EXPECT_TRUE(WaitFor([&] { return owner_.scans == 1; }));
        EXPECT_TRUE(release_) << "the main window may show";
        // Give a stray close every chance to arrive.
        WaitFor([] { return false; }, 300);
        EXPECT_EQ(0, owner_.closes);
    }
}

TEST_F(PopupWindowTest, ANoticeThatCannotBeMadeSaysSo) {
    OwnerWindow gone;
    ASSERT_TRUE(gone.Create(L"Gone", WS_POPUP));
    const HWND stale = gone.Handle();
    gone.Destroy();
    PopupRequest request = Request();
    request.owner = stale;
    EXPECT_FALSE(RunPopup(std::move(request), PopupOptions{}))
        << "no window for a popup whose owner is gone: the thread tells the owner";
    EXPECT_EQ(nullptr, CDLGPopupControl::CurrentWindow());
}

TEST_F(PopupWindowTest, ALaterPopupReplacesAnEarlierOneWithoutEndingTheProgram) {
    HWND first = Open(60000);
    ASSERT_NE(nullptr, first);
    HWND second = nullptr;
    PopupOptions options;
    options.displayMs = 60000;
    ASSERT_TRUE(thread_.Start(Request(), options));
    ASSERT_TRUE(WaitFor([&] {
        second = CDLGPopupControl::CurrentWindow();
        return second != nullptr && second != first && IsWindowVisible(second);
    }));
    EXPECT_FALSE(IsWindow(first));
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(0, owner_.closes);
}

// Without SetLayeredWindowAttributes the popup is an ordinary top-most window that
// keeps the same phases and timing.
TEST_F(PopupWindowTest, WithoutLayeredWindowsItAppearsAndEndsOnTheSameTimetable) {
    std::atomic<HWND> window{nullptr};
    const HWND owner = owner_.Handle();
    PopupRequest request = Request();
    std::thread thread([&window, owner, &request] {
        CDLGPopupControl popup(std::move(request), nullptr);
        PopupOptions options;
        options.displayMs = 200;
        popup.Configure(options);
        if (popup.Create(owner)) {
            popup.Show();
            window = popup.Handle();
            PumpUntilDestroyed(popup.Handle());
        }
    });
    ASSERT_TRUE(WaitFor([&] { return window.load() != nullptr; }));
    const HWND shown = window.load();
    EXPECT_FALSE(GetWindowLongPtrW(shown, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(IsWindowVisible(shown));
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(shown); }));
    const ULONGLONG lived = GetTickCount64() - start;
    thread.join();
    // Two fades of 18 steps and the display time: well over a second.
    EXPECT_GT(lived, 1500u);
    EXPECT_TRUE(WaitFor([&] { return owner_.closes == 1; }));
}

}  // namespace
