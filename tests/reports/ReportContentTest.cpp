// The bytes of both reports, written through the report writer from a fake service
// into a real folder: the heading, the figure rows and their values, the failure
// list and its listing rule, escaping and UTF-8.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "reports/ReportTemplates.h"
#include "reports/ReportWriter.h"
#include "tests/support/FakeJobService.h"
#include "tests/reports/RecordingLauncher.h"
#include "tests/reports/ReportBytes.h"
#include "tests/support/SystemTimes.h"
#include "tests/ui/format/TempFolder.h"

using reports_test::CountOf;
using reports_test::ReadBytes;
using reports_test::Utf8;

namespace {

std::string Row(const std::string& label, const std::string& value) {
    return "<tr><td class=\"foot\" >" + label + "</td> <td class=\"foot\">" + value +
           "</td></tr>\r\n";
}

std::string Bold(const std::string& words) {
    return "<strong><strong>" + words + "</strong>:</strong>";
}

std::string FailureRow(const std::string& path, const std::string& reason) {
    return "<tr><td class=foot>" + path + "</td> <td class=foot>" + reason + "</td></tr>";
}

class ReportContentTest : public testing::Test {
  protected:
    ReportContentTest() { source_.FillTypicalJob(); }

    // Writes the report of `kind` and answers its bytes.
    std::string Write(ReportKind kind) {
        const std::wstring folder = folder_.Path();
        const ReportOutcome outcome =
            WriteReportFrom(nullptr, kind, page_, source_, [folder](std::wstring& out) {
                out = folder;
                return true;
            });
        EXPECT_EQ(ReportOutcome::Opened, outcome);
        return ReadBytes(folder + L"\\" + std::wstring(ReportFileName(kind)));
    }

