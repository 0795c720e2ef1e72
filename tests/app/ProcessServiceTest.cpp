// vantrel.exe against the stand-in defrag service: "Start Scan Now" of the logon
// reminder leaves the main window open with a scan running, and a second start while
// the first instance asks a question in a message box still reaches its main window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "service/DefragClient.h"
#include "service/JobCommandSender.h"
#include "service/JobRecords.h"
#include "service/ServiceBinding.h"
#include "service/ServiceRecord.h"
#include "tests/app/ProcessSupport.h"
#include "tests/service/StandInService.h"
#include "tests/support/MessageBoxAnswer.h"

namespace svc = vantrel::service;

namespace {

using namespace vantrel::testsupport;

// Slow enough that every scan is still running when the test looks.
constexpr std::uint32_t kSlowScanMilliseconds = 60000;

class FixedCells final : public svc::CellCountSource {
  public:
    int GetCellCount() override { return 1472; }
};

long JobState() {
    long state = -1, detail = -1;
    svc::GetJobState(state, detail);
    return state;
}

// A standard dialog owned by `owner`, visible: a message box of the program.
HWND FindOwnedBox(HWND owner) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
        if (GetWindow(box, GW_OWNER) == owner && IsWindowVisible(box)) {
            return box;
        }
    }
    return nullptr;
}

// The progress page's "Now Scanning" path: written by the page's first poll of a
// running job, the same poll that tells the main window the job runs.
std::wstring ScanningPath(HWND main) {
    struct Search {
        std::wstring text;
    } search;
    EnumChildWindows(
        main,
        +[](HWND child, LPARAM data) WINAPI -> BOOL {
            if (GetDlgCtrlID(child) == IDC_PROGRESS_PATH) {
                wchar_t text[MAX_PATH] = {};
                GetWindowTextW(child, text, MAX_PATH);
                reinterpret_cast<Search*>(data)->text = text;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.text;
}

class ProcessServiceTest : public testing::Test {
  protected:
    void SetUp() override {
        SetCursorPos(5, 5);
        ASSERT_TRUE(standIn_.Uninstall());
        ASSERT_TRUE(standIn_.Install(kSlowScanMilliseconds));
        ASSERT_TRUE(binding_.Bind());
    }
    void TearDown() override {
        {
            svc::ServiceRecord record;
            FixedCells cells;
            svc::SendJobCommand(record, cells, svc::JobCommandCode::Reset, L'C', 0);
        }
        EXPECT_TRUE(standIn_.Uninstall());
    }

    StandInService standIn_{VANTREL_DEFRAGSVC_RELATIVE};
    svc::ServiceBinding binding_;
    HistoryBackup history_;
};

TEST_F(ProcessServiceTest, StartScanNowOfTheReminderOpensTheMainWindowWithAScanRunning) {
    WriteHistory(L'C', 8);
    ASSERT_NE(svc::JobState::Running, JobState());
    Process reminder;
    ASSERT_TRUE(reminder.Start(L"-pop"));
    HWND popup = WaitForWindow([&] { return FindPopup(reminder.Id()); }, 15000);
    ASSERT_NE(nullptr, popup);
    HWND button = GetDlgItem(popup, 1323);
    ASSERT_NE(nullptr, button);
    PostMessageW(button, BM_CLICK, 0, 0);

    HWND main = WaitForWindow([&] { return FindMainWindow(reminder.Id()); }, 10000);
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(popup); }, 5000));
    EXPECT_TRUE(WaitUntil([] { return JobState() == svc::JobState::Running; }, 20000))
        << "the selection page started the scan";
    EXPECT_TRUE(WaitUntil([&] { return !ScanningPath(main).empty(); }, 20000))
        << "the progress page follows it";
    // Used, the notice no longer ends the program: it waits for its user.
    EXPECT_EQ(STILL_ACTIVE, reminder.WaitExit(1000));

    // Closing asks before it stops the scan; Yes ends the program.
    MessageBoxAnswer yes(main, IDYES);
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(yes.Answered());
    EXPECT_EQ(0u, reminder.WaitExit(15000));
}

TEST_F(ProcessServiceTest, ASecondStartDuringAMessageBoxReachesTheMainWindowAndLeavesNoToken) {
    WriteHistory(0, 0);
    {
        svc::ServiceRecord record;
        FixedCells cells;
        ASSERT_EQ(1, svc::SendJobCommand(record, cells, svc::JobCommandCode::Reset, L'C', 0));
        ASSERT_EQ(1, svc::SendJobCommand(record, cells, svc::JobCommandCode::Analyze, L'C', 0));
    }
    ASSERT_TRUE(WaitUntil([] { return JobState() == svc::JobState::Running; }, 10000));

    Process first;
    ASSERT_TRUE(first.Start(L""));
    HWND main = WaitForWindow([&] { return FindMainWindow(first.Id()); }, 15000);
    ASSERT_NE(nullptr, main);
    // A scan runs, so closing asks first: a message box titled "Vantrel".
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND box = WaitForWindow([&] { return FindOwnedBox(main); }, 10000);
    ASSERT_NE(nullptr, box);

    ShowWindow(main, SW_MINIMIZE);
    Process second;
    ASSERT_TRUE(second.Start(L""));
    EXPECT_EQ(0u, second.WaitExit(10000));
    EXPECT_TRUE(WaitUntil([] { return GlobalFindAtomW(L"AlreadyRunning") == 0; }, 10000))
        << "the main window took the hand-over, not the box";
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main); }, 5000));
    EXPECT_TRUE(IsWindow(box));

    PostMessageW(box, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(0u, first.WaitExit(15000));
}

}  // namespace
