// The progress page inside the real main window over the defrag service running real
// jobs, with the real waits of a job start: on simulated drives a scan runs to its end
// and hands over to the scan results, and an optimization runs both passes to success;
// on Wine's own drive, which the service cannot work on, a scan ends and the results
// show no figure at all.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/flows/ProgressFixture.h"

namespace {

using namespace progress_test;
using vantrel::testsupport::kFastJobMs;
using vantrel::testsupport::ServiceJobState;
using vantrel::testsupport::SetPace;

TEST_F(ProgressRoadTest, ScanRunsToTheEndAndHandsOverToTheScanResults) {
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

TEST_F(ProgressRoadTest, OptimizationRunsTwoPassesThenReportsSuccess) {
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

TEST_F(MachineRoadTest, WinesDriveEndsTheScanAndTheResultsShowNoInventedFigures) {
    ASSERT_TRUE(StartJob(JobMode::Scan));
    ASSERT_TRUE(WaitForPage(Pages().ScanResultsPage()));
    EXPECT_EQ(svc::JobState::Finished, window_->JobState());
    const ScanFigures& figures = Pages().ScanResultsPage().Figures();
    EXPECT_FALSE(figures.available);
    EXPECT_EQ(L"Not evaluated", figures.volumeText);
    EXPECT_EQ(L"Not evaluated", figures.dataText);
    EXPECT_EQ(static_cast<UINT>(IDS_NOT_EVALUATED), figures.recommendation);
    EXPECT_EQ(L"0", figures.fragmentedText);
    EXPECT_EQ(L"0", Page().FilesText());
    EXPECT_EQ(1, app_->Settings.DriveHistory[0].Status) << "recorded as not scanned";
}

}  // namespace