    TempFolder folder_;
    RecordingLauncher launcher_;
    vantrel::testsupport::FakeJobService source_;
    PageFigures page_{L"12.34%", L"23.45%", 12};
};

TEST_F(ReportContentTest, ScanReportHasItsHeadingAndFourteenFigureRowsInOrder) {
    const std::string report = Write(ReportKind::Scan);

    EXPECT_EQ(0u, report.rfind("<!DOCTYPE html PUBLIC", 0)) << "no byte-order mark before it";
    EXPECT_NE(std::string::npos, report.find("<title> Scanning Report </title>"));
    EXPECT_NE(std::string::npos,
              report.find("<p><span class=\"note\"><strong >Last Scan Time: </strong>2024-01-15  "
                          "09:30:00<br></span></p><h2>Disk: C:\\, System</h2><br />" +
                          std::string(report_template::kTableStart.begin(),
                                      report_template::kTableStart.end())));
    const std::string rows =
        Row("Disk Size:", "100.0 GB") + Row("Free Size:", "50.0 GB") +
        Row("Clusters:", "26214400") + Row("Sectors per cluster:", "8") +
        Row("Bytes per sector:", "512") + Row("Started Scanning at:", "2024-01-15  09:30:00") +
        Row("Completed Scanning at:", "2024-01-15  12:35:09") + Row("Elapsed time:", "03:05:09") +
        Row("Total Files:", "1234567") + Row("Total Directories:", "45678") +
        Row("Fragmented File Count:", "10") + Row(Bold("Volume Fragmentation"), "12.34%") +
        Row(Bold("Data Fragmentation"), "23.45%") +
        Row(Bold("Largest Continuous Free Space"), "1.0 GB") + "</table>\r\n</div></div></td>";
    EXPECT_NE(std::string::npos, report.find(rows)) << report;
    EXPECT_EQ(14u, CountOf(report, "<tr><td class=\"foot\" >"));
    EXPECT_EQ(std::string::npos, report.find("could not be defragmented"));
    EXPECT_NE(std::string::npos, report.find("Copyright &copy; Brenlow."));
    EXPECT_EQ(report.size() - 9, report.find("</html>\r\n"));
    EXPECT_EQ(std::string::npos, report.find('\0'));
    // The scan report shows no files, so none are fetched for it.
    EXPECT_EQ(0, source_.recordCalls);
}

TEST_F(ReportContentTest, OptimizationReportListsOnlyAsManyFailedFilesAsTheCountsLeave) {
    // FragmentedFiles 10, DeFragmentedFiles 7: at most three files are listed.
    source_.AddFile(L"C:\\ok1.dat", 0);
    source_.AddFile(L"C:\\full.dat", 1);
    source_.AddFile(L"C:\\odd.dat", 9);
    source_.AddFile(L"C:\\ok2.dat", 0);
    source_.AddFile(L"C:\\negative.dat", -1);
    source_.AddFile(L"C:\\locked.dat", 4);
    source_.AddFile(L"C:\\safe.dat", 6);

    const std::string report = Write(ReportKind::Optimization);

    EXPECT_NE(std::string::npos, report.find("<title> Optimization Report </title>"));
    EXPECT_NE(std::string::npos,
              report.find("<strong >Last Time Optimization: </strong>2024-01-15  09:30:00"));
    const std::string rows =
        Row("Started Optimization at:", "2024-01-15  09:30:00") +
        Row("Completed Optimization at:", "2024-01-15  12:35:09") +
        Row("Elapsed time:", "03:05:09") + Row("Total Files:", "1234567") +
        Row("Total Directories:", "45678") + Row("Fragmented File Count:", "12 *") +
        Row("Defragmented File Count:", "9") + Row("Skipped File Count:", "3") +
        Row(Bold("Volume Fragmentation"), "12.34%") + Row(Bold("Data Fragmentation"), "23.45%") +
        Row(Bold("Largest Continuous Free Space"), "1.0 GB") +
        // The figure table is closed by the failure list's opening.
        "</table><table><tr><td class=foot>* Might differ from the count in last "
        "scan</td></tr></table>";
    EXPECT_NE(std::string::npos, report.find(rows)) << report;
    EXPECT_EQ(16u, CountOf(report, "<tr><td class=\"foot\" >"));

    const std::string list =
        "<tr><td class=foot><strong>FilePath</strong></td>  <td "
        "class=foot><strong>Reason</strong></td></tr>" +
        FailureRow("C:\\full.dat", "No Free Space") + FailureRow("C:\\odd.dat", "Unknown") +
        FailureRow("C:\\negative.dat", "Unknown") + "</table></div>\r\n";
    EXPECT_NE(std::string::npos, report.find(list)) << report;
    EXPECT_EQ(std::string::npos, report.find("locked.dat"));
    EXPECT_EQ(std::string::npos, report.find("ok1.dat"));
    // Reading stopped once the third failed file was listed.
    EXPECT_EQ(5, source_.recordCalls);
}

TEST_F(ReportContentTest, EveryReasonCodeHasItsText) {
    const std::pair<std::int32_t, const wchar_t*> expected[] = {
        {0, L"OK"},
        {1, L"No Free Space"},
        {2, L"Can't Move Data"},
        {3, L"Stopped By User"},
        {4, L"Locked"},
        {5, L"Can't Move on FAT"},
        {6, L"Safe File"},
        {7, L"Unknown"},
        {9, L"Unknown"},
        {-1, L"Unknown"},
        {INT_MIN, L"Unknown"},
        {INT_MAX, L"Unknown"},
    };
    for (const auto& [code, text] : expected) {
        EXPECT_EQ(std::wstring_view(text), report_template::ReasonText(code)) << code;
    }
}

TEST_F(ReportContentTest, MoreDefragmentedThanFragmentedListsNothingAndCountsDoNotWrap) {
    source_.statistics->FragmentedFiles = 5;
    source_.statistics->DeFragmentedFiles = 8;
    source_.AddFile(L"C:\\failed.dat", 2);
    page_.firstPassFragmentedFiles = 0;

    const std::string report = Write(ReportKind::Optimization);

    EXPECT_NE(std::string::npos, report.find(Row("Defragmented File Count:", "0")));
    EXPECT_NE(std::string::npos, report.find(Row("Skipped File Count:", "0")));
    EXPECT_EQ(std::string::npos, report.find("failed.dat"));
    EXPECT_EQ(0, source_.recordCalls);
}

TEST_F(ReportContentTest, ElapsedHoursAreNotLimitedToTwoDigits) {
    source_.statistics->StartTime = MakeSystemTime(2024, 1, 1, 0, 0, 0);
    source_.statistics->EndTime = MakeSystemTime(2024, 1, 5, 4, 0, 0);
    EXPECT_NE(std::string::npos, Write(ReportKind::Scan).find(Row("Elapsed time:", "100:00:00")));

    // An end before the start (a clock set back) reads as no time, not as 5 billion hours.
    source_.statistics->EndTime = MakeSystemTime(2023, 12, 31, 23, 0, 0);
    EXPECT_NE(std::string::npos, Write(ReportKind::Scan).find(Row("Elapsed time:", "00:00:00")));
}

TEST_F(ReportContentTest, TextsFromOutsideAreWrittenAsEntities) {
    vantrel::service::WriteFieldText(source_.statistics->VolumeText, L"Tom & \"Jerry\" <disk>");
    source_.statistics->DriveLetter = L'<';
    source_.AddFile(L"C:\\a&copy.txt", 4);
    source_.AddFile(L"C:\\<script>alert(\"x\")</script>.txt", 5);
    page_.volumeText = L"1 < 2 & 3";

    const std::string report = Write(ReportKind::Optimization);

    EXPECT_NE(std::string::npos,
              report.find("<h2>Disk: &lt;:\\, Tom &amp; &quot;Jerry&quot; &lt;disk&gt;</h2>"));
    EXPECT_NE(std::string::npos, report.find(FailureRow("C:\\a&amp;copy.txt", "Locked")));
    EXPECT_NE(std::string::npos,
              report.find(FailureRow("C:\\&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;.txt",
                                     "Can't Move on FAT")));
    EXPECT_NE(std::string::npos,
              report.find(Row(Bold("Volume Fragmentation"), "1 &lt; 2 &amp; 3")));
    EXPECT_EQ(std::string::npos, report.find("<script>"));
}

TEST_F(ReportContentTest, TextsBeyondBasicLatinAreWrittenAsUtf8) {
    const std::wstring label = L"Syst\u00e8me \u65e5\u672c";
    const std::wstring path =
        L"C:\\Fotos\\\u00dcberblick \u0436\u0443\u0440\u043d\u0430\u043b "
        L"\U0001F600.jpg";
    vantrel::service::WriteFieldText(source_.statistics->VolumeText, label);
    source_.AddFile(path, 1);
    // An unpaired surrogate cannot be written as UTF-8: it becomes U+FFFD.
    source_.AddFile(std::wstring(L"C:\\broken") + wchar_t(0xD800) + L".txt", 2);

    const std::string report = Write(ReportKind::Optimization);

    EXPECT_NE(std::string::npos,
              report.find("Disk: C:\\, Syst\xC3\xA8me \xE6\x97\xA5\xE6\x9C\xAC"));
    EXPECT_NE(std::string::npos, report.find(Utf8(path)));
    EXPECT_NE(std::string::npos, report.find("\xF0\x9F\x98\x80.jpg"));
    EXPECT_NE(std::string::npos, report.find("C:\\broken\xEF\xBF\xBD.txt"));
    EXPECT_EQ(Utf8(L"\u00dc"), "\xC3\x9C");
}

TEST_F(ReportContentTest, ASilentServiceGivesAReportOfZeros) {
    source_.answers = false;

    const std::string report = Write(ReportKind::Optimization);

    EXPECT_NE(std::string::npos, report.find(Row("Disk Size:", "0 B")));
    EXPECT_NE(std::string::npos, report.find(Row("Clusters:", "0")));
    EXPECT_NE(std::string::npos, report.find(Row("Started Optimization at:", "")));
    EXPECT_NE(std::string::npos, report.find(Row("Elapsed time:", "00:00:00")));
    // No drive letter: the heading is still whole.
    EXPECT_NE(std::string::npos, report.find("<h2>Disk: :\\, </h2><br />"));
    EXPECT_NE(std::string::npos, report.find("</table></div>\r\n"));
}

TEST_F(ReportContentTest, ConfusedClusterFiguresStayBounded) {
    source_.statistics->SectorsPerCluster = -8;
    EXPECT_NE(std::string::npos, Write(ReportKind::Scan).find(Row("Disk Size:", "0 B")));

    source_.statistics->SectorsPerCluster = 0x7FFFFFFF;
    source_.statistics->BytesPerSector = 0x7FFFFFFF;
    source_.statistics->TotalClusters = ~0ull;
    const std::string report = Write(ReportKind::Scan);
    EXPECT_NE(std::string::npos, report.find(Row("Disk Size:", "16777216.0 TB"))) << report;
}

TEST_F(ReportContentTest, AFileListThatEndsEarlyIsReadUpToItsEnd) {
    source_.reportedCount = 1000000;  // the service promises more than it has
    source_.statistics->FragmentedFiles = 100;
    source_.statistics->DeFragmentedFiles = 0;
    source_.AddFile(L"C:\\one.dat", 1);
    source_.AddFile(L"C:\\two.dat", 2);

    const std::string report = Write(ReportKind::Optimization);

    EXPECT_NE(std::string::npos, report.find(FailureRow("C:\\two.dat", "Can't Move Data")));
    EXPECT_NE(std::string::npos, report.find(Row("Skipped File Count:", "2")));
    EXPECT_EQ(3, source_.recordCalls);
}

}  // namespace
