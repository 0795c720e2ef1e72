// Latency of the service link against the installed stand-in service: each
// polled operation through the guarded client and as a bare stub call in the same
// run, and one whole poll tick of the progress page. Run under Wine by hand:
//   scripts/wine-run.sh build/<tree>/bench/service/service_bench.exe [iterations]
// Installs the service for the run when it is not installed, and removes it again.
#include "service/CellCountSource.h"
#include "service/DefragClient.h"
#include "service/DefragRpc_c.h"
#include "service/JobCommandSender.h"
#include "service/ServiceBinding.h"
#include "service/ServiceRecord.h"
#include "tests/service/StandInService.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace vantrel::service;

constexpr int kCells = 1472;

class MapCells final : public CellCountSource {
  public:
    int GetCellCount() override { return kCells; }
};

double Microseconds(LONGLONG ticks) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    return static_cast<double>(ticks) * 1e6 / static_cast<double>(frequency);
}

struct Figures {
    double median;
    double p90;
};

Figures Measure(int iterations, const std::function<void()>& call) {
    for (int i = 0; i < iterations / 10 + 1; ++i) {
        call();  // warm up the connection and the caches
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
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 9 / 10]};
}

void Report(const wchar_t* name, const Figures& guarded, const Figures& bare) {
    std::wprintf(L"%-28ls %10.1f %10.1f %10.1f %10.1f %7.2f\n", name, guarded.median, guarded.p90,
                 bare.median, bare.p90, guarded.median / bare.median);
}

bool WaitForFinished() {
    for (int tick = 0; tick < 600; ++tick) {
        long state = 0;
        long detail = 0;
        GetJobState(state, detail);
        if (state == JobState::Finished) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int iterations = argc > 1 ? std::max(10, _wtoi(argv[1])) : 2000;
    vantrel::testsupport::StandInService standIn(VANTREL_DEFRAGSVC_RELATIVE);
    const bool installedHere = !standIn.IsInstalled();
    if (installedHere && !standIn.Install(1500)) {
        std::fwprintf(stderr, L"could not install %ls\n", standIn.ExecutablePath().c_str());
        return 1;
    }
    ServiceBinding binding;
    binding.Bind();
    int result = 0;
    {
        ServiceRecord record;
        MapCells cells;
        // A finished scan, so that there are file records to fetch.
        if (SendJobCommand(record, cells, JobCommandCode::Reset, L'C', 0) != 1 ||
            SendJobCommand(record, cells, JobCommandCode::Analyze, L'C', 0) != 1 ||
            !WaitForFinished()) {
            std::fwprintf(stderr, L"the stand-in service did not finish a scan\n");
            result = 1;
        } else {
            long files = 0;
            GetFileCount(files);
            auto statistics = std::make_unique<JobStatistics>();
            auto fileRecord = std::make_unique<FileRecord>();
            std::vector<MapCell> map(kCells);
            long state = 0;
            long detail = 0;
            long busy = 0;
            long returned = 0;
            auto* statisticsBytes = reinterpret_cast<unsigned char*>(statistics.get());
            auto* recordBytes = reinterpret_cast<unsigned char*>(fileRecord.get());
            auto* mapBytes = reinterpret_cast<unsigned char*>(map.data());

            std::wprintf(L"%d iterations, %ld file records, %d map cells; microseconds\n",
                         iterations, files, kCells);
            std::wprintf(L"%-28ls %10ls %10ls %10ls %10ls %7ls\n", L"operation", L"client p50",
                         L"client p90", L"stub p50", L"stub p90", L"ratio");
            Report(L"GetJobState", Measure(iterations, [&] { GetJobState(state, detail); }),
                   Measure(iterations, [&] { Remote_GetJobState(&state, &detail); }));
            Report(L"GetJobStatistics", Measure(iterations, [&] { GetJobStatistics(*statistics); }),
                   Measure(iterations, [&] {
                       Remote_GetJobStatistics(sizeof(JobStatistics), &returned, statisticsBytes);
                   }));
            Report(L"GetVolumeMap (1472 cells)",
                   Measure(iterations, [&] { GetVolumeMap(map.data(), kCells); }),
                   Measure(iterations, [&] {
                       Remote_GetVolumeMap(kCells * sizeof(MapCell), &returned, mapBytes);
                   }));
            long index = 0;
            Report(L"GetFileRecord",
                   Measure(iterations,
                           [&] {
                               FileEntry entry;
                               GetFileRecord(index++ % std::max(files, 1L), entry);
                           }),
                   Measure(iterations, [&] {
                       Remote_GetFileRecord(index++ % std::max(files, 1L), sizeof(FileRecord),
                                            &returned, recordBytes);
                   }));
            const Figures tick = Measure(iterations, [&] {
                GetJobState(state, detail);
                IsStatisticsBusy(busy);
                auto fresh = std::make_unique<JobStatistics>();
                GetJobStatistics(*fresh);
                GetVolumeMap(map.data(), kCells);
            });
            std::wprintf(L"%-28ls %10.1f %10.1f\n", L"poll tick (client)", tick.median, tick.p90);
        }
    }
    if (installedHere) {
        standIn.Uninstall();
    } else {
        standIn.StopAndWait();
    }
    return result;
}
