// The main window as a real window under Wine: the hand-over of a second start, keys
// that must not close it, closing while a job runs, and locking during a job.
#include "app/MainWindow.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "app/About.h"
#include "app/DefragApp.h"
#include "app/SingleInstance.h"
#include "framework/MessageLoop.h"
#include "res/resource.h"
#include "tests/app/MenuPicker.h"
#include "tests/support/Accessibility.h"
#include "tests/support/FakeJobService.h"
#include "tests/support/MessageBoxAnswer.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"
#include "ui/format/StringPool.h"

namespace {

bool IsZero(const RECT& r) {
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

void Pump() {
    for (int i = 0; i < 5; ++i) {
        fw::DispatchPendingMessages();
        Sleep(10);
    }
}

using vantrel::testsupport::MessageBoxAnswer;

class MainWindowTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        BuildSharedFonts();
        BuildSharedBrushes();
    }
    void SetUp() override {
        app_.Options.skipSplash = true;
        ASSERT_TRUE(window_.CreateModeless(nullptr));
        window_.Show(SW_SHOW);
        Pump();
    }
    void TearDown() override {
        if (!window_.HasEnded()) {
            window_.Destroy();
        }
    }
    HWND Main() const { return window_.Handle(); }

    CDefragApp app_;
    vantrel::testsupport::FakeJobService service_;
    CDlgMainDefrag window_{app_, &service_};
};

TEST_F(MainWindowTest, OpensAtItsSkinSizeWithTitleAndEnabledLinks) {
    RECT r = {};
    GetWindowRect(Main(), &r);
    EXPECT_EQ(855, r.right - r.left);
    EXPECT_EQ(599, r.bottom - r.top);
    EXPECT_EQ(L"Vantrel", window_.Text());
    EXPECT_EQ(1, window_.WorkflowStep());
    EXPECT_FALSE(IsZero(window_.AboutArea()));
    EXPECT_FALSE(IsZero(window_.HelpArea()));
    EXPECT_EQ(Main(), MainWindow()->Handle());
    EXPECT_NE(nullptr, window_.Pages().Handle());
    EXPECT_TRUE(IsWindowVisible(window_.Pages().Handle()));
}

TEST_F(MainWindowTest, EnterAndEscapeDoNothing) {
    SetFocus(window_.Item(IDC_MAIN_MINIMIZE));
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0);
        Pump();
        EXPECT_FALSE(window_.HasEnded()) << "key " << key;
        EXPECT_TRUE(IsWindowVisible(Main()));
    }
}

TEST_F(MainWindowTest, ASetupThatAsksToCloseClosesAnIdleWindowButNeverARunningJob) {
    const UINT closeForSetup = RegisterWindowMessageW(kCloseForSetupMessageName);
    window_.RecordJobState(1, 0);  // the service said Running
    EXPECT_EQ(kCloseForSetupJobRunning, SendMessageW(Main(), closeForSetup, 0, 0));
    Pump();
    EXPECT_FALSE(window_.HasEnded());
    EXPECT_EQ(0, service_.stops);

    window_.RecordJobState(2, 0);  // Finished
    EXPECT_EQ(kCloseForSetupClosing, SendMessageW(Main(), closeForSetup, 0, 0));
    Pump();
    EXPECT_TRUE(window_.HasEnded()) << "it closes as the tray's Exit closes it";
}

TEST_F(MainWindowTest, AReminderWhoseNoticeCannotBeShownShowsTheWindowInstead) {
    app_.MainWindowRelease = false;
    window_.Show(SW_HIDE);
    SendMessageW(Main(), WM_POPUP_NOT_SHOWN, 0, 0);
    EXPECT_TRUE(app_.MainWindowRelease);
    EXPECT_TRUE(IsWindowVisible(Main())) << "no invisible process";
}

TEST_F(MainWindowTest, ScanOnStartOfADriveThatIsNotListedScansNothing) {
    app_.Options.scanOnStart = true;
    for (const wchar_t letter : {L'Q', L'1'}) {
        app_.Options.scanDriveLetter = letter;
        SendMessageW(Main(), WM_TIMER, kScanOnStartTimer, 0);
        Pump();
        EXPECT_EQ(0, service_.jobsStarted) << static_cast<char>(letter);
        EXPECT_EQ(&window_.Pages().SelectionPage(), window_.Pages().VisiblePage());
        EXPECT_EQ(1, window_.WorkflowStep());
        EXPECT_EQ(L'C', app_.Drives.CurrentDriveLetter) << "the selected drive stays current";
    }
}

