// The engine's run on an NTFS image, as `vantrel-image optimize` makes it (open the
// image, check its layout, open it for writing, both optimization passes, close it),
// with the time spent
// inside libntfs-3g's calls measured in the same run: (wall time - library time) /
// library time is what the engine and the backend add to the library's own work
// (budget: 10 %). The same for `vantrel-image analyze` (open read-only, check, scan).
// Run by hand:
//   cmake --preset native -DVANTREL_BUILD_BENCH=ON
//   cmake --build --preset native --target benchmarks
//   build/native/bench/vantrel-image/image_run_bench [runs per image, default 5]
// The images are made in /dev/shm (VANTREL_NTFS_SCRATCH to choose) and removed.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/vantrel-image/LibraryTime.h"
#include "engine/ntfs/NtfsImageVolume.h"
#include "tests/engine-ntfs/ImageMaker.h"
#include "tools/vantrel-image/EngineRun.h"
#include "tools/vantrel-image/LayoutCopy.h"

namespace {

using namespace vantrel;
using engine::ntfs::NtfsImageVolume;
using engine::ntfs::OpenMode;

struct Timed {
    double wallSeconds = 0.0;
    bench::LibraryTime library;
    bool ok = false;

    double LibrarySeconds() const { return static_cast<double>(library.nanoseconds) * 1e-9; }
    double Overhead() const { return (wallSeconds - LibrarySeconds()) / LibrarySeconds(); }
};

// Runs `run` on a fresh copy of the image as vantrel-image does, timed from the
// first open to the last close: opened read-only, its layout checked, opened again
// for writing to optimize it.
Timed TimeOnCopy(const std::string& image, const std::string& copy, OpenMode mode,
                 const std::function<bool(engine::Volume&)>& run) {
    engine::ntfs::proof::CopyImage(image, copy);
    Timed timed;
    bench::ResetLibraryTime();
    const auto start = std::chrono::steady_clock::now();
    {
        auto opened = NtfsImageVolume::Open(copy, OpenMode::ReadOnly);
        const bool sound = opened.volume && image::CheckLayout(*opened.volume).Sound();
        if (sound && mode == OpenMode::ReadWrite) {
            opened.volume.reset();
            opened = NtfsImageVolume::Open(copy, mode);
        }
        timed.ok = sound && opened.volume && run(*opened.volume);
    }
    timed.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timed.library = bench::TimeInLibrary();
    return timed;
}

// What timing one library call costs: two readings of the time stamp counter and
// the sums (part of it falls outside the call and counts as the run's own time).
double TimerNanoseconds() {
    constexpr int kRounds = 1000000;
    bench::ResetLibraryTime();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) {
        bench::TimeOneEmptyCall();
    }
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
               .count() /
           kRounds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void Report(const char* what, const std::vector<Timed>& runs, double timerNanoseconds) {
    std::vector<double> overheads;
    std::vector<double> walls;
    std::vector<double> libraries;
    for (const Timed& run : runs) {
        if (!run.ok) {
            std::printf("  %s: the run failed\n", what);
            return;
        }
        overheads.push_back(run.Overhead());
        walls.push_back(run.wallSeconds);
        libraries.push_back(run.LibrarySeconds());
    }
    const double calls = static_cast<double>(runs.front().library.calls);
    std::printf(
        "  %-9s wall %7.1f ms, in libntfs-3g %7.1f ms (%.0f calls; timing them costs about "
        "%.1f ms), outside %6.1f ms = %5.1f %% of the library's time (median of %zu; budget 10 "
        "%%)\n",
        what, Median(walls) * 1e3, Median(libraries) * 1e3, calls, calls * timerNanoseconds * 1e-6,
        (Median(walls) - Median(libraries)) * 1e3, Median(overheads) * 100.0, runs.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 5);
    const char* configured = std::getenv("VANTREL_NTFS_SCRATCH");
    const std::filesystem::path folder =
        std::filesystem::path(configured ? configured : "/dev/shm") /
        ("vantrel-image-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const double timer = TimerNanoseconds();

    struct Recipe {
        const char* name;
        engine::ntfs::proof::ImageRecipe recipe;
    };
    for (const Recipe& recipe : {Recipe{"fragmented", engine::ntfs::proof::ImageRecipe{}},
                                 Recipe{"crowded", engine::ntfs::proof::CrowdedRecipe()}}) {
        const std::string image = (folder / (std::string(recipe.name) + ".img")).string();
        const std::string copy = (folder / "run.img").string();
        if (const std::string error =
                engine::ntfs::proof::MakeFragmentedImage(image, recipe.recipe);
            !error.empty()) {
            std::printf("%s image: %s\n", recipe.name, error.c_str());
            continue;
        }
        std::vector<Timed> optimizations;
        std::vector<Timed> analyses;
        image::OptimizationRun last;
        for (int i = 0; i < runs; ++i) {
            optimizations.push_back(
                TimeOnCopy(image, copy, OpenMode::ReadWrite, [&](engine::Volume& volume) {
                    last = image::OptimizeBothPasses(volume, {});
                    return last.failure == engine::VolumeStatus::Ok;
                }));
            analyses.push_back(
                TimeOnCopy(image, copy, OpenMode::ReadOnly, [](engine::Volume& volume) {
                    return image::Analyze(volume).failure == engine::VolumeStatus::Ok;
                }));
        }
        std::printf("%s image (%llu MiB): %llu fragmented files of %llu, %llu left\n", recipe.name,
                    static_cast<unsigned long long>(recipe.recipe.imageBytes >> 20),
                    static_cast<unsigned long long>(last.before.fragmentedFiles),
                    static_cast<unsigned long long>(last.before.files + last.before.directories),
                    static_cast<unsigned long long>(last.after.fragmentedFiles));
        Report("optimize:", optimizations, timer);
        Report("analyze:", analyses, timer);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
