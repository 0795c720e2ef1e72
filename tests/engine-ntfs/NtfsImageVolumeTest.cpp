// The NTFS image backend read against an independent walk of the same image, and
// the images it must refuse to open.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "engine/ntfs/NtfsImageVolume.h"
#include "engine/ntfs/NtfsLibrary.h"
#include "tests/engine-ntfs/ImageChecks.h"
#include "tests/engine-ntfs/VolumeReads.h"
#include "tests/engine-ntfs/TestImages.h"

namespace vantrel::engine::ntfs::proof {
namespace {

// The name a listing shows: the first name that is not a DOS short name.
const RawName* ListedName(const RawFile& file) {
    for (const RawName& name : file.names) {
        if (name.nameSpace != FILE_NAME_DOS) {
            return &name;
        }
    }
    return file.names.empty() ? nullptr : &file.names.front();
}

std::vector<Extent> AsExtents(const std::vector<Run>& runs) {
    std::vector<Extent> extents;
    for (const Run& run : runs) {
        extents.push_back({static_cast<Vcn>(run.vcn), static_cast<std::uint64_t>(run.length),
                           run.lcn == kHoleLcn ? kNoLcn : static_cast<Lcn>(run.lcn)});
    }
    return extents;
}

TEST(NtfsImageVolume, ReadsWhatAnIndependentWalkReadsInEveryPageAndWritesNothing) {
    std::string error;
    const std::string original = FragmentedImage(error);
    ASSERT_TRUE(error.empty()) << error;
    const std::string image = CopyOf(original, "reads.img");
    const MftWalk walk = WalkImage(image);
    ASSERT_FALSE(walk.files.empty());
    ASSERT_TRUE(walk.problems.empty()) << walk.problems.front();

    NtfsImageOptions tinyPages;
    tinyPages.bitmapPageBytes = 100;
    tinyPages.enumerationBatch = 7;
    tinyPages.extentPageRuns = 3;
    auto opened = NtfsImageVolume::Open(image, OpenMode::ReadWrite, tinyPages);
    ASSERT_TRUE(opened.volume) << opened.message;
    Volume& volume = *opened.volume;

    std::uint64_t freeInWalk = 0;
    for (std::uint64_t lcn = 0; lcn < walk.totalClusters; ++lcn) {
        freeInWalk += !((walk.bitmap[lcn / 8] >> (lcn % 8)) & 1u);
    }
    VolumeData data;
    ASSERT_EQ(volume.QueryVolumeData(data), VolumeStatus::Ok);
    EXPECT_EQ(data.fileSystem, u"NTFS");
    EXPECT_EQ(data.bytesPerCluster, 4096u);
    EXPECT_EQ(data.totalClusters, walk.totalClusters);
    EXPECT_EQ(data.freeClusters, freeInWalk);
    EXPECT_EQ(data.mftStart,
              static_cast<Lcn>(walk.files.at(FILE_MFT).ClusterStream()->runs[0].lcn));
    EXPECT_LT(data.mftZoneStart, data.mftZoneEnd);

    // The bitmap, page by page from an unaligned start: the page starts at the byte.
    BitmapPage page;
    ASSERT_EQ(volume.ReadBitmap(13, page), VolumeStatus::MoreData);
    EXPECT_EQ(page.start, 8u);
    std::uint64_t pages = 0;
    std::uint64_t next = 0;
    for (VolumeStatus status = VolumeStatus::MoreData; status == VolumeStatus::MoreData; ++pages) {
        status = volume.ReadBitmap(next, page);
        ASSERT_TRUE(status == VolumeStatus::Ok || status == VolumeStatus::MoreData);
        ASSERT_EQ(page.start, next);
        for (Lcn lcn = page.start; lcn < page.start + page.clusters; ++lcn) {
            ASSERT_EQ(page.InUse(lcn), ((walk.bitmap[lcn / 8] >> (lcn % 8)) & 1u) != 0) << lcn;
        }
        next = page.start + page.clusters;
    }
    EXPECT_EQ(next, walk.totalClusters);
    EXPECT_GT(pages, 10u);
    EXPECT_EQ(volume.ReadBitmap(walk.totalClusters, page), VolumeStatus::InvalidParameter);

    // The enumeration, batch by batch, in record order, and every file's extents.
    const std::vector<FileInfo> listed = ListFiles(volume, 7);
    std::size_t expected = 0;
    std::size_t withDosName = 0;
    std::size_t multiPage = 0;
    auto file = listed.begin();
    for (const auto& [number, raw] : walk.files) {
        const RawName* name = ListedName(raw);
        if (name == nullptr) {
            continue;
        }
        ++expected;
        ASSERT_NE(file, listed.end());
        ASSERT_EQ(file->id, raw.Reference());
        EXPECT_EQ(file->parentId, name->parent);
        EXPECT_EQ(file->name, name->name);
        withDosName += std::any_of(raw.names.begin(), raw.names.end(), [](const RawName& other) {
            return other.nameSpace == FILE_NAME_DOS;
        });
        const std::uint32_t directoryBit = raw.directory ? attributes::kDirectory : 0;
        EXPECT_EQ(file->attributes, (raw.standardAttributes & 0xFFFFu) | directoryBit);
        const RawStream* unnamed = raw.Find(le32_to_cpu(AT_DATA), u"");
        EXPECT_EQ(file->size,
                  raw.directory || !unnamed ? 0u : static_cast<std::uint64_t>(unnamed->dataSize));

        const RawStream* stream = raw.ClusterStream();
        const std::vector<Extent> runs = stream ? AsExtents(stream->runs) : std::vector<Extent>{};
        std::vector<Extent> extents;
        ASSERT_EQ(ReadAllExtents(volume, file->id, extents), VolumeStatus::Ok);
        ASSERT_EQ(extents, runs) << "record " << number;
        if (runs.size() > 4) {
            // A page from inside a run starts with that run, whole.
            std::vector<Extent> inside;
            const Extent& second = runs[1];
            ASSERT_EQ(volume.ReadExtents(file->id, second.vcn + second.clusters - 1, inside),
                      VolumeStatus::MoreData);
            EXPECT_EQ(inside.front(), second);
            ++multiPage;
        }
        ++file;
    }
    EXPECT_EQ(listed.size(), expected);
    EXPECT_GT(listed.size(), 2000u);
    EXPECT_GT(multiPage, 100u);
    EXPECT_EQ(withDosName, ImageRecipe{}.shortNamedFiles);
    EXPECT_EQ(listed[FILE_root].parentId, listed[FILE_root].id);  // records 0 to 11 all have names
    std::vector<Extent> none;
    EXPECT_EQ(volume.ReadExtents(MK_MREF(FILE_root, 1234), 0, none), VolumeStatus::NoSuchFile);
    EXPECT_EQ(volume.ReadExtents(~std::uint64_t{0} >> 16, 0, none), VolumeStatus::NoSuchFile);

    opened.volume.reset();
    EXPECT_TRUE(SameBytes(image, original)) << "reading wrote to the image";
}

// Opens the image in a child process that has it mounted (a tmpfs mounted with
// the image as its source, in a private mount namespace, is what the mount table
// shows for a mounted image). Skipped where user namespaces are not allowed.
std::optional<OpenRefusal> OpenWhileMounted(const std::string& image, const std::string& where) {
    int answer[2];
    if (pipe(answer) != 0) {
        return std::nullopt;
    }
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    const pid_t child = fork();
    if (child == 0) {
        close(answer[0]);
        char refusal = -1;
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) {
            std::ofstream("/proc/self/setgroups") << "deny";
            std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
            std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
            if (mount(image.c_str(), where.c_str(), "tmpfs", 0, nullptr) == 0) {
                refusal =
                    static_cast<char>(NtfsImageVolume::Open(image, OpenMode::ReadWrite).refusal);
            }
        }
        [[maybe_unused]] const auto written = write(answer[1], &refusal, 1);
        _exit(0);
    }
    close(answer[1]);
    char refusal = -1;
    const bool read = ::read(answer[0], &refusal, 1) == 1;
    close(answer[0]);
    waitpid(child, nullptr, 0);
    if (!read || refusal < 0) {
        return std::nullopt;
    }
    return static_cast<OpenRefusal>(refusal);
}

TEST(NtfsImageVolume, RefusesAnythingButACleanUnmountedNtfsImageAndLeavesItAsItWas) {
    std::string error;
    const std::string small = SmallImage(error);
    ASSERT_TRUE(error.empty()) << error;

    const std::string zeros = ScratchPath("zeros.img");
    std::ofstream(zeros) << std::string(1 << 20, '\0');
    const std::string zerosBefore = CopyOf(zeros, "zeros-before.img");
    auto refused = NtfsImageVolume::Open(zeros, OpenMode::ReadWrite);
    EXPECT_EQ(refused.refusal, OpenRefusal::NotNtfs);
    EXPECT_EQ(refused.message, zeros + " holds no NTFS file system.");
    EXPECT_TRUE(SameBytes(zeros, zerosBefore));

    // Cut short: the boot sector says NTFS, the structures it points to are gone.
    const std::string cut = CopyOf(small, "cut-short.img");
    ASSERT_EQ(truncate(cut.c_str(), 1 << 20), 0);
    const std::string cutBefore = CopyOf(cut, "cut-short-before.img");
    refused = NtfsImageVolume::Open(cut, OpenMode::ReadWrite);
    EXPECT_EQ(refused.refusal, OpenRefusal::Damaged);
    EXPECT_EQ(refused.message.rfind(cut + " is damaged", 0), 0u) << refused.message;
    EXPECT_TRUE(SameBytes(cut, cutBefore));

    EXPECT_EQ(NtfsImageVolume::Open("/dev/null", OpenMode::ReadOnly).refusal,
              OpenRefusal::NotAnImageFile);
    EXPECT_EQ(NtfsImageVolume::Open(ScratchPath(""), OpenMode::ReadOnly).refusal,
              OpenRefusal::NotAnImageFile);
    EXPECT_EQ(NtfsImageVolume::Open(ScratchPath("missing.img"), OpenMode::ReadOnly).refusal,
              OpenRefusal::NotAnImageFile);

    // A volume marked dirty, as Windows leaves it when it was not shut down cleanly.
    const std::string dirty = CopyOf(small, "dirty.img");
    {
        ntfs_volume* volume = ntfs_mount(dirty.c_str(), 0);
        ASSERT_NE(volume, nullptr);
        ASSERT_EQ(
            ntfs_volume_write_flags(volume, static_cast<le16>(volume->flags | VOLUME_IS_DIRTY)), 0);
        ntfs_umount(volume, FALSE);
    }
    const std::string dirtyBefore = CopyOf(dirty, "dirty-before.img");
    for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
        refused = NtfsImageVolume::Open(dirty, mode);
        EXPECT_EQ(refused.refusal, OpenRefusal::Dirty);
        EXPECT_NE(refused.message.find(dirty + " is marked dirty"), std::string::npos);
    }
    EXPECT_TRUE(SameBytes(dirty, dirtyBefore));

