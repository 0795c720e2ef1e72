// The progress page inside the real main window, against the stand-in defrag
// service running real jobs: a scan runs to its end and hands over to the scan
// results, the map fills while a scan runs, stop questions end or resume a job,
// an optimization makes two passes unless stopped in the first, and a drive
// without readable free space is refused.
#include "flows/DiskAnalyzing.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/DefragApp.h"
#include "app/MainWindow.h"
#include "flows/HDDScanContainer.h"
#include "framework/MessageLoop.h"
#include "res/resource.h"
#include "service/DefragClient.h"
#include "service/JobRecords.h"
#include "state/RegistryKey.h"
#include "tests/framework/TestSupport.h"
#include "tests/service/StandInService.h"
#include "tests/support/MessageBoxAnswer.h"
#include "tests/support/StandInWindowTest.h"
#include "ui/SharedBrushes.h"
#include "ui/SharedFonts.h"

namespace svc = vantrel::service;
using vantrel::testsupport::kFastJobMs;
using vantrel::testsupport::MessageBoxAnswer;
using vantrel::testsupport::ServiceJobState;
using vantrel::testsupport::SetPace;
using vantrel::testsupport::StandInWindowTest;

namespace {

// Slow enough that a job is still running while the test looks at it.
constexpr std::uint32_t kSlowJobMs = 12000;
// The results pages read every fragmented file's record (up to 2,500 of 64 KiB)
// before they are shown, which takes a while under Wine.
constexpr DWORD kJobTimeoutMs = 180000;
constexpr wchar_t kLabel[] = L"(C:) Test";
// The results pages save the drive history here rather than in the user's settings.
constexpr wchar_t kHistoryKey[] = L"Software\\Brenlow\\VantrelProgressTests";

bool Pump(const std::function<bool()>& done, DWORD timeoutMs = kJobTimeoutMs) {
    return fw::test::PumpUntil(done, timeoutMs);
}

// How many cells of the map show another state than in `before`.
int ChangedCells(const std::vector<svc::MapCell>& before, const CVolmeMap& map) {
    int changed = 0;
    for (std::size_t i = 0; i < before.size() && i < map.Cells().size(); ++i) {
        changed += svc::CellStateOf(before[i]) != svc::CellStateOf(map.Cells()[i]) ? 1 : 0;
    }
    return changed;
}

class ProgressPageTest : public StandInWindowTest {
  protected:
    static void SetUpTestSuite() { StartSuite(kHistoryKey); }
    static void TearDownTestSuite() { EndSuite(kHistoryKey); }

    void SetUp() override {
        ASSERT_TRUE(app_ != nullptr);
        app_->Settings.DriveHistory.clear();
        app_->Settings.DriveHistory.Add(MakeDriveRecord(L'C'));
        app_->Drives.CurrentDriveLetter = L'C';
        OpenWindow();
    }

    void TearDown() override { CloseWindow(); }

