// The model drives the service serves: the same drive always looks the same, every
// one is consistent to the cluster, their paths read like a real drive's, and two
// passes of the engine lower their fragmentation the way the results pages expect
// (the second pass below the first, the locked files left behind).
#include "engine/Figures.h"
#include "engine/Job.h"
#include "engine/sim/ModelDrive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel::engine::sim {
namespace {

constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint32_t kCells = 1472;

struct Ended {
    JobFigures figures;
    std::vector<FileOutcome> outcomes;
    FileTable table;
};

Ended RunJob(SimVolume& volume, VolumeMemory& memory, JobKind kind, int pass = 0) {
    Job job(volume, memory, kind, pass, kCells);
    while (!job.Done()) {
        job.Step();
    }
    return {job.Figures(), job.Outcomes(), job.TakeTable()};
}

double VolumePercent(const Ended& job, bool after) {
    return *FragmentationPercent(FragmentedClusters(job.outcomes, after),
                                 job.figures.counts.totalClusters);
}

// Paths of the files below `folder` ("\Windows\System32\").
std::vector<std::u16string> FilesBelow(const Ended& scan, SimVolume& volume,
                                       std::u16string_view folder) {
    std::vector<std::u16string> paths;
    for (std::uint32_t i = 0; i < scan.table.Size(); ++i) {
        const std::uint64_t record = scan.table.IdOf(i) & 0xFFFFFFFFFFFFull;
        if ((volume.File(record).attributes & attributes::kDirectory) == 0) {
            std::u16string path = scan.table.PathOf(i);
            if (path.starts_with(folder)) {
                paths.push_back(std::move(path));
            }
        }
    }
    return paths;
}

TEST(ModelDrive, SameDriveSameVolumeEveryOneConsistent) {
    struct Case {
        char16_t letter;
        std::uint64_t bytes;
    };
    for (const Case drive : {Case{u'C', 16 * kGiB}, Case{u'D', 0}, Case{u'E', 64 * kGiB}}) {
        SCOPED_TRACE(static_cast<char>(drive.letter));
        const auto volume = BuildModelDrive(drive.letter, drive.bytes);
        EXPECT_EQ(volume->Audit(), "");
        EXPECT_LE(volume->Options().totalClusters, 0xFFFFFFFFull);
        const auto again = BuildModelDrive(drive.letter, drive.bytes);
        ASSERT_EQ(again->RecordCount(), volume->RecordCount());
        for (std::uint64_t record = 0; record < volume->RecordCount(); record += 97) {
            ASSERT_EQ(again->NameOf(record), volume->NameOf(record));
            ASSERT_EQ(again->ExtentsOf(record).size(), volume->ExtentsOf(record).size());
        }
    }
    EXPECT_NE(BuildModelDrive(u'C', 16 * kGiB)->FreeClusters(),
              BuildModelDrive(u'D', 16 * kGiB)->FreeClusters());
}

TEST(ModelDrive, PathsReadLikeTheDriveTheyStandFor) {
    auto system = BuildModelDrive(u'C', 16 * kGiB);
    VolumeMemory memory;
    const Ended scan = RunJob(*system, memory, JobKind::Analysis);
    struct Case {
        std::u16string folder;
        std::vector<std::u16string> extensions;  // some file ends with one of them
    };
    const Case cases[] = {
        {u"\\Windows\\System32\\", {u".dll", u".exe", u".sys", u".mui"}},
        {u"\\Users\\", {u".docx", u".pdf", u".jpg", u".json"}},
        {u"\\Program Files\\", {u".dll", u".exe", u".pak"}},
    };
    for (const Case& test : cases) {
        const auto paths = FilesBelow(scan, *system, test.folder);
        EXPECT_GE(paths.size(), 20u) << std::string(test.folder.begin(), test.folder.end());
        bool fitting = false;
        for (const std::u16string& path : paths) {
            for (const std::u16string& extension : test.extensions) {
                fitting = fitting || path.ends_with(extension);
            }
        }
        EXPECT_TRUE(fitting) << std::string(test.folder.begin(), test.folder.end());
    }
    EXPECT_FALSE(FilesBelow(scan, *system, u"\\pagefile.sys").empty());
    EXPECT_FALSE(FilesBelow(scan, *system, u"\\$Extend\\").empty());

    auto data = BuildModelDrive(u'D', 16 * kGiB);
    const Ended dataScan = RunJob(*data, memory, JobKind::Analysis);
    EXPECT_TRUE(FilesBelow(dataScan, *data, u"\\Windows\\").empty());
    EXPECT_FALSE(FilesBelow(dataScan, *data, u"\\Photos\\").empty());
}

TEST(ModelDrive, TwoPassesLowerFragmentationAndLeaveTheLockedFiles) {
    for (const char16_t letter : {u'C', u'Y'}) {
        SCOPED_TRACE(static_cast<char>(letter));
        auto volume = BuildModelDrive(letter, 64 * kGiB);
        VolumeMemory memory;
        const Ended scan = RunJob(*volume, memory, JobKind::Analysis);
        const double scanned = VolumePercent(scan, false);
        EXPECT_GE(scanned, 2.0);
        EXPECT_LE(scanned, 35.0);
        EXPECT_LE(scan.figures.counts.fragmentedFiles, kMaxFragmentedFiles);
        EXPECT_GT(scan.figures.counts.files, 100000u);

        const Ended first = RunJob(*volume, memory, JobKind::Optimization, 1);
        const Ended second = RunJob(*volume, memory, JobKind::Optimization, 2);
        EXPECT_LT(VolumePercent(first, true), scanned);
        EXPECT_LT(VolumePercent(second, true), VolumePercent(first, true))
            << "the largest files wait for the free space the second pass makes";
        int locked = 0;
        for (const FileOutcome& outcome : second.outcomes) {
            locked += outcome.result == result::kLocked ? 1 : 0;
        }
        EXPECT_GE(locked, static_cast<int>(kMinLockedFragmentedFiles));
        EXPECT_EQ(volume->Audit(), "");
    }
}

}  // namespace
}  // namespace vantrel::engine::sim
