// What loading a scan's results costs the user-interface thread, in the real main
// window against the stand-in service:
// - the scan results page's LoadScanResults over 2,500 file records, against 2,500
//   bare GetFileRecord stub calls in the same run (each record the page asks for is
//   paired with one bare call for the same index, timed apart, the pair's order
//   alternating, so that a busy machine weighs on both alike; the page's time is the
//   whole load less the bare calls inside it);
// - how long the window goes without handling a message while the records load: a
//   second thread posts a message to a window of the user-interface thread every
//   2 ms, and the longest time between two of them handled is the figure.
// Run under Wine by hand, on an X display:
//   scripts/wine-run.sh build/<tree>/bench/flows/pages_bench.exe [rounds]
// Installs the stand-in service for the run when it is not installed, and removes it
// again; works below a registry key of its own, deleted afterwards.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "app/DefragApp.h"
#include "app/MainWindow.h"
#include "flows/HDDScanContainer.h"
#include "flows/ScanResults.h"
#include "framework/MessageLoop.h"
#include "framework/Window.h"
#include "service/DefragClient.h"
#include "service/DefragRpc_c.h"
#include "service/JobService.h"
#include "service/ServiceRecord.h"
#include "tests/service/StandInService.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"

namespace svc = vantrel::service;

namespace {

constexpr long kRecords = 2500;
constexpr wchar_t kBenchKey[] = L"Software\\VantrelPagesBench";
constexpr UINT kTick = WM_APP + 7;
constexpr DWORD kTickEveryMs = 2;

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

// The real service, with the list announced as 2,500 records (a model drive holding
// fewer is read round again), every record paired with a bare stub call.
class PairedService final : public svc::JobService {
  public:
    PairedService(svc::JobService& real, long available)
        : real_(real),
          available_(std::max(available, 1L)),
          buffer_(std::make_unique<svc::FileRecord>()) {}

    int GetJobState(long& state, long& detail) override { return real_.GetJobState(state, detail); }
    int SendJobCommand(svc::CellCountSource& cells, std::int32_t code, wchar_t letter,
                       std::int32_t flag) override {
        return real_.SendJobCommand(cells, code, letter, flag);
    }
    int PutVolumeMap(const svc::MapCell* cells, int count) override {
        return real_.PutVolumeMap(cells, count);
    }
    int GetVolumeMap(svc::MapCell* cells, int count) override {
        return real_.GetVolumeMap(cells, count);
    }
    int GetJobStatistics(svc::JobStatistics& statistics) override {
        return real_.GetJobStatistics(statistics);
    }
    int GetFileCount(long& count) override {
        long real = 0;
        const int answer = real_.GetFileCount(real);
        count = kRecords;
        return answer;
    }
    int GetFileRecord(long index, svc::FileEntry& entry) override {
        const long wrapped = index % available_;
        if (index % 2 == 0) {
            Bare(wrapped);
        }
        const int answer = real_.GetFileRecord(wrapped, entry);
        if (index % 2 != 0) {
            Bare(wrapped);
        }
        return answer;
    }
    int IsStatisticsBusy(long& busy) override { return real_.IsStatisticsBusy(busy); }
    int PauseJob() override { return real_.PauseJob(); }
    int ResumeJob() override { return real_.ResumeJob(); }
    int StopJob() override { return real_.StopJob(); }
    void WaitForJobStart(DWORD milliseconds) override { real_.WaitForJobStart(milliseconds); }
    unsigned long long Milliseconds() override { return real_.Milliseconds(); }

    void SetAvailable(long available) { available_ = std::max(available, 1L); }
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

    svc::JobService& real_;
    long available_;
    std::unique_ptr<svc::FileRecord> buffer_;
    LONGLONG bareTicks_ = 0;
};

// A window of the user-interface thread that notes the longest time between two of
// the messages a second thread keeps posting to it.
class GapProbe final : public fw::Window {
  public:
    GapProbe() { Create(L"gap probe", WS_POPUP); }
    ~GapProbe() override { Stop(); }