    const std::string mounted = CopyOf(small, "mounted.img");
    const std::string mountPoint = ScratchPath("mount-point");
    std::filesystem::create_directory(mountPoint);
    if (const auto refusal = OpenWhileMounted(mounted, mountPoint)) {
        EXPECT_EQ(*refusal, OpenRefusal::Mounted);
        EXPECT_TRUE(SameBytes(mounted, small));
    } else {
        std::printf("No user namespaces here: the mounted image is not tried.\n");
    }

    // Read-only: no move, and not a byte changed, not even a journal or a flag.
    const std::string readOnly = CopyOf(small, "read-only.img");
    {
        auto opened = NtfsImageVolume::Open(readOnly, OpenMode::ReadOnly);
        ASSERT_TRUE(opened.volume) << opened.message;
        const std::vector<FileInfo> files = ListFiles(*opened.volume);
        ASSERT_FALSE(files.empty());
        BitmapPage page;
        ASSERT_EQ(opened.volume->ReadBitmap(0, page), VolumeStatus::Ok);
        EXPECT_EQ(opened.volume->MoveClusters(MK_MREF(FILE_root, FILE_root), 0, 0, 1),
                  VolumeStatus::AccessDenied);
        EXPECT_EQ(opened.volume->MoveClusters(files.back().id, 0, page.clusters - 1, 1),
                  VolumeStatus::AccessDenied);
    }
    EXPECT_TRUE(SameBytes(readOnly, small));
}

}  // namespace
}  // namespace vantrel::engine::ntfs::proof
