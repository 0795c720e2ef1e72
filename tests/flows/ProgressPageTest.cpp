// The progress page inside the real main window over a scripted service: the map
// follows the service while a scan runs, stop questions end or resume a job, an
// optimization makes two passes with the commands and waits of a job start unless
// stopped in the first, and a drive without readable free space is refused.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "flows/DiskAnalyzingRules.h"
#include "tests/flows/ProgressFixture.h"
#include "ui/format/StringPool.h"

namespace {

using namespace progress_test;

TEST_F(ProgressPageTest, ScanFillsTheMapAndStopsOnlyWhenConfirmed) {
    ServeMap(svc::CellState::Free);
    service_.statistics->ProcessedClusters = service_.statistics->UsedClusters / 4;
    svc::WriteFieldText(service_.statistics->CurrentFile, L"C:\\Windows\\notepad.exe");
    ASSERT_TRUE(StartJob(JobMode::Scan));
    EXPECT_EQ(svc::JobCommandCode::Analyze, service_.commands.back().Command);
    EXPECT_EQ(1472, service_.commands.back().MapCellCount) << "the map's cell count goes along";
    EXPECT_EQ(std::vector<DWORD>{2048}, service_.waits) << "the scan start's wait";
    ASSERT_TRUE(WaitUntilRunning(IDC_PROGRESS_STOP)) << "a running job locks the main window";
    EXPECT_FALSE(Shows(IDC_PROGRESS_STOP_DEFRAG));

    ASSERT_TRUE(Pump([&] { return Page().Map().Cells().size() == 1472; }));
    const std::vector<svc::MapCell> early = Page().Map().Cells();
    ServeMap(svc::CellState::Fragmented);
    EXPECT_TRUE(Pump([&] { return ChangedCells(early, Page().Map()) == 1472; }))
        << "the map follows the service while the scan runs";
    EXPECT_TRUE(Pump([&] {
        return SendDlgItemMessageW(Page().Handle(), IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0) == 125000;
    })) << "a quarter of the used clusters fills a quarter of the scan's half of the bar";
    EXPECT_EQ(L"C:\\Windows\\notepad.exe", Page().ItemText(IDC_PROGRESS_PATH))
        << "the file being looked at";
    EXPECT_TRUE(app_->VolumeMapCache.HoldsMapOf(L'C')) << "every map drawn is cached";
    EXPECT_EQ(1472, app_->VolumeMapCache.CellCount());

    {
        MessageBoxAnswer no(Owner(), IDNO);
        Page().ConfirmStop();
        EXPECT_EQ(L"This will stop the scanning process. Are you sure?", no.Text());
        EXPECT_EQ(1, service_.pauses) << "the job is paused while the user decides";
    }
    EXPECT_FALSE(Page().StopConfirmed());
    EXPECT_EQ(1, service_.resumes) << "No resumes the scan";
    EXPECT_EQ(0, service_.stops);
    const int polls = service_.stateCalls;
    EXPECT_TRUE(Pump([&] { return service_.stateCalls > polls + 2; })) << "and the page polls on";

    {
        MessageBoxAnswer yes(Owner(), IDYES);
        Page().ConfirmStop();
        EXPECT_TRUE(yes.Answered());
    }
    EXPECT_TRUE(Page().StopConfirmed());
    EXPECT_EQ(1, service_.stops);
    ASSERT_TRUE(WaitForPage(Pages().ScanResultsPage())) << "a stopped scan ends as finished";
    EXPECT_TRUE(Page().StopConfirmed()) << "the results page reads the mark";
    EXPECT_EQ(IDS_SCANNING_ABORTED, Pages().ScanResultsPage().Figures().recommendation)
        << "Scanning aborted";
    EXPECT_EQ(DriveStatusNotScanned, app_->Settings.DriveHistory[0].Status);
}

TEST_F(ProgressPageTest, StopInTheFirstOptimizationPassEndsWithoutASecondPass) {
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
    EXPECT_EQ(1, service_.jobsStarted) << "nothing was started again";
    EXPECT_EQ(L"Optimization aborted", Pages().DefragResultsPage().StatusText());
    EXPECT_EQ(RGB(169, 1, 1), Pages().DefragResultsPage().StatusColour());
    EXPECT_FALSE(Page().Polling());
    EXPECT_FALSE(Shows(IDC_PROGRESS_STOP_DEFRAG));
    EXPECT_FALSE(Shows(IDC_PROGRESS_BAR));
}

TEST_F(ProgressPageTest, OptimizationStartsTheSecondPassItselfWithTheMapOfTheScan) {
    service_.pollsPerJob = 3;
    app_->VolumeMapCache.StartScanOf(L'C');
    const std::vector<svc::MapCell> scanned(1472, svc::MapCell{1, 2, 3, 4, 5});
    app_->VolumeMapCache.Store(scanned, L'C');
    MessageBoxAnswer success(Owner(), IDOK, kJobTimeoutMs);
    ASSERT_TRUE(StartJob(JobMode::Optimize));
    ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &Pages().DefragResultsPage(); }));
    EXPECT_EQ(L"You have successfully optimized (C:) Test !", success.Text());
    EXPECT_EQ(1, Page().Pass()) << "the page started the second pass itself";
    EXPECT_EQ(L"Optimization complete", Pages().DefragResultsPage().StatusText());
    EXPECT_FALSE(Page().Polling());

    const std::vector<std::int32_t> expected = {
        svc::JobCommandCode::Reset, svc::JobCommandCode::Reset, svc::JobCommandCode::Optimize,
        svc::JobCommandCode::Reset, svc::JobCommandCode::Optimize};
    EXPECT_EQ(expected, service_.CommandCodes());
    EXPECT_EQ(1, service_.commands[2].Flag) << "Optimize carries the flag";
    EXPECT_EQ((std::vector<DWORD>{1024, 1024, 2024}), service_.waits)
        << "two waits after the first Optimize, one after the second";
    ASSERT_EQ(1472u, service_.handedBack.size()) << "the scan's map goes back to the service";
    EXPECT_EQ(5u, service_.handedBack[0].Mft);
}