    CDlgDiskAnalyzing& Page() { return Pages().ProgressPage(); }
    bool LinksLocked() const { return IsRectEmpty(&window_->AboutArea()) != FALSE; }
    bool Shows(int id) { return (GetWindowLongPtrW(Page().Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }

    // As the drive selection page does: start the job, then show the progress page.
    bool StartJob(JobMode mode) {
        const bool started = Page().StartJob(mode, L'C', kLabel);
        if (started) {
            Pages().ShowPage(Page());
        }
        return started;
    }

    // Pumps until the page polls a running job with its stop button on show.
    bool WaitUntilRunning(int stopButton) {
        return Pump([&] {
            return Page().Polling() && Shows(stopButton) &&
                   IsWindowEnabled(Page().Item(stopButton)) && LinksLocked();
        });
    }

    // Pumps until `page` is the visible page; a question about results without
    // fragmented files, should it come, is answered Yes.
    bool WaitForPage(fw::Window& page) {
        MessageBoxAnswer noFragmentedFiles(Owner(), IDYES, kJobTimeoutMs);
        return Pump([&] { return Pages().VisiblePage() == &page; });
    }
};

TEST_F(ProgressPageTest, ScanRunsToTheEndAndHandsOverToTheScanResults) {
    SetPace(kFastJobMs);
    ASSERT_TRUE(StartJob(JobMode::Scan));
    EXPECT_EQ(L'C', app_->Drives.CurrentDriveLetter);
    EXPECT_EQ(L'C', app_->VolumeMapCache.DriveLetter);
    const IndiVidualDriveInfo& record = app_->Settings.DriveHistory[0];
    EXPECT_TRUE(record.IsvalidScanTime) << "the job start stamps the drive";
    EXPECT_EQ(FormatDateText(OleDateFromSystemTime(record.LastScanSysTime)), record.LastScanDate);
    EXPECT_EQ(L"Scanning " + std::wstring(kLabel), Page().ItemText(IDC_PROGRESS_FOCUS));
    EXPECT_EQ(L"Scanning", Page().ItemText(IDC_PROGRESS_TITLE));

    ASSERT_TRUE(WaitForPage(Pages().ScanResultsPage()));
    EXPECT_EQ(3, window_->WorkflowStep());
    EXPECT_FALSE(Page().Polling());
    EXPECT_EQ(svc::JobState::Finished, window_->JobState()) << "the poll keeps the state there";
    EXPECT_EQ(L"Scanning Completed", Page().ItemText(IDC_PROGRESS_TITLE));
    EXPECT_FALSE(Shows(IDC_PROGRESS_STOP));
    EXPECT_FALSE(Page().StopConfirmed());
    EXPECT_NE(L"0", Page().FilesText()) << "the last statistics counted files";
    EXPECT_TRUE(Pump([&] { return !LinksLocked(); })) << "an ended job unlocks the main window";
}

TEST_F(ProgressPageTest, ScanFillsTheMapAndStopsOnlyWhenConfirmed) {
    SetPace(kSlowJobMs);
    ASSERT_TRUE(StartJob(JobMode::Scan));
    ASSERT_TRUE(WaitUntilRunning(IDC_PROGRESS_STOP)) << "a running job locks the main window";
    EXPECT_FALSE(Shows(IDC_PROGRESS_STOP_DEFRAG));

    ASSERT_TRUE(Pump([&] { return Page().Map().Cells().size() == 1472; }));
    const std::vector<svc::MapCell> early = Page().Map().Cells();
    EXPECT_TRUE(Pump([&] { return ChangedCells(early, Page().Map()) > 10; }))
        << "cells change from not yet scanned while the scan runs";
    const int position =
        static_cast<int>(SendDlgItemMessageW(Page().Handle(), IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
    EXPECT_GT(position, 0);
    EXPECT_LE(position, 500000) << "a scan fills at most half the bar while it runs";
    EXPECT_FALSE(Page().ItemText(IDC_PROGRESS_PATH).empty()) << "the file being looked at";
    EXPECT_TRUE(app_->VolumeMapCache.HoldsMapOf(L'C')) << "every map drawn is cached";
    EXPECT_EQ(1472, app_->VolumeMapCache.CellCount());

    {
        MessageBoxAnswer no(Owner(), IDNO);
        Page().ConfirmStop();
        EXPECT_EQ(L"This will stop the scanning process. Are you sure?", no.Text());
    }
    EXPECT_FALSE(Page().StopConfirmed());
    long paused = -1;
    EXPECT_TRUE(Pump([&] {
        return ServiceJobState(&paused) == svc::JobState::Running && paused == 0;
    })) << "No resumes the scan";
    EXPECT_TRUE(Page().Polling()) << "and the page polls on";

    {
        MessageBoxAnswer yes(Owner(), IDYES);
        Page().ConfirmStop();
        EXPECT_TRUE(yes.Answered());
    }
    EXPECT_TRUE(Page().StopConfirmed());
    ASSERT_TRUE(WaitForPage(Pages().ScanResultsPage())) << "a stopped scan ends as finished";
    EXPECT_TRUE(Page().StopConfirmed()) << "the results page reads the mark";
    EXPECT_EQ(IDS_SCANNING_ABORTED, Pages().ScanResultsPage().Figures().recommendation)
        << "Scanning aborted";
    EXPECT_EQ(DriveStatusNotScanned, app_->Settings.DriveHistory[0].Status);
    EXPECT_NE(svc::JobState::Running, ServiceJobState());
}

TEST_F(ProgressPageTest, StopInTheFirstOptimizationPassEndsWithoutASecondPass) {
    SetPace(kSlowJobMs);
    ASSERT_TRUE(StartJob(JobMode::Optimize));
    EXPECT_EQ(L"Optimizing", Page().ItemText(IDC_PROGRESS_TITLE));
    EXPECT_EQ(L"Optimizing: ", Page().ItemText(IDC_PROGRESS_NOW_LABEL));
    ASSERT_TRUE(WaitUntilRunning(IDC_PROGRESS_STOP_DEFRAG));
    EXPECT_FALSE(Shows(IDC_PROGRESS_STOP));
    EXPECT_EQ(0, Page().Pass());

    {
        MessageBoxAnswer yes(Owner(), IDYES);
        Page().ConfirmStop();
        EXPECT_EQ(L"This will stop the optimization. Do you want to continue?", yes.Text());
    }
    ASSERT_TRUE(WaitForPage(Pages().DefragResultsPage()));
    EXPECT_EQ(0, Page().Pass()) << "no second pass";
    EXPECT_EQ(L"Optimization aborted", Pages().DefragResultsPage().StatusText());
    EXPECT_EQ(RGB(169, 1, 1), Pages().DefragResultsPage().StatusColour());
    EXPECT_FALSE(Page().Polling());
    EXPECT_FALSE(Shows(IDC_PROGRESS_STOP_DEFRAG));
    EXPECT_FALSE(Shows(IDC_PROGRESS_BAR));
    EXPECT_NE(svc::JobState::Running, ServiceJobState()) << "nothing was started again";
}

TEST_F(ProgressPageTest, OptimizationRunsTwoPassesThenReportsSuccess) {
    SetPace(kFastJobMs);
    MessageBoxAnswer success(Owner(), IDOK, kJobTimeoutMs);
    ASSERT_TRUE(StartJob(JobMode::Optimize));
    ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &Pages().DefragResultsPage(); }));
    EXPECT_EQ(L"You have successfully optimized (C:) Test !", success.Text());
    EXPECT_EQ(1, Page().Pass()) << "the page started the second pass itself";
    EXPECT_EQ(L"Optimization complete", Pages().DefragResultsPage().StatusText());
    EXPECT_EQ(RGB(0, 130, 44), Pages().DefragResultsPage().StatusColour());
    EXPECT_FALSE(Page().StopConfirmed());
    EXPECT_FALSE(Page().Polling());
    EXPECT_EQ(svc::JobState::Finished, ServiceJobState());
}

TEST_F(ProgressPageTest, DriveWithoutReadableFreeSpaceIsRefused) {
    MessageBoxAnswer notice(Owner(), IDOK);
    EXPECT_FALSE(Page().StartJob(JobMode::Scan, L'Q', L"(Q:)"));
    EXPECT_EQ(L"(Q:) has not enough free space for Optimizing.", notice.Text());
    EXPECT_FALSE(Page().Polling());
    EXPECT_NE(svc::JobState::Running, ServiceJobState()) << "no job was started";
}

TEST_F(ProgressPageTest, SpaceKeyNeverReachesTheButtons) {
    HWND stop = Page().Item(IDC_PROGRESS_STOP);
    for (UINT message : {WM_KEYDOWN, WM_CHAR, WM_KEYUP}) {
        MSG space{stop, message, VK_SPACE, 0, 0, {}};
        EXPECT_TRUE(fw::PreTranslate(space)) << message;
    }
    MSG timer{Page().Handle(), WM_TIMER, 32, 0, 0, {}};
    EXPECT_FALSE(fw::PreTranslate(timer)) << "other messages that carry 32 pass";
}

}  // namespace
