// Planning a pass over a volume of many fragmented files: the time of the step in
// which a pass, its survey done, plans every file (best fit from the index of free
// runs; in the second pass also the free-space windows). Run by hand:
//   build/native/bench/engine/plan_bench [fragmented files]
// (default 100,000).
#include "engine/Job.h"
#include "engine/sim/Random.h"
#include "engine/sim/SimVolume.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace vantrel::engine;

// Every file's first piece in a row, then the rest of every file: all fragmented,
// with small gaps between the pieces and most of the free space at the end.
std::unique_ptr<sim::SimVolume> VolumeOf(std::uint32_t fragmentedFiles) {
    sim::SplitMix64 random(17);
    std::vector<std::vector<Extent>> runs(fragmentedFiles);
    std::vector<std::uint64_t> sizes(fragmentedFiles);
    Lcn cursor = 0;
    auto place = [&](std::uint32_t file, std::uint64_t clusters) {
        runs[file].push_back({0, clusters, cursor});
        cursor += clusters + (random.Chance(0.3) ? random.Between(1, 24) : 0);
    };
    for (std::uint32_t file = 0; file < fragmentedFiles; ++file) {
        sizes[file] = random.Between(4, 96);
        place(file, sizes[file] / 2);
    }
    for (std::uint32_t file = 0; file < fragmentedFiles; ++file) {
        place(file, sizes[file] - sizes[file] / 2);
    }
    sim::SimOptions options;
    options.totalClusters = cursor + cursor / 2;
    auto volume = std::make_unique<sim::SimVolume>(options);
    volume->AddFile({.record = sim::kRootRecord,
                     .sequence = 5,
                     .name = u".",
                     .attributes = attributes::kDirectory});
    for (std::uint32_t file = 0; file < fragmentedFiles; ++file) {
        volume->AddFile({.record = 16 + file,
                         .size = sizes[file] * options.bytesPerCluster,
                         .runs = runs[file]});
    }
    return volume;
}

void Plan(sim::SimVolume& volume, int pass, std::uint32_t fragmentedFiles) {
    VolumeMemory memory;
    Job job(volume, memory, JobKind::Optimization, pass, 1472);
    double planSeconds = 0.0;
    while (!job.Planned()) {
        const auto start = std::chrono::steady_clock::now();
        job.Step();
        planSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    std::uint64_t noRoom = 0;
    for (const FileOutcome& outcome : job.Outcomes()) {
        noRoom += outcome.result == result::kNoFreeSpace ? 1 : 0;
    }
    std::printf(
        "pass %d over %u fragmented files: planned in %.3f s (budget 0.5 s): "
        "%zu files to move, %llu without room\n",
        pass, fragmentedFiles, planSeconds, job.PlannedFiles().size(),
        static_cast<unsigned long long>(noRoom));
}

}  // namespace

int main(int argc, char** argv) {
    const auto files =
        static_cast<std::uint32_t>(argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000);
    auto volume = VolumeOf(files);
    Plan(*volume, 1, files);
    Plan(*volume, 2, files);
    return 0;
}