TEST_F(ProgressPageTest, DriveWithoutReadableFreeSpaceIsRefused) {
    MessageBoxAnswer notice(Owner(), IDOK);
    EXPECT_FALSE(Page().StartJob(JobMode::Scan, L'Q', L"(Q:)"));
    EXPECT_EQ(L"(Q:) has not enough free space for Optimizing.", notice.Text());
    EXPECT_FALSE(Page().Polling());
    EXPECT_EQ(0, service_.jobsStarted) << "no job was started";
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

TEST_F(ProgressPageTest, PollsTheServiceMissesKeepTheJobUntilItAnswersAgain) {
    ASSERT_TRUE(StartJob(JobMode::Scan));
    ASSERT_TRUE(WaitUntilRunning(IDC_PROGRESS_STOP));
    service_.answers = false;
    const int polls = service_.stateCalls;
    ASSERT_TRUE(Pump([&] { return service_.stateCalls > polls + 3; }))
        << "a job last seen running is polled on";
    EXPECT_TRUE(Page().Polling());
    EXPECT_TRUE(Shows(IDC_PROGRESS_STOP)) << "and can still be stopped";
    EXPECT_EQ(svc::JobState::Running, window_->JobState()) << "a failed call is no answer";
    EXPECT_TRUE(LinksLocked());

    // The service answers again, and the job has ended meanwhile.
    service_.state = svc::JobState::Finished;
    service_.answers = true;
    ASSERT_TRUE(WaitForPage(Pages().ScanResultsPage()));
    EXPECT_NE(IDS_SCANNING_ABORTED, Pages().ScanResultsPage().Figures().recommendation);
}

TEST_F(ProgressPageTest, FiveSecondsOfFailedPollsGiveTheServiceUp) {
    ASSERT_TRUE(StartJob(JobMode::Scan));
    ASSERT_TRUE(WaitUntilRunning(IDC_PROGRESS_STOP));
    MessageBoxAnswer notice(Owner(), IDOK);
    service_.answers = false;
    const int answered = service_.stateCalls;
    ASSERT_TRUE(Pump([&] { return service_.stateCalls > answered + 1; }));
    EXPECT_EQ(&Pages().ProgressPage(), Pages().VisiblePage()) << "a short silence changes nothing";
    service_.clockAhead = kServiceLostAfterMs;
    ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &Pages().SelectionPage(); }));
    EXPECT_EQ(L"Defrag service is either not installed or it is not running.", notice.Text());
    EXPECT_FALSE(Page().Polling());
    EXPECT_EQ(1, window_->WorkflowStep());
    EXPECT_EQ(svc::JobState::Idle, window_->JobState());
    EXPECT_TRUE(Pump([&] { return !LinksLocked(); })) << "the main window is usable again";
}

