// The optimization report against the installed stand-in service: how long fetching
// the job's file records takes on its own, how long the whole report takes, and how
// long the writing itself (text, UTF-8, file, pictures) takes for a failure list of
// 2,500 files. Run under Wine by hand:
//   scripts/wine-run.sh build/<tree>/bench/reports/report_bench.exe [repetitions]
// Installs the service for the run when it is not installed, and removes it again.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "reports/ReportDocument.h"
#include "reports/ReportFile.h"
#include "reports/ReportImages.h"
#include "reports/ReportInput.h"
#include "reports/ReportOpener.h"
#include "reports/ReportWriter.h"
#include "service/CellCountSource.h"
#include "service/DefragClient.h"
#include "service/JobService.h"
#include "service/JobCommandSender.h"
#include "service/ServiceBinding.h"
#include "service/ServiceRecord.h"
#include "tests/service/StandInService.h"
#include "ui/format/Paths.h"
#include "ui/format/ResourceString.h"

namespace {

namespace svc = vantrel::service;

constexpr std::size_t kListedFiles = 2500;

class MapCells final : public svc::CellCountSource {
  public:
    int GetCellCount() override { return 1472; }
};

double Milliseconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

double Median(int repetitions, const std::function<void()>& work) {
    std::vector<double> samples;
    for (int i = 0; i < repetitions; ++i) {
        samples.push_back(Milliseconds(work));
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

bool WaitForFinished() {
    for (int tick = 0; tick < 900; ++tick) {
        long state = 0;
        long detail = 0;
        svc::GetJobState(state, detail);
        if (state == svc::JobState::Finished) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

bool NoBrowser(HWND, const ShellLaunch&) {
    return true;
}

// Every record of the last job, as the report reads them, without a listing limit.
ReportInput FetchAll(svc::JobService& source) {
    ReportInput input;
    input.statistics = std::make_unique<svc::JobStatistics>();
    source.GetJobStatistics(*input.statistics);
    long count = 0;
    source.GetFileCount(count);
    for (long index = 0; index < count; ++index) {
        svc::FileEntry entry;
        if (source.GetFileRecord(index, entry) == 0) {
            break;
        }
        input.listedFiles.push_back(std::move(entry));
    }
    return input;
}

int Measure(int repetitions) {
    svc::ServiceRecord record;
    svc::ServiceLink source(record);
    ReportInput all = FetchAll(source);
    const std::size_t records = all.listedFiles.size();
    if (records == 0) {
        std::fwprintf(stderr, L"the stand-in service lists no files\n");
        return 1;
    }

    std::wstring folder;
    GetSpecialFolderPath(folder, CSIDL_LOCAL_APPDATA);
    AppendPathComponent(folder, L"Temp\\vantrel_report_bench");
    CreateDirectoryPath(folder);
    SetShellLauncher(NoBrowser);
    const ReportFolderFinder finder = [&folder](std::wstring& out) {
        out = folder;
        return true;
    };
    const PageFigures page{L"3.21%", L"6.54%", all.statistics->FragmentedFiles};

    const double fetch = Median(repetitions, [&] { FetchAll(source); });
    const double report = Median(repetitions, [&] {
        WriteReportFrom(nullptr, ReportKind::Optimization, page, source, finder);
    });

    // The writing of a report whose failure list holds 2,500 files (the records
    // repeated when the service has fewer), from records already fetched.
    ReportInput listed;
    listed.statistics = std::make_unique<svc::JobStatistics>(*all.statistics);
    for (std::size_t i = 0; listed.listedFiles.size() < kListedFiles; ++i) {
        svc::FileEntry entry = all.listedFiles[i % records];
        entry.ResultCode = svc::FileResult::Locked;
        listed.listedFiles.push_back(std::move(entry));
    }
    std::wstring path = folder;
    AppendPathComponent(path, ReportFileName(ReportKind::Optimization));
    std::size_t bytes = 0;
    const double writing = Median(repetitions, [&] {
        const std::wstring text = ComposeReport(ReportKind::Optimization, listed, page);
        bytes = Utf8Length(text);
        WriteReportFile(path, text);
        PlaceReportImages(folder, GetResourceModule());
    });
    SetShellLauncher(nullptr);

    std::wprintf(L"%zu file records; medians of %d runs, milliseconds\n", records, repetitions);
    std::wprintf(L"%-56ls %10.1f\n", L"fetching statistics and every record alone", fetch);
    std::wprintf(L"%-56ls %10.1f\n", L"whole optimization report (reads up to the list limit)",
                 report);
    std::wprintf(L"%-56ls %10.1f  (%zu bytes)\n",
                 L"writing alone: 2,500 listed files, UTF-8, file, pictures", writing, bytes);
    std::wprintf(L"%-56ls %9.2f%%\n", L"writing / (fetching + writing)",
                 100.0 * writing / (fetch + writing));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int repetitions = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    vantrel::testsupport::StandInService standIn(VANTREL_DEFRAGSVC_RELATIVE);
    const bool installedHere = !standIn.IsInstalled();
    if (installedHere && !standIn.Install(1500)) {
        std::fwprintf(stderr, L"could not install %ls\n", standIn.ExecutablePath().c_str());
        return 1;
    }
    svc::ServiceBinding binding;
    binding.Bind();
    int result = 1;
    {
        svc::ServiceRecord record;
        MapCells cells;
        // A finished first optimization pass: its records carry the result codes.
        if (svc::SendJobCommand(record, cells, svc::JobCommandCode::Reset, L'C', 0) != 1 ||
            svc::SendJobCommand(record, cells, svc::JobCommandCode::Optimize, L'C', 1) != 1 ||
            !WaitForFinished()) {
            std::fwprintf(stderr, L"the stand-in service did not finish an optimization\n");
        } else {
            result = Measure(repetitions);
        }
    }
    if (installedHere) {
        standIn.Uninstall();
    } else {
        standIn.StopAndWait();
    }
    return result;
}