TEST_F(MainWindowTest, HandOverRestoresAHiddenOrTrayedWindow) {
    window_.Show(SW_HIDE);
    SendMessageW(Main(), HandOverMessage(), 0, 0);
    EXPECT_TRUE(IsWindowVisible(Main())) << "a hidden window comes back";

    ShowWindow(Main(), SW_MINIMIZE);
    SendMessageW(Main(), HandOverMessage(), 0, GlobalAddAtomW(L"alreadyrunning"));
    EXPECT_FALSE(IsIconic(Main())) << "the token restores a visible window too";
    EXPECT_EQ(0, GlobalFindAtomW(L"AlreadyRunning")) << "the token is released";

    app_.Settings.CloseSetting = 0;
    SendMessageW(Main(), WM_COMMAND, IDC_MAIN_CLOSE, 0);
    EXPECT_TRUE(window_.InTray());
    EXPECT_FALSE(IsWindowVisible(Main()));
    SendMessageW(Main(), HandOverMessage(), 0, GlobalAddAtomW(L"AlreadyRunning"));
    EXPECT_FALSE(window_.InTray());
    EXPECT_TRUE(IsWindowVisible(Main()));
}

TEST_F(MainWindowTest, AnyOtherHandOverTokenLeavesAVisibleWindowAlone) {
    ShowWindow(Main(), SW_MINIMIZE);
    SendMessageW(Main(), HandOverMessage(), 0, GlobalAddAtomW(L"SomethingElse"));
    EXPECT_TRUE(IsIconic(Main()));
    GlobalDeleteAtom(GlobalFindAtomW(L"SomethingElse"));
}

TEST_F(MainWindowTest, ClosingWhileAJobRunsAsksAndNoKeepsTheWindow) {
    window_.RecordJobState(1, 0);  // the service said Running
    {
        MessageBoxAnswer answer(Main(), IDNO);
        SendMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(LoadPooledString(IDS_CONFIRM_STOP_ON_CLOSE), answer.Text());
    }
    Pump();
    EXPECT_FALSE(window_.HasEnded());
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_EQ(1, service_.pauses) << "the job waits for the answer";
    EXPECT_EQ(1, service_.resumes);
    EXPECT_EQ(0, service_.stops);
    EXPECT_TRUE(service_.commands.empty()) << "No sends no Reset";

    MessageBoxAnswer yes(Main(), IDYES);
    SendMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_TRUE(window_.HasEnded());
    EXPECT_EQ(1, service_.stops);
    EXPECT_EQ(std::vector<std::int32_t>{vantrel::service::JobCommandCode::Reset},
              service_.CommandCodes());
}

TEST_F(MainWindowTest, ClosingWithoutAJobEndsAtOnceAndCloseSettingZeroHidesToTray) {
    app_.Settings.CloseSetting = 0;
    SendMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(window_.InTray());
    EXPECT_FALSE(window_.HasEnded());

    // "Exit" from the tray menu closes for good.
    SendMessageW(Main(), WM_COMMAND, ID_TRAY_EXIT, 0);
    Pump();
    EXPECT_TRUE(window_.HasEnded());
}

TEST_F(MainWindowTest, MinimiseFollowsMinimizeSetting) {
    SendMessageW(Main(), WM_COMMAND, IDC_MAIN_MINIMIZE, 0);
    Pump();
    EXPECT_TRUE(IsIconic(Main()));
    ShowWindow(Main(), SW_RESTORE);

    app_.Settings.MinimizeSetting = 1;
    SendMessageW(Main(), WM_COMMAND, IDC_MAIN_MINIMIZE, 0);
    EXPECT_TRUE(window_.InTray());
    EXPECT_FALSE(IsWindowVisible(Main()));
    SendMessageW(Main(), WM_COMMAND, ID_TRAY_RESTORE, 0);
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_FALSE(window_.InTray());
}

TEST_F(MainWindowTest, JobActivityLocksAndUnlocksTheLinks) {
    HWND update = window_.Item(IDC_MAIN_UPDATE);
    EXPECT_EQ(1, SendMessageW(Main(), WM_JOB_ACTIVITY, 0, 0));
    EXPECT_TRUE(IsZero(window_.AboutArea()));
    EXPECT_TRUE(IsZero(window_.HelpArea()));
    EXPECT_FALSE(IsWindowEnabled(update));

    EXPECT_EQ(1, SendMessageW(Main(), WM_JOB_ACTIVITY, 0, 1));
    EXPECT_FALSE(IsZero(window_.AboutArea()));
    EXPECT_TRUE(IsWindowEnabled(update));
}

