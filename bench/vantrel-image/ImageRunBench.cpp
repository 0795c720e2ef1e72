// The engine's run on an NTFS image as `vantrel-image optimize` makes it (open the
// image read-only and check its layout, open it for writing, both optimization
// passes, close it), with the time spent inside libntfs-3g's calls measured in the
// same run: (wall time - library time) / library time is what the engine and the
// backend add to the library's own work (budget: 10 %). The same for `vantrel-image
// analyze` (open read-only, check, scan). Each run is a process of its own on a
// fresh copy of the image, as each command of the program is.
// Run by hand:
//   cmake --preset native -DVANTREL_BUILD_BENCH=ON
//   cmake --build --preset native --target benchmarks
//   build/native/bench/vantrel-image/image_run_bench [runs per image, default 9]
// The images are made in /dev/shm (VANTREL_NTFS_SCRATCH to choose) and removed.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/vantrel-image/LibraryTime.h"
#include "engine/ntfs/NtfsImageVolume.h"
#include "tests/engine-ntfs/ImageChecks.h"
#include "tests/engine-ntfs/ImageMaker.h"
#include "tools/vantrel-image/EngineRun.h"
#include "tools/vantrel-image/FreedMemory.h"
#include "tools/vantrel-image/LayoutCopy.h"

namespace {

using namespace vantrel;
using engine::ntfs::NtfsImageVolume;
using engine::ntfs::OpenMode;

struct Timed {
    double wallNanoseconds = 0.0;
    double libraryNanoseconds = 0.0;
    double calls = 0.0;

    double Overhead() const { return (wallNanoseconds - libraryNanoseconds) / libraryNanoseconds; }
};

// One run in this process, as the command does it; its figures on standard output
// as "wall library calls", or nothing when it failed.
int RunOnce(const std::string& command, const std::string& image) {
    image::KeepFreedMemory();
    const bool optimize = command == "optimize";
    bool ok = false;
    bench::ResetLibraryTime();
    const auto start = std::chrono::steady_clock::now();
    {
        auto opened = NtfsImageVolume::Open(image, OpenMode::ReadOnly);
        const bool sound = opened.volume && image::CheckLayout(*opened.volume).Sound();
        if (sound && optimize) {
            opened.volume.reset();
            opened = NtfsImageVolume::Open(image, OpenMode::ReadWrite);
        }
        if (sound && opened.volume) {
            ok = optimize ? image::OptimizeBothPasses(*opened.volume, {}).failure ==
                                engine::VolumeStatus::Ok
                          : image::Analyze(*opened.volume).failure == engine::VolumeStatus::Ok;
        }
    }
    const double wall =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    const bench::LibraryTime library = bench::TimeInLibrary();
    if (ok) {
        std::printf("%.0f %llu %llu\n", wall, static_cast<unsigned long long>(library.nanoseconds),
                    static_cast<unsigned long long>(library.calls));
    }
    return ok ? 0 : 1;
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

// `runs` runs of the command, each in a process of its own on a fresh copy.
void Measure(const char* command, const std::string& image, const std::string& copy, int runs,
             double timerNanoseconds) {
    std::vector<double> overheads;
    std::vector<double> walls;
    std::vector<double> libraries;
    double calls = 0.0;
    for (int i = 0; i < runs; ++i) {
        engine::ntfs::proof::CopyImage(image, copy);
        const engine::ntfs::proof::ToolRun run =
            engine::ntfs::proof::RunTool({"/proc/self/exe", "--run", command, copy});
        Timed timed;
        if (run.exitCode != 0 ||
            std::sscanf(run.output.c_str(), "%lf %lf %lf", &timed.wallNanoseconds,
                        &timed.libraryNanoseconds, &timed.calls) != 3) {
            std::printf("  %s: the run failed: %s\n", command, run.output.c_str());
            return;
        }
        overheads.push_back(timed.Overhead());
        walls.push_back(timed.wallNanoseconds * 1e-6);
        libraries.push_back(timed.libraryNanoseconds * 1e-6);
        calls = timed.calls;
    }
    std::printf(
        "  %-9s wall %6.1f ms, in libntfs-3g %6.1f ms (%.0f calls; timing them costs about "
        "%.1f ms), outside %5.1f ms; outside / library %5.1f %% (median of %d runs, lowest "
        "%.1f %%; budget 10 %%)\n",
        command, Median(walls), Median(libraries), calls, calls * timerNanoseconds * 1e-6,
        Median(walls) - Median(libraries), Median(overheads) * 100.0, runs,
        *std::min_element(overheads.begin(), overheads.end()) * 100.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--run") == 0) {
        return RunOnce(argv[2], argv[3]);
    }
    const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 9);
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
        std::printf("%s image (%llu MiB):\n", recipe.name,
                    static_cast<unsigned long long>(recipe.recipe.imageBytes >> 20));
        Measure("optimize", image, copy, runs, timer);
        Measure("analyze", image, copy, runs, timer);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
