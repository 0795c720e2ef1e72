// One poll tick of the progress page during a running scan, split into its parts:
// the job state, the statistics-busy flag, the statistics, the map fetch and the
// map paint, each timed on its own, and whole ticks as the page runs them (the
// timer handler, then the repaints it caused: the map fetches and draws). The
// client's own work is a whole tick less its four remote calls made alone just
// before it.
//
// Run under Wine by hand, on an X display:
//   scripts/wine-run.sh build/<tree>/bench/flows/progress_bench.exe [iterations]
//       [--hold-ms=N] [--scan-ms=N]
// Installs the stand-in service for the run when it is not installed (and removes
// it again), runs a slow scan of C: (ten minutes unless --scan-ms says otherwise),
// and with --hold-ms keeps the page on screen
// mid-scan for N milliseconds after measuring (for a screenshot).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DefragApp.h"
#include "app/MainWindow.h"
#include "flows/DiskAnalyzing.h"
#include "flows/HDDScanContainer.h"
#include "framework/DeviceContexts.h"
#include "framework/MessageLoop.h"
#include "service/DefragClient.h"
#include "service/JobRecords.h"
#include "state/RegistryKey.h"
#include "tests/service/StandInService.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"

namespace svc = vantrel::service;

namespace {

// Long enough that the scan runs through the whole measurement.
constexpr std::uint32_t kDefaultScanMilliseconds = 600000;
constexpr wchar_t kHistoryKey[] = L"Software\\Brenlow\\VantrelProgressBench";

double Microseconds(LONGLONG ticks) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    return static_cast<double>(ticks) * 1e6 / static_cast<double>(frequency);
}

struct Figures {
    double least = 0;
    double median = 0;
    double p90 = 0;
};

Figures Summarize(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return Figures{samples.front(), samples[samples.size() / 2], samples[samples.size() * 9 / 10]};
}

Figures Measure(int iterations, const std::function<void()>& call) {
    for (int i = 0; i < iterations / 10 + 1; ++i) {
        call();
    }
    std::vector<double> samples;
    samples.reserve(iterations);
    for (int i = 0; i < iterations; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        call();
        QueryPerformanceCounter(&end);
        samples.push_back(Microseconds(end.QuadPart - start.QuadPart));
    }
    return Summarize(std::move(samples));
}

void Print(const char* name, const Figures& figures) {
    std::printf("  %-44s min %8.1f   median %8.1f   p90 %8.1f us\n", name, figures.least,
                figures.median, figures.p90);
}

// CPU time of the calling thread, user and kernel (coarse under Wine: read over
// many ticks).
std::uint64_t ThreadCpuMicroseconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto value = [](const FILETIME& time) {
        return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return (value(kernel) + value(user)) / 10;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        fw::DispatchPendingMessages();
    }
    return true;
}

bool SetPace(std::uint32_t milliseconds) {
    RegistryKey key(kRegistryReadWriteAccess);
    return key.OpenOrCreate(HKEY_LOCAL_MACHINE,
                            L"SYSTEM\\CurrentControlSet\\Services\\Vantrel\\Parameters") &&
           key.WriteDword(L"JobMilliseconds", milliseconds);
}

