// Figures of the model drives through the real engine, the way the results pages
// compute them: volume and data fragmentation after a scan, after the first and
// after the second optimization pass, the files left and why, and how long
// building and each job take. Run by hand:
//   build/native/bench/engine/model_figures [--drives=CDE] [GiB ...]
// With no sizes it measures 16, 64, 256 and 1024 GiB, for drives C, D and E.
#include "engine/Figures.h"
#include "engine/Job.h"
#include "engine/sim/ModelDrive.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace vantrel::engine;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kCells = 1472;

double Milliseconds(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

struct JobRun {
    JobFigures figures;
    std::vector<FileOutcome> outcomes;
    double milliseconds = 0;
};

JobRun RunJob(sim::SimVolume& volume, VolumeMemory& memory, JobKind kind, int pass) {
    const auto start = Clock::now();
    Job job(volume, memory, kind, pass, kCells);
    while (!job.Done()) {
        job.Step();
    }
    return {job.Figures(), job.Outcomes(), Milliseconds(start)};
}

std::string Figures(const JobRun& run, bool after) {
    const VolumeCounts& counts = run.figures.counts;
    const FragmentationFigures figures = FragmentationOf(FragmentedClusters(run.outcomes, after),
                                                         counts.totalClusters, counts.usedClusters);
    return PercentText(figures.volume) + " / " + PercentText(figures.data);
}

void Measure(char16_t letter, std::uint64_t gibibytes) {
    const auto start = Clock::now();
    auto volume = sim::BuildModelDrive(letter, gibibytes << 30);
    const double built = Milliseconds(start);
    VolumeMemory memory;
    const JobRun scan = RunJob(*volume, memory, JobKind::Analysis, 0);
    const JobRun first = RunJob(*volume, memory, JobKind::Optimization, 1);
    const JobRun second = RunJob(*volume, memory, JobKind::Optimization, 2);
    std::printf("%c: %5llu GiB  %7llu files %6llu dirs  built %6.0f ms\n",
                static_cast<char>(letter), static_cast<unsigned long long>(gibibytes),
                static_cast<unsigned long long>(scan.figures.counts.files),
                static_cast<unsigned long long>(scan.figures.counts.directories), built);
    std::printf("   scan    %-18s %4zu fragmented  %7.0f ms\n", Figures(scan, false).c_str(),
                scan.outcomes.size(), scan.milliseconds);
    for (const JobRun* pass : {&first, &second}) {
        std::array<int, 7> results{};
        for (const FileOutcome& outcome : pass->outcomes) {
            ++results[static_cast<std::size_t>(outcome.result) % results.size()];
        }
        std::printf(
            "   pass %d  %-18s %4zu handled, left: %d no room, %d locked, %d safe  %7.0f ms\n",
            pass->figures.pass, Figures(*pass, true).c_str(), pass->outcomes.size(), results[1],
            results[4], results[6], pass->milliseconds);
    }
    const std::string audit = volume->Audit();
    if (!audit.empty()) {
        std::printf("   AUDIT FAILED: %s\n", audit.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string drives = "CDE";
    std::vector<std::uint64_t> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with("--drives=")) {
            drives = argument.substr(9);
        } else {
            sizes.push_back(std::strtoull(argv[i], nullptr, 10));
        }
    }
    if (sizes.empty()) {
        sizes = {16, 64, 256, 1024};
    }
    std::printf("volume / data fragmentation, as the results pages show them\n");
    for (const std::uint64_t size : sizes) {
        for (const char drive : drives) {
            Measure(static_cast<char16_t>(drive), size);
        }
    }
    return 0;
}
