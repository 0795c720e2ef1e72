// Writes both reports of a typical job into "produced" beside this program, for the
// check that reads them with an HTML parser (check_report_html.py).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "reports/ReportWriter.h"
#include "tests/support/FakeJobService.h"
#include "tests/reports/RecordingLauncher.h"

namespace {

std::wstring ProducedFolder() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder = program;
    folder.erase(folder.find_last_of(L'\\'));
    return folder + L"\\produced";
}

TEST(ProducedReports, BothReportsOfATypicalJob) {
    const std::wstring folder = ProducedFolder();
    CreateDirectoryW(folder.c_str(), nullptr);
    RecordingLauncher launcher;
    vantrel::testsupport::FakeJobService source;
    source.FillTypicalJob();
    vantrel::service::WriteFieldText(source.statistics->VolumeText, L"Syst\u00e8me & <Daten>");
    source.AddFile(L"C:\\ok.dat", 0);
    source.AddFile(L"C:\\a&copy.txt", 4);
    source.AddFile(L"C:\\Fotos\\\u00dcberblick \u65e5\u672c \U0001F600.jpg", 9);
    source.AddFile(L"C:\\quote\"d <name>.txt", -1);
    source.AddFile(L"C:\\never listed.txt", 1);
    const ReportFolderFinder finder = [folder](std::wstring& out) {
        out = folder;
        return true;
    };

    EXPECT_EQ(ReportOutcome::Opened, WriteReportFrom(nullptr, ReportKind::Scan,
                                                     {L"12.34%", L"23.45%", 0}, source, finder));
    EXPECT_EQ(ReportOutcome::Opened, WriteReportFrom(nullptr, ReportKind::Optimization,
                                                     {L"0.50%", L"1.00%", 12}, source, finder));
}

}  // namespace