int Run(int iterations, DWORD holdMs) {
    CDefragApp app;
    app.Options.skipSplash = true;
    app.Settings.KeyPath = kHistoryKey;
    if (!app.Binding.Bind()) {
        std::printf("no binding to the service\n");
        return 1;
    }
    BuildSharedFonts();
    BuildSharedBrushes();
    app.Settings.DriveHistory.Add(MakeDriveRecord(L'C'));
    app.Drives.CurrentDriveLetter = L'C';

    CDlgMainDefrag window(app);
    if (!window.CreateModeless(nullptr)) {
        std::printf("no main window\n");
        return 1;
    }
    window.Show(SW_SHOWNORMAL);
    CDlgHDDScan& pages = window.Pages();
    CDlgDiskAnalyzing& page = pages.ProgressPage();
    CVolmeMap& map = page.Map();
    if (!page.StartJob(JobMode::Scan, L'C', L"(C:) Bench")) {
        std::printf("the scan did not start\n");
        return 1;
    }
    pages.ShowPage(page);
    if (!PumpUntil([&] { return page.Polling() && map.Cells().size() == 1472; }, 20000)) {
        std::printf("the page does not poll a running scan\n");
        return 1;
    }
    std::printf("Progress page poll tick, %d iterations, %d map cells, scan running\n", iterations,
                map.GetCellCount());

    long state = 0, detail = 0, busy = 0;
    auto statistics = std::make_unique<svc::JobStatistics>();
    std::vector<svc::MapCell> cells(1472);
    const Figures stateCall = Measure(iterations, [&] {
        state = 0;
        detail = 0;
        svc::GetJobState(state, detail);
    });
    const Figures busyCall = Measure(iterations, [&] {
        busy = 0;
        svc::IsStatisticsBusy(busy);
    });
    const Figures statisticsCall = Measure(iterations, [&] {
        std::memset(statistics.get(), 0, sizeof *statistics);
        svc::GetJobStatistics(*statistics);
    });
    const Figures mapFetch = Measure(iterations, [&] {
        std::fill(cells.begin(), cells.end(), svc::MapCell{});
        svc::GetVolumeMap(cells.data(), 1472);
    });
    const Figures mapPaint = Measure(iterations, [&] {
        fw::ClientDC dc(map.Handle());
        map.DrawCells(dc.Get());
        GdiFlush();
    });
    const Figures controlPaint = Measure(iterations, [&] {
        map.Invalidate(nullptr, false);
        UpdateWindow(map.Handle());
        GdiFlush();
    });

    // Whole ticks as the page runs them: the timer handler, then every repaint it
    // caused (the map fetches and draws, the path text, the bar). Each tick follows
    // the same four calls made on their own, and the difference is the tick's own
    // work. Ticks whose statistics step the busy flag skipped are counted apart.
    const auto now = [] {
        LARGE_INTEGER value;
        QueryPerformanceCounter(&value);
        return value.QuadPart;
    };
    const auto runTick = [&] {
        page.Send(WM_TIMER, kJobPollTimer, 0);
        const bool fullTick = GetUpdateRect(map.Handle(), nullptr, FALSE) != FALSE;
        RedrawWindow(page.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        return fullTick;
    };
    const auto fourCalls = [&] {
        state = detail = busy = 0;
        svc::GetJobState(state, detail);
        svc::IsStatisticsBusy(busy);
        std::memset(statistics.get(), 0, sizeof *statistics);
        svc::GetJobStatistics(*statistics);
        svc::GetVolumeMap(cells.data(), 1472);
    };
    std::vector<double> ticks;
    std::vector<double> ownWork;
    int skipped = 0;
    for (int i = 0; i < iterations; ++i) {
        const LONGLONG start = now();
        fourCalls();
        const LONGLONG calls = now();
        const bool full = runTick();
        const LONGLONG end = now();
        if (!full) {
            ++skipped;
            continue;
        }
        ticks.push_back(Microseconds(end - calls));
        ownWork.push_back(Microseconds((end - calls) - (calls - start)));
    }
    // The same on the UI thread's CPU clock, which does not count the time spent
    // waiting for the service: whole ticks, then the four calls alone.
    const auto cpuPerRun = [&](const std::function<void()>& run) {
        const std::uint64_t before = ThreadCpuMicroseconds();
        for (int i = 0; i < iterations; ++i) {
            run();
        }
        return static_cast<double>(ThreadCpuMicroseconds() - before) / iterations;
    };
    const double cpuPerTick = cpuPerRun([&] { runTick(); });
    const double cpuPerCalls = cpuPerRun(fourCalls);

    Print("GetJobState", stateCall);
    Print("IsStatisticsBusy", busyCall);
    Print("GetJobStatistics (65,856 bytes)", statisticsCall);
    Print("GetVolumeMap (1,472 cells, 58,880 bytes)", mapFetch);
    Print("map paint: 1,472 sprites onto the control", mapPaint);
    Print("map control repaint: fetch + paint", controlPaint);
    if (ticks.empty()) {
        std::printf("every tick found the statistics busy\n");
    } else {
        Print("whole tick (timer handler and its repaints)", Summarize(ticks));
        Print("whole tick less its four calls made alone", Summarize(ownWork));
    }
    std::printf("  %d of %d ticks skipped their statistics step (service busy)\n", skipped,
                iterations);
    std::printf("  %-44s %8.1f us\n", "UI thread CPU per tick", cpuPerTick);
    std::printf("  %-44s %8.1f us\n", "UI thread CPU per four calls alone", cpuPerCalls);
    std::printf("  %-44s %8.1f us\n", "UI thread CPU per tick less its calls",
                cpuPerTick - cpuPerCalls);
    std::fflush(stdout);

    if (holdMs > 0) {
        std::printf("holding the page on screen for %lu ms\n", static_cast<unsigned long>(holdMs));
        std::fflush(stdout);
        PumpUntil([] { return false; }, holdMs);
    }
    svc::SendJobCommandRecord(svc::MakeJobCommand(svc::JobCommandCode::Reset, L'C', 1472, 0));
    window.Destroy();
    RegDeleteTreeW(HKEY_CURRENT_USER, kHistoryKey);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int iterations = 200;
    DWORD holdMs = 0;
    std::uint32_t scanMs = kDefaultScanMilliseconds;
    for (int i = 1; i < argc; ++i) {
        if (std::wcsncmp(argv[i], L"--scan-ms=", 10) == 0) {
            scanMs = static_cast<std::uint32_t>(std::wcstoul(argv[i] + 10, nullptr, 10));
        } else if (std::wcsncmp(argv[i], L"--hold-ms=", 10) == 0) {
            holdMs = static_cast<DWORD>(std::wcstoul(argv[i] + 10, nullptr, 10));
        } else {
            iterations = std::max(10, _wtoi(argv[i]));
        }
    }
    vantrel::testsupport::StandInService standIn(VANTREL_DEFRAGSVC_RELATIVE);
    const bool installedHere = !standIn.IsInstalled();
    if (installedHere && !standIn.Install(scanMs)) {
        std::printf("cannot install the stand-in service\n");
        return 1;
    }
    if (!SetPace(scanMs)) {
        std::printf("cannot set the stand-in service's pace\n");
        return 1;
    }
    const int result = Run(iterations, holdMs);
    if (installedHere) {
        standIn.Uninstall();
    }
    return result;
}