    void Start() {
        longest_ = 0;
        last_ = 0;
        running_ = true;
        poster_ = std::thread([this, window = Handle()] {
            while (running_) {
                PostMessageW(window, kTick, 0, 0);
                Sleep(kTickEveryMs);
            }
        });
    }
    void Stop() {
        running_ = false;
        if (poster_.joinable()) {
            poster_.join();
        }
    }
    double LongestGapMs() const { return TicksToMilliseconds(longest_); }

  protected:
    const fw::MessageTable& Messages() const override { return kProbeTable; }

  private:
    static const fw::MessageTable kProbeTable;
    void OnTick() {
        const LONGLONG now = Now();
        if (last_ != 0) {
            longest_ = std::max(longest_, now - last_);
        }
        last_ = now;
    }

    std::atomic<bool> running_{false};
    std::thread poster_;
    LONGLONG last_ = 0;
    LONGLONG longest_ = 0;
};

const fw::MessageTable GapProbe::kProbeTable{&fw::Window::kTable,
                                             {fw::OnMessage(kTick, &GapProbe::OnTick)}};

double Milliseconds(const std::function<void()>& work) {
    const LONGLONG start = Now();
    work();
    return TicksToMilliseconds(Now() - start);
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
        app.Options.skipSplash = true;
        app.Settings.KeyPath = kBenchKey;
        BuildSharedFonts();
        BuildSharedBrushes();

        svc::ServiceRecord record;
        svc::ServiceLink link(record);
        long available = 0;
        PairedService paired(link, 0);
        CDlgMainDefrag window(app, &paired);
        window.CreateModeless(nullptr);
        fw::DispatchPendingMessages();
        app.Drives.CurrentDriveLetter = L'C';
        CDlgScanResults& page = window.Pages().ScanResultsPage();
        if (link.SendJobCommand(window.MapCells(), svc::JobCommandCode::Reset, L'C', 0) != 1 ||
            link.SendJobCommand(window.MapCells(), svc::JobCommandCode::Analyze, L'C', 0) != 1 ||
            !WaitForFinished() || svc::GetFileCount(available) == 0 || available < 1) {
            std::fwprintf(stderr, L"the stand-in service did not finish a scan with results\n");
            result = 1;
        } else {
            paired.SetAvailable(available);
            GapProbe probe;
            page.LoadScanResults();  // warms the link and the caches up
            paired.TakeBareTicks();

            std::vector<double> bare, loading, ratios, gaps;
            for (int round = 0; round < rounds; ++round) {
                probe.Start();
                const double whole = Milliseconds([&] { page.LoadScanResults(); });
                probe.Stop();
                fw::DispatchPendingMessages();
                gaps.push_back(probe.LongestGapMs());
                bare.push_back(TicksToMilliseconds(paired.TakeBareTicks()));
                loading.push_back(whole - bare.back());
                ratios.push_back(loading.back() / bare.back());
                std::wprintf(
                    L"round %d: %.1f ms bare, %.1f ms loading (%.3f), longest gap %.1f ms\n",
                    round + 1, bare.back(), loading.back(), ratios.back(), gaps.back());
                std::fflush(stdout);
            }
            std::wprintf(L"%ld records in the service's list, %ld read per load, %d rounds\n",
                         available, kRecords, rounds);
            std::wprintf(L"%-52ls %10.1f ms\n", L"2,500 bare GetFileRecord stub calls (median)",
                         Median(bare));
            std::wprintf(L"%-52ls %10.1f ms\n", L"LoadScanResults over 2,500 records (median)",
                         Median(loading));
            std::wprintf(L"%-52ls %10.3f\n", L"ratio (median of the rounds)", Median(ratios));
            std::wprintf(L"%-52ls %10.1f ms\n",
                         L"longest time without a handled message (worst round)",
                         *std::max_element(gaps.begin(), gaps.end()));
            std::wprintf(L"figures: %ls volume, %ls data, %ls fragmented files\n",
                         page.Figures().volumeText.c_str(), page.Figures().dataText.c_str(),
                         page.Figures().fragmentedText.c_str());
        }
        window.Destroy();
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    if (installedHere) {
        standIn.Uninstall();
    } else {
        standIn.StopAndWait();
    }
    return result;
}
