// What loading a scan's results costs the user-interface thread beyond the remote
// calls themselves: the scan results page's LoadScanResults over 2,500 file records,
// against 2,500 bare GetFileRecord stub calls in the same run. Each record the page
// asks for is paired with one bare stub call for the same index, timed apart, and the
// pair's order alternates, so that a busy machine weighs on both alike; the page's
// time is the whole load less the bare calls inside it. Run under Wine by hand:
//   scripts/wine-run.sh build/<tree>/bench/flows/pages_bench.exe [rounds]
// Installs the stand-in service for the run when it is not installed, and removes it
// again; works below a registry key of its own, deleted afterwards.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <vector>

#include "app/DefragApp.h"
#include "flows/FileRecordReader.h"
#include "flows/HDDScanContainer.h"
#include "flows/ScanResults.h"
#include "service/CellCountSource.h"
#include "service/DefragClient.h"
#include "service/DefragRpc_c.h"
#include "service/JobCommandSender.h"
#include "service/ServiceRecord.h"
#include "tests/service/StandInService.h"

namespace svc = vantrel::service;

namespace {

constexpr long kRecords = 2500;
constexpr wchar_t kBenchKey[] = L"Software\\VantrelPagesBench";

class MapCells final : public svc::CellCountSource {
  public:
    int GetCellCount() override { return 1472; }
};

LONGLONG Now() {
    LARGE_INTEGER ticks;
    QueryPerformanceCounter(&ticks);
    return ticks.QuadPart;
}

double TicksToMilliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1e3 / static_cast<double>(frequency.QuadPart);
}

// The service's list announced as 2,500 records; a model drive holding fewer is read
// round again. Every record goes through the same client call the page makes, and is
// paired with a bare stub call for the same index.
class PairedRecords final : public FileRecordSource {
  public:
    explicit PairedRecords(long available)
        : available_(std::max(available, 1L)), buffer_(std::make_unique<svc::FileRecord>()) {}
    int GetFileCount(long& count) override {
        long real = 0;
        const int answer = svc::GetFileCount(real);
        count = kRecords;
        return answer;
    }
    int GetFileRecord(long index, svc::FileEntry& entry) override {
        const long wrapped = index % available_;
        if (index % 2 == 0) {
            Bare(wrapped);
        }
        const int answer = ServiceFileRecords().GetFileRecord(wrapped, entry);
        if (index % 2 != 0) {
            Bare(wrapped);
        }
        return answer;
    }
    LONGLONG TakeBareTicks() {
        const LONGLONG ticks = bareTicks_;
        bareTicks_ = 0;
        return ticks;
    }

  private:
    void Bare(long index) {
        long returned = 0;
        const LONGLONG start = Now();
        Remote_GetFileRecord(index, sizeof(svc::FileRecord), &returned,
                             reinterpret_cast<unsigned char*>(buffer_.get()));
        bareTicks_ += Now() - start;
    }

    long available_;
    std::unique_ptr<svc::FileRecord> buffer_;
    LONGLONG bareTicks_ = 0;
};

double Milliseconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1e3 /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

bool WaitForFinished() {
    for (int tick = 0; tick < 600; ++tick) {
        long state = 0, detail = 0;
        svc::GetJobState(state, detail);
        if (state == svc::JobState::Finished) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
    vantrel::testsupport::StandInService standIn(VANTREL_DEFRAGSVC_RELATIVE);
    const bool installedHere = !standIn.IsInstalled();
    if (installedHere && !standIn.Install(1500)) {
        std::fwprintf(stderr, L"could not install %ls\n", standIn.ExecutablePath().c_str());
        return 1;
    }
    int result = 0;
    {
        CDefragApp app;
        app.Binding.Bind();
        app.Settings.KeyPath = kBenchKey;
        app.Settings.DriveHistory.Add(MakeDriveRecord(L'C'));
        app.Drives.CurrentDriveLetter = L'C';

        svc::ServiceRecord record;
        MapCells cells;
        long available = 0;
        if (svc::SendJobCommand(record, cells, svc::JobCommandCode::Reset, L'C', 0) != 1 ||
            svc::SendJobCommand(record, cells, svc::JobCommandCode::Analyze, L'C', 0) != 1 ||
            !WaitForFinished() || svc::GetFileCount(available) == 0 || available < 1) {
            std::fwprintf(stderr, L"the stand-in service did not finish a scan with results\n");
            result = 1;
        } else {
            // The page as the container holds it; its window is not needed to load.
            CDlgHDDScan pages;
            PairedRecords records(available);
            CDlgScanResults page(pages, records);
            page.LoadScanResults();  // warms the link and the caches up
            records.TakeBareTicks();

            std::vector<double> bare, loading, ratios;
            for (int round = 0; round < rounds; ++round) {
                const double whole = Milliseconds([&] { page.LoadScanResults(); });
                bare.push_back(TicksToMilliseconds(records.TakeBareTicks()));
                loading.push_back(whole - bare.back());
                ratios.push_back(loading.back() / bare.back());
                std::wprintf(L"round %d: %.1f ms bare, %.1f ms loading (%.3f)\n", round + 1,
                             bare.back(), loading.back(), ratios.back());
                std::fflush(stdout);
            }
            std::wprintf(L"%ld records in the service's list, %ld read per load, %d rounds\n",
                         available, kRecords, rounds);
            std::wprintf(L"%-44ls %10.1f ms\n", L"2,500 bare GetFileRecord stub calls (median)",
                         Median(bare));
            std::wprintf(L"%-44ls %10.1f ms\n", L"LoadScanResults over 2,500 records (median)",
                         Median(loading));
            std::wprintf(L"%-44ls %10.3f\n", L"ratio (median of the rounds)", Median(ratios));
            std::wprintf(L"figures: %ls volume, %ls data, %ls fragmented files\n",
                         page.Figures().volumeText.c_str(), page.Figures().dataText.c_str(),
                         page.Figures().fragmentedText.c_str());
        }
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    if (installedHere) {
        standIn.Uninstall();
    } else {
        standIn.StopAndWait();
    }
    return result;
}
