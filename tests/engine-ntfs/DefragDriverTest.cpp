// The NTFS proof end to end: a fragmented image defragmented through the volume
// interface alone passes every checker, and the checkers catch a damaged image.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include "engine/ntfs/NtfsImageVolume.h"
#include "engine/ntfs/NtfsLibrary.h"
#include "tests/engine-ntfs/SimpleDefrag.h"
#include "tests/engine-ntfs/TestImages.h"

namespace vantrel::engine::ntfs::proof {
namespace {

struct Census {
    std::size_t fragmentedFiles = 0;
    std::size_t fragments = 0;
};

Census Count(const std::map<std::uint64_t, std::size_t>& fragmentsByFile) {
    Census census;
    for (const auto& [id, fragments] : fragmentsByFile) {
        census.fragmentedFiles += fragments > 1;
        census.fragments += fragments;
    }
    return census;
}

TEST(DefragDriver, DefragmentsAFragmentedImageThroughTheInterfaceAndPassesEveryChecker) {
    std::string error;
    const std::string original = FragmentedImage(error);
    ASSERT_TRUE(error.empty()) << error;
    const std::string image = CopyOf(original, "defragmented.img");
    const auto before = FragmentsByFile(image);

    DefragOutcome outcome;
    {
        auto opened = NtfsImageVolume::Open(image, OpenMode::ReadWrite);
        ASSERT_TRUE(opened.volume) << opened.message;
        outcome = DefragmentSimply(*opened.volume, 256);  // 1 MiB chunks
    }
    EXPECT_TRUE(outcome.failures.empty()) << outcome.failures.front();
    EXPECT_TRUE(Intact(image, original));

    // What the driver counted through the interface is what the run lists say
    // (it counts the file system's own fragmented files too; they refuse to move).
    const auto after = FragmentsByFile(image);
    const Census was = Count(before);
    const Census is = Count(after);
    EXPECT_EQ(outcome.fragmentedBefore, was.fragmentedFiles + outcome.refused.size());
    for (std::uint64_t id : outcome.placed) {
        EXPECT_EQ(after.at(id), 1u) << id;
    }
    EXPECT_EQ(is.fragmentedFiles, outcome.noFreeRun.size());
    EXPECT_GT(outcome.placed.size(), was.fragmentedFiles * 9 / 10);
    std::printf(
        "Fragmented files %zu -> %zu (%zu without a free run of their size), fragments "
        "%zu -> %zu, files %zu\n",
        was.fragmentedFiles, is.fragmentedFiles, outcome.noFreeRun.size(), was.fragments,
        is.fragments, before.size());
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