TEST_F(MainWindowTest, AWorkflowStepHidesTheUpdateButtonForGood) {
    HWND update = window_.Item(IDC_MAIN_UPDATE);
    EXPECT_TRUE(IsWindowVisible(update));
    SendMessageW(Main(), WM_JOB_ACTIVITY, 0, 0);
    window_.SetWorkflowStep(2);
    EXPECT_EQ(2, window_.WorkflowStep());
    EXPECT_FALSE(IsWindowVisible(update));
    EXPECT_FALSE(IsZero(window_.AboutArea())) << "a step change enables the links";

    SendMessageW(Main(), WM_JOB_ACTIVITY, 0, 1);
    window_.SetWorkflowStep(1);
    EXPECT_FALSE(IsWindowVisible(update));
}

}  // namespace

namespace {

// The window's picture, painted into a 32-bit DIB through WM_PAINT with a given DC.
class Snapshot {
  public:
    explicit Snapshot(HWND window) {
        RECT client = {};
        GetClientRect(window, &client);
        width_ = client.right;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = client.right;
        info.bmiHeader.biHeight = -client.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        SendMessageW(window, WM_PAINT, reinterpret_cast<WPARAM>(dc_), 0);
        GdiFlush();
    }
    ~Snapshot() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF At(int x, int y) const {
        const std::uint32_t pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
};

// A pixel of a skin bitmap.
COLORREF SkinPixel(UINT id, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return colour;
}

TEST_F(MainWindowTest, PaintsTheFrameAndMarksTheCurrentStep) {
    // The centre of each workflow item's number badge: (40, 112) in item 1, (40, 152) in item 2.
    {
        Snapshot picture(Main());
        EXPECT_EQ(SkinPixel(IDB_BANNER, 100, 40), picture.At(106, 40)) << "banner at (6, 0)";
        EXPECT_EQ(SkinPixel(IDB_FRAME_LEFT, 2, 300), picture.At(2, 300)) << "left edge";
        EXPECT_EQ(SkinPixel(IDB_STEP_WELCOME_CURRENT, 34, 20), picture.At(40, 112));
        EXPECT_EQ(SkinPixel(IDB_STEP_SCAN, 34, 20), picture.At(40, 152));
    }
    EXPECT_NE(SkinPixel(IDB_STEP_WELCOME, 34, 20), SkinPixel(IDB_STEP_WELCOME_CURRENT, 34, 20))
        << "the badge tells the current step apart";
    window_.SetWorkflowStep(2);
    Snapshot picture(Main());
    EXPECT_EQ(SkinPixel(IDB_STEP_WELCOME, 34, 20), picture.At(40, 112));
    EXPECT_EQ(SkinPixel(IDB_STEP_SCAN_CURRENT, 34, 20), picture.At(40, 152));
}

}  // namespace

namespace {

using vantrel::testsupport::MenuPicker;

// Waits, on a thread of its own, for the About window over `owner`, reads it and
// presses its OK button, as a user would while the test's thread runs its modal loop.
class AboutReader {
  public:
    explicit AboutReader(HWND owner)
        : thread_([this, owner] {
              for (int i = 0; i < 400; ++i) {
                  HWND about = nullptr;
                  while ((about = FindWindowExW(nullptr, about, L"#32770", nullptr)) != nullptr) {
                      RECT r = {};
                      GetWindowRect(about, &r);
                      if (GetWindow(about, GW_OWNER) == owner && IsWindowVisible(about) &&
                          r.right - r.left == 537 && r.bottom - r.top == 309) {
                          break;
                      }
                  }
                  if (about != nullptr) {
                      if (auto* dialog = dynamic_cast<CDlgAbout*>(fw::Window::FromHandle(about))) {
                          version_ = dialog->VersionText();
                      }
                      ownerDisabled_ = !IsWindowEnabled(owner);
                      unnamed_ = vantrel::testsupport::UnnamedVisibleControls(about);
                      PostMessageW(about, WM_COMMAND, IDC_ABOUT_OK, 0);
                      seen_ = true;
                      return;
                  }
                  Sleep(25);
              }
          }) {}
    ~AboutReader() { Join(); }
    AboutReader(const AboutReader&) = delete;
    AboutReader& operator=(const AboutReader&) = delete;

