// The analysis of a large simulated volume: the engine's processor time and its
// peak heap, against the budgets of 1.5 s and of 150 bytes per file plus 16 bytes
// per extent of the fragmented files. The engine's time is the analysis thread's
// less that of the same volume calls made alone (timing every call would cost more
// than the engine itself). Run by hand:
//   build/native/bench/engine/analysis_bench [files] [GiB]
// (default 1,000,000 files on 1024 GiB).
#include "bench/engine/HeapCount.h"
#include "engine/Job.h"
#include "engine/sim/ModelDrive.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using namespace vantrel;

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The calls an analysis makes, and nothing else: the volume data, every page of
// the bitmap, every batch of files and every file's extents.
double VolumeCallSeconds(engine::Volume& volume) {
    const double start = ThreadSeconds();
    engine::VolumeData data;
    volume.QueryVolumeData(data);
    engine::BitmapPage page;
    for (engine::Lcn lcn = 0; volume.ReadBitmap(lcn, page) == engine::VolumeStatus::MoreData;) {
        lcn = page.start + page.clusters;
    }
    std::uint64_t cursor = 0;
    std::vector<engine::FileInfo> batch;
    std::vector<engine::Extent> extents;
    engine::VolumeStatus status = engine::VolumeStatus::MoreData;
    while (status == engine::VolumeStatus::MoreData) {
        status = volume.EnumerateFiles(cursor, batch);
        for (const engine::FileInfo& file : batch) {
            for (engine::Vcn vcn = 0;
                 volume.ReadExtents(file.id, vcn, extents) == engine::VolumeStatus::MoreData;) {
                vcn = extents.back().vcn + extents.back().clusters;
            }
        }
    }
    return ThreadSeconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const auto files =
        static_cast<std::uint32_t>(argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000);
    const std::uint64_t gibibytes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
    const auto built = std::chrono::steady_clock::now();
    auto volume = engine::sim::BuildModelDrive(u'E', gibibytes << 30, {.files = files});
    const double buildSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - built).count();

    const double volumeSeconds = VolumeCallSeconds(*volume);
    engine::VolumeMemory memory;
    const std::size_t baseline = bench::ResetHeapPeak();
    const double start = ThreadSeconds();
    engine::Job job(*volume, memory, engine::JobKind::Analysis, 0, 1472);
    while (!job.Done()) {
        job.Step();
    }
    const double seconds = ThreadSeconds() - start;
    const std::size_t peak = bench::heapPeak.load() - baseline;

    const engine::VolumeCounts counts = job.Figures().counts;
    std::uint64_t fragmentedExtents = 0;
    for (const engine::FileOutcome& outcome : job.Outcomes()) {
        fragmentedExtents +=
            volume->ExtentsOf(job.Table().IdOf(outcome.file) & 0xFFFFFFFFFFFFull).size();
    }
    const std::uint64_t entries = counts.files + counts.directories;
    const double budget =
        150.0 * static_cast<double>(entries) + 16.0 * static_cast<double>(fragmentedExtents);
    std::printf(
        "model drive of %llu GiB built in %.1f s: %llu files, %llu directories, %llu clusters\n",
        static_cast<unsigned long long>(gibibytes), buildSeconds,
        static_cast<unsigned long long>(counts.files),
        static_cast<unsigned long long>(counts.directories),
        static_cast<unsigned long long>(counts.totalClusters));
    std::printf("fragmented files: %llu with %llu extents\n",
                static_cast<unsigned long long>(counts.fragmentedFiles),
                static_cast<unsigned long long>(fragmentedExtents));
    const double engineSeconds = seconds - volumeSeconds;
    std::printf("analysis: %.3f s of processor time; the same volume calls alone: %.3f s\n",
                seconds, volumeSeconds);
    std::printf("engine processor time: %.3f s (budget 1.5 s)\n", engineSeconds);
    std::printf("engine peak heap: %.1f MB = %.1f bytes per file and directory (budget %.1f MB)\n",
                static_cast<double>(peak) / 1e6,
                static_cast<double>(peak) / static_cast<double>(entries), budget / 1e6);
    return engineSeconds <= 1.5 && static_cast<double>(peak) <= budget ? 0 : 1;
}
