// The "View Summary Report" links of both results pages inside the real main window,
// after a scan and an optimization by a scripted service: each link
// writes its report into the application data folder with the figures the page
// shows, puts the pictures beside it and hands it to the browser (recorded here, so
// that no browser starts).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/DefragApp.h"
#include "app/MainWindow.h"
#include "flows/HDDScanContainer.h"
#include "framework/MessageLoop.h"
#include "reports/ReportImages.h"
#include "reports/ReportWriter.h"
#include "service/JobRecords.h"
#include "state/RegistryKey.h"
#include "tests/framework/TestSupport.h"
#include "tests/reports/RecordingLauncher.h"
#include "tests/reports/ReportBytes.h"
#include "tests/support/MessageBoxAnswer.h"
#include "tests/support/StandInWindowTest.h"
#include "ui/format/Paths.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"

namespace svc = vantrel::service;
using reports_test::Exists;
using reports_test::ReadBytes;
using reports_test::Utf8;
using vantrel::testsupport::FakeServiceWindowTest;
using vantrel::testsupport::MessageBoxAnswer;

namespace {

constexpr DWORD kJobTimeoutMs = 60000;
constexpr wchar_t kLabel[] = L"(C:) Test";
constexpr wchar_t kHistoryKey[] = L"Software\\Brenlow\\VantrelReportTests";

std::string Row(const std::string& label, const std::string& value) {
    return "<tr><td class=\"foot\" >" + label + "</td> <td class=\"foot\">" + value +
           "</td></tr>\r\n";
}

std::string Bold(const std::string& words) {
    return "<strong><strong>" + words + "</strong>:</strong>";
}

// A click on the page's report link, as the mouse gives it.
void ClickLink(fw::Window& page, const RECT& link) {
    const LPARAM at = MAKELPARAM((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    SendMessageW(page.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(page.Handle(), WM_LBUTTONUP, 0, at);
}

class ReportPagesTest : public FakeServiceWindowTest {
  protected:
    static void SetUpTestSuite() { StartSuite(kHistoryKey); }
    static void TearDownTestSuite() { EndSuite(kHistoryKey); }

    void SetUp() override {
        ASSERT_TRUE(app_ != nullptr);
        service_.FillTypicalJob();
        service_.AddFile(L"C:\\Windows\\pagefile.sys", 6, 4, 4, 512);
        service_.AddFile(L"C:\\Users\\Anna\\Videos\\Holiday.mp4", 0, 7, 1, 90000);
        service_.AddFile(L"C:\\Program Files\\Tool\\tool.dll", 4, 2, 2, 40);
        app_->Settings.DriveHistory.clear();
        app_->Settings.DriveHistory.Add(MakeDriveRecord(L'C'));
        app_->Drives.CurrentDriveLetter = L'C';
        OpenWindow();
        ASSERT_TRUE(GetAppDataPath(folder_, L""));
        for (ReportKind kind : {ReportKind::Scan, ReportKind::Optimization}) {
            DeleteFileW(ReportPath(kind).c_str());
        }
    }

    void TearDown() override { CloseWindow(); }

    std::wstring ReportPath(ReportKind kind) const {
        return folder_ + L"\\" + std::wstring(ReportFileName(kind));
    }

    bool WaitForPage(fw::Window& page) {
        return fw::test::PumpUntil([&] { return Pages().VisiblePage() == &page; }, kJobTimeoutMs);
    }

    std::wstring folder_;
    RecordingLauncher launcher_;
};

TEST_F(ReportPagesTest, BothLinksWriteTheReportsWithThePagesFigures) {
    // A scan to its results page.
    CDlgDiskAnalyzing& progress = Pages().ProgressPage();
    {
        // Should the scan find no fragmented files, the page asks whether to show results.
        MessageBoxAnswer showResults(Owner(), IDYES, kJobTimeoutMs);
        ASSERT_TRUE(progress.StartJob(JobMode::Scan, L'C', kLabel));
        Pages().ShowPage(progress);
        ASSERT_TRUE(WaitForPage(Pages().ScanResultsPage()));
    }
    CDlgScanResults& scan = Pages().ScanResultsPage();
    const svc::JobStatistics* statistics = service_.statistics.get();

    ClickLink(scan, scan.ReportLinkArea());

    const std::string scanReport = ReadBytes(ReportPath(ReportKind::Scan));
    ASSERT_NE("<missing>", scanReport);
    EXPECT_NE(std::string::npos, scanReport.find(Row("Fragmented File Count:",
                                                     std::to_string(scan.FragmentedFileCount()))));
    EXPECT_NE(std::string::npos,
              scanReport.find(Row("Total Files:", std::to_string(statistics->TotalFiles))));
    EXPECT_NE(std::string::npos,
              scanReport.find(Row(Bold("Volume Fragmentation"), Utf8(scan.Figures().volumeText))));
    EXPECT_NE(std::string::npos,
              scanReport.find(Row(Bold("Data Fragmentation"), Utf8(scan.Figures().dataText))));
    EXPECT_NE(std::string::npos, scanReport.find("<h2>Disk: C:\\, "));
    ASSERT_EQ(1u, launcher_.Launches().size()) << "the scan report is handed to the browser";

    // "Defrag": two passes to the optimization results page.
    MessageBoxAnswer success(Owner(), IDOK, kJobTimeoutMs);
    scan.Defrag();
    ASSERT_TRUE(WaitForPage(Pages().DefragResultsPage()));
    EXPECT_TRUE(success.Answered()) << "the notice of a completed optimization";
    CDlgDefragResults& optimization = Pages().DefragResultsPage();
    ASSERT_FALSE(optimization.Aborted());

    ClickLink(optimization, optimization.ReportLinkArea());

    const std::string optimizationReport = ReadBytes(ReportPath(ReportKind::Optimization));
    ASSERT_NE("<missing>", optimizationReport);
    EXPECT_NE(std::string::npos,
              optimizationReport.find(
                  Row("Fragmented File Count:",
                      std::to_string(optimization.FirstPassFragmentedCount()) + " *")));
    EXPECT_NE(std::string::npos,
              optimizationReport.find(
                  Row(Bold("Volume Fragmentation"), Utf8(optimization.After().volumeText))));
    EXPECT_NE(std::string::npos, optimizationReport.find(Row(Bold("Data Fragmentation"),
                                                             Utf8(optimization.After().dataText))));
    EXPECT_NE(std::string::npos,
              optimizationReport.find("List of files which could not be defragmented"));
    for (const ReportImage& image : PageImages()) {
        EXPECT_TRUE(Exists(folder_ + L"\\" + image.fileName)) << image.fileName;
    }
    ASSERT_EQ(2u, launcher_.Launches().size());
    EXPECT_NE(std::wstring::npos,
              (launcher_.Launches()[1].file + launcher_.Launches()[1].parameters)
                  .find(ReportPath(ReportKind::Optimization)));
}

}  // namespace