    bool Seen() {
        Join();
        return seen_;
    }
    std::wstring Version() {
        Join();
        return version_;
    }
    bool OwnerDisabled() {
        Join();
        return ownerDisabled_;
    }
    // The window's visible controls that a screen reader finds no name for.
    std::vector<std::wstring> Unnamed() {
        Join();
        return unnamed_;
    }

  private:
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    std::atomic<bool> seen_{false};
    std::atomic<bool> ownerDisabled_{false};
    std::vector<std::wstring> unnamed_;
    std::wstring version_;
    std::thread thread_;
};

std::wstring ProgramVersion() {
    const std::string text = VANTREL_VERSION_TEXT;
    return std::wstring(text.begin(), text.end());
}

// The tray icon's right-button notification, as the shell sends it.
void RightClickTray(CDlgMainDefrag& window) {
    SendMessageW(window.Tray().Handle(), WM_TRAY_CALLBACK, IDR_TRAY_MENU, WM_RBUTTONUP);
    Pump();
}

// Hides the window into the tray the user's way and lets the display settle: under
// X the focus news of the hidden window comes later and would close a menu opened
// at once.
void MinimiseToTray(CDlgMainDefrag& window) {
    SendMessageW(window.Handle(), WM_COMMAND, IDC_MAIN_MINIMIZE, 0);
    for (int i = 0; i < 20; ++i) {
        Pump();
    }
}

TEST_F(MainWindowTest, TheAboutLinkOpensAboutShowingTheProgramsVersion) {
    const RECT link = window_.AboutArea();
    AboutReader reader(Main());
    SendMessageW(Main(), WM_LBUTTONUP, 0, MAKELPARAM(link.left + 5, link.top + 5));
    ASSERT_TRUE(reader.Seen());
    EXPECT_EQ(ProgramVersion(), reader.Version()) << "read from the version resource";
    EXPECT_TRUE(reader.OwnerDisabled()) << "modal over the main window";
    EXPECT_EQ(std::vector<std::wstring>{}, reader.Unnamed());
    EXPECT_TRUE(IsWindowEnabled(Main()));
    EXPECT_FALSE(window_.HasEnded());
}

TEST_F(MainWindowTest, HeldHiddenForTheReminderItClosesForGoodInsteadOfGoingToTheTray) {
    // The notice ended on its own: even a user who keeps the program in the tray on
    // close gets no resident icon from a logon reminder.
    app_.MainWindowRelease = false;
    window_.Show(SW_HIDE);
    window_.Show(SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(Main())) << "held hidden";
    app_.Settings.CloseSetting = 0;
    SendMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(window_.InTray());
    EXPECT_TRUE(window_.HasEnded());
}

TEST_F(MainWindowTest, TheTrayMenuRestoresOpensAboutAndExits) {
    EXPECT_TRUE(window_.Tray().IsHidden()) << "no icon while the window shows";
    app_.Settings.MinimizeSetting = 1;

    MinimiseToTray(window_);
    ASSERT_TRUE(window_.InTray());
    EXPECT_FALSE(window_.Tray().IsHidden()) << "the icon shows while the window is in the tray";
    {
        MenuPicker restore(ID_TRAY_RESTORE);
        RightClickTray(window_);
        ASSERT_TRUE(restore.Picked());
        EXPECT_EQ(ID_TRAY_RESTORE, restore.DefaultItem());
    }
    EXPECT_FALSE(window_.InTray());
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_TRUE(window_.Tray().IsHidden());

    MinimiseToTray(window_);
    ASSERT_TRUE(window_.InTray());
    {
        AboutReader reader(Main());
        MenuPicker about(ID_TRAY_ABOUT);
        RightClickTray(window_);
        ASSERT_TRUE(about.Picked());
        ASSERT_TRUE(reader.Seen());
        EXPECT_EQ(ProgramVersion(), reader.Version());
    }
    Pump();
    EXPECT_FALSE(window_.InTray()) << "About brings the window back";
    EXPECT_TRUE(IsWindowVisible(Main()));

    MinimiseToTray(window_);
    ASSERT_TRUE(window_.InTray());
    {
        MenuPicker exit(ID_TRAY_EXIT);
        RightClickTray(window_);
        ASSERT_TRUE(exit.Picked());
    }
    Pump();
    EXPECT_TRUE(window_.HasEnded());
}

}  // namespace