TEST_F(ProgressPageTest, AJobThatEndsUnderTheCloseQuestionIsNotTakenForAStoppedOne) {
    ASSERT_TRUE(StartJob(JobMode::Scan));
    ASSERT_TRUE(WaitUntilRunning(IDC_PROGRESS_STOP));
    // The job ends while the user reads the question (a poll would see it end).
    service_.state = svc::JobState::Finished;
    {
        MessageBoxAnswer no(Owner(), IDNO, 60000, 600);
        SendMessageW(Owner(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(LoadPooledString(IDS_CONFIRM_STOP_ON_CLOSE), no.Text());
    }
    EXPECT_FALSE(window_->HasEnded());
    ASSERT_TRUE(WaitForPage(Pages().ScanResultsPage())) << "the answer decides, then the poll";
    EXPECT_FALSE(Page().StopConfirmed());
    EXPECT_NE(IDS_SCANNING_ABORTED, Pages().ScanResultsPage().Figures().recommendation);
    EXPECT_EQ(0, service_.stops);
}

TEST_F(ProgressPageTest, WhileTheResultsAreReadTheWindowAnswersAndACloseEndsTheReadingFirst) {
    for (int i = 0; i < 400; ++i) {
        service_.AddFile(L"C:\\f" + std::to_wstring(i), 0, 2, 1, 10);
    }
    service_.statistics->FragmentedFiles = 123;
    service_.onRecord = [&](long index) {
        if (index == 50) {
            // The user closes the window while the results are read.
            PostMessageW(Owner(), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    };
    ASSERT_TRUE(StartJob(JobMode::Scan));
    ASSERT_TRUE(WaitUntilRunning(IDC_PROGRESS_STOP));
    service_.state = svc::JobState::Finished;
    ASSERT_TRUE(Pump([&] { return window_->HasEnded(); }, 30000))
        << "the close comes once the reading has ended";
    EXPECT_LT(service_.recordCalls, 400) << "the close ended the reading early";
    EXPECT_GT(service_.recordCalls, 50);
    EXPECT_EQ(1, service_.countCalls);
    EXPECT_EQ(svc::JobCommandCode::Reset, service_.commands.back().Command)
        << "closed as after a job: the service was reset";
    EXPECT_NE(L"123", app_->Settings.DriveHistory[0].FragmentedFiles)
        << "nothing half read is recorded";
}

TEST_F(ProgressPageTest, WhileTheResultsAreReadThePageCountsThemAndTakesNoInput) {
    for (int i = 0; i < 400; ++i) {
        service_.AddFile(L"C:\\f" + std::to_wstring(i), 0, 2, 1, 10);
    }
    std::wstring countShown;
    bool pagesTookInput = true;
    service_.onRecord = [&](long index) {
        if (index == 399) {
            countShown = Page().ItemText(IDC_PROGRESS_PATH);
            pagesTookInput = IsWindowEnabled(Pages().Handle()) != FALSE;
        }
    };
    ASSERT_TRUE(StartJob(JobMode::Scan));
    ASSERT_TRUE(WaitUntilRunning(IDC_PROGRESS_STOP));
    service_.state = svc::JobState::Finished;
    ASSERT_TRUE(WaitForPage(Pages().ScanResultsPage()));
    EXPECT_TRUE(countShown.starts_with(L"Reading the results: ") &&
                countShown.ends_with(L" of 400 files"))
        << std::string(countShown.begin(), countShown.end());
    EXPECT_FALSE(pagesTookInput);
    EXPECT_TRUE(IsWindowEnabled(Pages().Handle()));
}

}  // namespace
