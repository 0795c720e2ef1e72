// Figures of the stand-in service's model volumes, the way the results pages
// compute them: volume and data fragmentation after a scan, after the first and
// after the second optimization pass, the files left fragmented, how many map
// cells show each state, and how long building and each job take. Run by hand:
//   scripts/wine-run.sh build/<tree>/bench/service/model_figures.exe [--drives=CDE] [GiB ...]
// With no sizes it measures 16, 64, 256 and 1024 GiB, for drives C, D and E.
#include "defragsvc/DefragJob.h"
#include "defragsvc/VolumeModel.h"
#include "service/JobRecords.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace vantrel::defragsvc;
namespace service = vantrel::service;

constexpr std::uint32_t kCells = 1472;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// Percent of the volume held by files with two or more fragments, before or
// after the job, as the results pages weigh it.
double VolumePercent(const std::vector<FileOutcome>& outcomes, std::uint64_t totalClusters,
                     bool after) {
    std::uint64_t clusters = 0;
    for (const FileOutcome& outcome : outcomes) {
        if ((after ? outcome.fragmentsAfter : outcome.fragmentsBefore) >= 2) {
            clusters += outcome.clusters;
        }
    }
    return totalClusters == 0
               ? 0.0
               : 100.0 * static_cast<double>(clusters) / static_cast<double>(totalClusters);
}

struct JobRun {
    std::vector<FileOutcome> outcomes;
    std::array<int, 5> states{};
    double milliseconds = 0;
};

JobRun Run(VolumeModel& model, JobKind kind, int pass) {
    JobRun run;
    const LARGE_INTEGER start = Now();
    DefragJob job(model, kind, pass, kCells);
    job.AdvanceTo(job.TotalWork());
    run.milliseconds = Milliseconds(start, Now());
    run.outcomes = job.Outcomes();
    for (const service::MapCell& cell : job.MapCells()) {
        ++run.states[static_cast<int>(service::CellStateOf(cell))];
    }
    return run;
}

void Measure(wchar_t letter, std::uint64_t gibibytes) {
    const LARGE_INTEGER start = Now();
    VolumeModel model = BuildVolumeModel(letter, gibibytes << 30, L"Local Disk");
    const double buildMilliseconds = Milliseconds(start, Now());
    const std::uint64_t total = model.geometry.totalClusters;
    const std::uint64_t used = model.usedClusters;

    const JobRun scan = Run(model, JobKind::Analysis, 0);
    const JobRun first = Run(model, JobKind::Optimization, 1);
    const JobRun second = Run(model, JobKind::Optimization, 2);
    int locked = 0;
    int unmovable = 0;
    int noSpace = 0;
    for (const FileOutcome& outcome : second.outcomes) {
        locked += outcome.resultCode == service::FileResult::Locked;
        unmovable += outcome.resultCode == service::FileResult::CannotMoveData;
        noSpace += outcome.resultCode == service::FileResult::NoFreeSpace;
    }
    const double dataShare =
        used == 0 ? 0.0 : static_cast<double>(total) / static_cast<double>(used);
    const double scanVolume = VolumePercent(scan.outcomes, total, false);
    const double firstVolume = VolumePercent(first.outcomes, total, true);
    const double secondVolume = VolumePercent(second.outcomes, total, true);
    std::wprintf(
        L"%lc: %5llu GiB %7llu files %5zu frag | vol %6.2f%% %6.2f%% %6.2f%% | "
        L"data %6.2f%% %6.2f%% %6.2f%% | left %3zu (lock %d, unmov %d, space %d) | "
        L"cells F%4d U%4d O%4d X%4d M%3d -> O%4d X%4d | ms build %6.0f scan %5.0f "
        L"pass %5.0f %5.0f\n",
        letter, static_cast<unsigned long long>(gibibytes),
        static_cast<unsigned long long>(model.fileCount), scan.outcomes.size(), scanVolume,
        firstVolume, secondVolume, scanVolume * dataShare, firstVolume * dataShare,
        secondVolume * dataShare, second.outcomes.size(), locked, unmovable, noSpace,
        scan.states[0], scan.states[1], scan.states[2], scan.states[3], scan.states[4],
        second.states[2], second.states[3], buildMilliseconds, scan.milliseconds,
        first.milliseconds, second.milliseconds);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::uint64_t> sizes;
    std::wstring drives = L"CDE";
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view argument = argv[i];
        if (argument.starts_with(L"--drives=")) {
            drives = argument.substr(9);
            continue;
        }
        const unsigned long long value = std::wcstoull(argv[i], nullptr, 10);
        if (value != 0) {
            sizes.push_back(value);
        }
    }
    if (sizes.empty()) {
        sizes = {16, 64, 256, 1024};
    }
    for (const std::uint64_t size : sizes) {
        for (const wchar_t letter : drives) {
            if (letter >= L'A' && letter <= L'Z') {
                Measure(letter, size);
            }
        }
    }
    return 0;
}
