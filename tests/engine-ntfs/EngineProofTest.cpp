// The NTFS proof end to end: the engine's analysis and both optimization passes on
// a fragmented image, checked against an independent walk of the image and by every
// checker; and the checkers catch a damaged image.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "engine/Figures.h"
#include "engine/Job.h"
#include "engine/ntfs/NtfsImageVolume.h"
#include "engine/ntfs/NtfsLibrary.h"
#include "engine/SafeFiles.h"
#include "tests/engine-ntfs/TestImages.h"

namespace vantrel::engine::ntfs::proof {
namespace {

std::uint64_t FragmentedIn(const MftWalk& walk) {
    const std::vector<ListedFile> files = ListedFiles(walk);
    return static_cast<std::uint64_t>(std::count_if(
        files.begin(), files.end(), [](const ListedFile& file) { return file.fragments >= 2; }));
}

// The fragmented files for which a pass has a free run of their size at their turn.
// A pass takes the movable fragmented files largest first (by stored clusters, in
// MFT order among equals); a file's turn comes once every file before it has taken
// its run. It has a free run at its turn when the free runs the pass's survey read,
// less those taken before it, hold one of at least its stored clusters: outside the
// MFT zone in pass 1, and in pass 2 in the zone too when nothing outside holds it.
// It takes the smallest such run (best fit): which of equally long runs does not
// change what is left for the files after it, so lengths are all this needs.
std::set<std::uint64_t> FilesWithARunAtTheirTurn(const MftWalk& walk, const VolumeData& data,
                                                 int pass) {
    std::multiset<std::uint64_t> outside;
    std::multiset<std::uint64_t> zone;
    const auto addFree = [&](std::uint64_t start, std::uint64_t end) {
        // Free runs are cut at the zone's borders.
        const std::uint64_t cuts[4] = {start, std::clamp(data.mftZoneStart, start, end),
                                       std::clamp(data.mftZoneEnd, start, end), end};
        for (int i = 0; i < 3; ++i) {
            if (cuts[i + 1] > cuts[i]) {
                (i == 1 ? zone : outside).insert(cuts[i + 1] - cuts[i]);
            }
        }
    };
    std::uint64_t runStart = 0;
    for (std::uint64_t lcn = 0; lcn <= walk.totalClusters; ++lcn) {
        const bool used =
            lcn == walk.totalClusters || ((walk.bitmap[lcn / 8] >> (lcn % 8)) & 1u) != 0;
        if (used) {
            addFree(runStart, lcn);
            runStart = lcn + 1;
        }
    }
    std::vector<ListedFile> turns;
    for (const ListedFile& file : ListedFiles(walk)) {
        if (file.movable && file.fragments >= 2) {
            turns.push_back(file);
        }
    }
    std::stable_sort(turns.begin(), turns.end(), [](const ListedFile& a, const ListedFile& b) {
        return a.storedClusters > b.storedClusters;
    });
    const auto take = [](std::multiset<std::uint64_t>& runs, std::uint64_t clusters) {
        const auto fit = runs.lower_bound(clusters);
        if (fit == runs.end()) {
            return false;
        }
        const std::uint64_t rest = *fit - clusters;
        runs.erase(fit);
        if (rest != 0) {
            runs.insert(rest);
        }
        return true;
    };
    std::set<std::uint64_t> placed;
    for (const ListedFile& file : turns) {
        if (take(outside, file.storedClusters) || (pass == 2 && take(zone, file.storedClusters))) {
            placed.insert(file.reference);
        }
    }
    return placed;
}

std::unique_ptr<NtfsImageVolume> OpenForJobs(const std::string& image) {
    auto opened = NtfsImageVolume::Open(image, OpenMode::ReadWrite);
    EXPECT_TRUE(opened.volume) << opened.message;
    return std::move(opened.volume);
}

void RunToTheEnd(Job& job) {
    while (!job.Done()) {
        job.Step();
    }
}

std::uint64_t FragmentedAfter(const Job& job) {
    const std::vector<FileOutcome>& outcomes = job.Outcomes();
    return static_cast<std::uint64_t>(
        std::count_if(outcomes.begin(), outcomes.end(),
                      [](const FileOutcome& outcome) { return outcome.fragmentsAfter >= 2; }));
}

// "40.66% of the volume, 82.02% of the data", as the results pages compute them.
std::string FragmentationText(const Job& job, bool after) {
    const VolumeCounts& counts = job.Figures().counts;
    const FragmentationFigures figures = FragmentationOf(FragmentedClusters(job.Outcomes(), after),
                                                         counts.totalClusters, counts.usedClusters);
    return PercentText(figures.volume) + " of the volume, " + PercentText(figures.data) +
           " of the data";
}

// What a pass did on the image, as the test reports it.
struct PassReport {
    std::size_t withARun = 0;      // files with a free run of their size at their turn
    std::size_t intoRoomMade = 0;  // files planned into room the pass makes
};

// The engine's scan and both passes on a copy of `original`, each checked against
// an independent walk of the image and by every checker.
void ProveTheEngineOn(const std::string& original, const std::string& name,
                      std::vector<PassReport>& reports) {
    SCOPED_TRACE(name);
    const std::string image = CopyOf(original, name + "-proof.img");
    VolumeMemory memory;

    MftWalk walk = WalkImage(image);
    {
        auto volume = OpenForJobs(image);
        ASSERT_TRUE(volume);
        Job analysis(*volume, memory, JobKind::Analysis, 0, 1);
        RunToTheEnd(analysis);
        ASSERT_EQ(analysis.Figures().failure, VolumeStatus::Ok);
        EXPECT_EQ(analysis.Figures().counts.fragmentedFiles, FragmentedIn(walk));
        EXPECT_EQ(analysis.Figures().counts.files + analysis.Figures().counts.directories,
                  ListedFiles(walk).size());
        std::printf("%s, scan: %llu fragmented files, %s\n", name.c_str(),
                    static_cast<unsigned long long>(analysis.Figures().counts.fragmentedFiles),
                    FragmentationText(analysis, false).c_str());
    }

    for (int pass = 1; pass <= 2; ++pass) {
        SCOPED_TRACE("pass " + std::to_string(pass));
        auto volume = OpenForJobs(image);
        ASSERT_TRUE(volume);
        VolumeData data;
        ASSERT_EQ(volume->QueryVolumeData(data), VolumeStatus::Ok);
        Job job(*volume, memory, JobKind::Optimization, pass, 1);
        while (!job.Planned()) {
            job.Step();
        }
        std::set<std::uint64_t> planned;
        for (const std::uint32_t fragmented : job.PlannedFiles()) {
            planned.insert(job.Table().IdOf(job.Outcomes()[fragmented].file));
        }
        const std::set<std::uint64_t> withARun = FilesWithARunAtTheirTurn(walk, data, pass);
        // Pass 1 moves exactly those; pass 2 also those its free-space consolidation
        // makes room for.
        if (pass == 1) {
            EXPECT_EQ(planned, withARun);
        } else {
            EXPECT_TRUE(
                std::includes(planned.begin(), planned.end(), withARun.begin(), withARun.end()));
        }
        RunToTheEnd(job);
        ASSERT_EQ(job.Figures().failure, VolumeStatus::Ok);
        volume.reset();

        walk = WalkImage(image);
        std::map<std::uint64_t, std::size_t> fragmentsNow;
        for (const ListedFile& file : ListedFiles(walk)) {
            fragmentsNow[file.reference] = file.fragments;
        }
        for (const std::uint64_t reference : withARun) {
            EXPECT_EQ(fragmentsNow[reference], 1u) << "record " << (reference & kRecordMask);
        }
        // What the pass reports of every file it handled is what the run lists say.
        EXPECT_EQ(FragmentedAfter(job), FragmentedIn(walk));
        for (const FileOutcome& outcome : job.Outcomes()) {
            const std::uint64_t reference = job.Table().IdOf(outcome.file);
            EXPECT_EQ(static_cast<std::size_t>(outcome.fragmentsAfter), fragmentsNow[reference])
                << "record " << (reference & kRecordMask);
        }
        EXPECT_TRUE(Intact(image, original));
        reports.push_back({withARun.size(), planned.size() - withARun.size()});
        std::printf(
            "%s, pass %d: %llu fragmented files, %zu with a free run of their size at their "
            "turn, %zu planned into room the pass makes, %llu left fragmented; %s before, %s "
            "after\n",
            name.c_str(), pass,
            static_cast<unsigned long long>(job.Figures().counts.fragmentedFiles), withARun.size(),
            planned.size() - withARun.size(), static_cast<unsigned long long>(FragmentedAfter(job)),
            FragmentationText(job, false).c_str(), FragmentationText(job, true).c_str());
    }

    // The next scan finds what the run lists say.
    auto volume = OpenForJobs(image);
    ASSERT_TRUE(volume);
    Job rescan(*volume, memory, JobKind::Analysis, 0, 1);
    RunToTheEnd(rescan);
    EXPECT_EQ(rescan.Figures().counts.fragmentedFiles, FragmentedIn(walk));
}

TEST(EngineProof, ScansAndOptimizesFragmentedImagesInTwoPassesAndPassesEveryChecker) {
    std::string error;
    const std::string fragmented = FragmentedImage(error);
    ASSERT_TRUE(error.empty()) << error;
    std::vector<PassReport> reports;
    ProveTheEngineOn(fragmented, "fragmented", reports);

    // Little free space: the first pass leaves files without room, and the second
    // makes room for some by moving small files aside.
    const std::string crowded = CrowdedImage(error);
    ASSERT_TRUE(error.empty()) << error;
    reports.clear();
    ProveTheEngineOn(crowded, "crowded", reports);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_GT(reports[1].intoRoomMade, 0u);
}

TEST(ImageCheckers, CatchAClusterFreedUnderAFileAndChangedData) {
    std::string error;
    const std::string small = SmallImage(error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_TRUE(Intact(small, small));
    std::int64_t lcn = -1;
    for (const auto& [number, file] : WalkImage(small).files) {
        const RawStream* stream = file.ClusterStream();
        if (number >= FILE_first_user && !file.directory && stream && !stream->runs.empty() &&
            stream->runs.front().lcn != kHoleLcn) {
            lcn = stream->runs.front().lcn;
            break;
        }
    }
    ASSERT_GE(lcn, 0);

    const std::string freed = CopyOf(small, "freed-cluster.img");
    {
        ntfs_volume* volume = ntfs_mount(freed.c_str(), 0);
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(ntfs_bitmap_clear_run(volume->lcnbmp_na, lcn, 1), 0);
        ntfs_umount(volume, FALSE);
    }
    const ToolRun resize = RunNtfsresizeInfo(freed);
    EXPECT_EQ(resize.exitCode, 1) << resize.output;
    EXPECT_FALSE(CheckClusterAccounting(freed).empty());
    EXPECT_FALSE(Intact(freed, small));

    const std::string changed = CopyOf(small, "changed-data.img");
    const int file = open(changed.c_str(), O_WRONLY);
    ASSERT_GE(file, 0);
    EXPECT_EQ(pwrite(file, "!", 1, lcn * 4096 + 7), 1);
    close(file);
    EXPECT_FALSE(Intact(changed, small));
    EXPECT_TRUE(CheckClusterAccounting(changed).empty());
}

}  // namespace
}  // namespace vantrel::engine::ntfs::proof
