// Moves on real NTFS images: every kind of data the file system keeps outside its
// MFT records, the moves it must refuse, and a power cut at every write of a move.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "engine/ntfs/NtfsImageVolume.h"
#include "engine/ntfs/NtfsLibrary.h"
#include "tests/engine-ntfs/VolumeReads.h"
#include "tests/engine-ntfs/TestImages.h"

namespace vantrel::engine::ntfs::proof {
namespace {

using Fits = std::function<bool(const RawFile&, const RawStream&)>;

// The fragmented user file with the most (or the fewest) fragments among those
// `fits` accepts.
const RawFile* Fragmented(const MftWalk& walk, const Fits& fits, bool most = true) {
    const RawFile* best = nullptr;
    std::size_t bestFragments = 0;
    for (const auto& [number, file] : walk.files) {
        const RawStream* stream = file.ClusterStream();
        const std::size_t fragments = stream ? CountFragments(stream->runs) : 0;
        if (number >= FILE_first_user && fragments > 1 && fits(file, *stream) &&
            (!best || (most ? fragments > bestFragments : fragments < bestFragments))) {
            best = &file;
            bestFragments = fragments;
        }
    }
    return best;
}

std::int64_t EndVcn(const RawStream& stream) {
    return stream.runs.empty() ? 0 : stream.runs.back().vcn + stream.runs.back().length;
}

bool Plain(const RawFile& file, const RawStream& stream) {
    return !file.directory && !(stream.flags & (ATTR_COMPRESSION_MASK | ATTR_IS_SPARSE));
}

struct Layout {
    std::size_t fragments = 0;
    std::uint64_t stored = 0;
    Vcn end = 0;
    std::vector<Extent> extents;
};

Layout LayoutOf(Volume& volume, std::uint64_t id) {
    Layout layout;
    EXPECT_EQ(ReadAllExtents(volume, id, layout.extents), VolumeStatus::Ok);
    const LayoutFacts facts = FactsOf(layout.extents);
    layout.fragments = facts.fragments;
    layout.stored = facts.storedClusters;
    layout.end = facts.vcnEnd;
    return layout;
}

Lcn LcnAt(const Layout& layout, Vcn vcn) {
    for (const Extent& extent : layout.extents) {
        if (vcn >= extent.vcn && vcn < extent.vcn + extent.clusters) {
            return extent.lcn == kNoLcn ? kNoLcn : extent.lcn + (vcn - extent.vcn);
        }
    }
    return kNoLcn;
}

// Moves the whole file into the first free run that holds it.
VolumeStatus MoveWhole(Volume& volume, std::uint64_t id) {
    const Layout layout = LayoutOf(volume, id);
    const Lcn target = FindFreeRun(volume, layout.stored);
    return target == kNoLcn ? VolumeStatus::TargetInUse
                            : volume.MoveClusters(id, 0, target, layout.end);
}

std::unique_ptr<NtfsImageVolume> OpenForMoves(const std::string& image,
                                              const NtfsImageOptions& options = {}) {
    auto opened = NtfsImageVolume::Open(image, OpenMode::ReadWrite, options);
    EXPECT_TRUE(opened.volume) << opened.message;
    return std::move(opened.volume);
}

TEST(NtfsMove, MovesPlainSparseCompressedAndIndexDataWithEveryFileIntact) {
    std::string error;
    const std::string original = FragmentedImage(error);
    ASSERT_TRUE(error.empty()) << error;
    const std::string image = CopyOf(original, "moves.img");
    const MftWalk walk = WalkImage(image);
    const RawFile* plain = Fragmented(walk, Plain);
    const RawFile* other = Fragmented(walk, [&](const RawFile& file, const RawStream& stream) {
        return Plain(file, stream) && &file != plain;
    });
    const RawFile* sparse = Fragmented(walk, [](const RawFile&, const RawStream& stream) {
        return (stream.flags & ATTR_IS_SPARSE) && !(stream.flags & ATTR_COMPRESSION_MASK);
    });
    const RawFile* compressed = Fragmented(walk, [](const RawFile&, const RawStream& stream) {
        return (stream.flags & ATTR_COMPRESSION_MASK) && EndVcn(stream) >= 32;
    });
    const RawFile* index =
        Fragmented(walk, [](const RawFile& file, const RawStream&) { return file.directory; });
    // The smallest plain file that can be cut into 600 pieces.
    const RawFile* large = nullptr;
    for (const auto& [number, raw] : walk.files) {
        const RawStream* stream = raw.ClusterStream();
        if (number >= FILE_first_user && stream && Plain(raw, *stream) && EndVcn(*stream) > 600 &&
            (!large || EndVcn(*stream) < EndVcn(*large->ClusterStream()))) {
            large = &raw;
        }
    }
    ASSERT_TRUE(plain && other && sparse && compressed && index && large);

    auto volume = OpenForMoves(image);
    ASSERT_TRUE(volume);
    for (const RawFile* file : {plain, sparse, compressed, index}) {
        const Layout before = LayoutOf(*volume, file->Reference());
        ASSERT_EQ(MoveWhole(*volume, file->Reference()), VolumeStatus::Ok) << file->record;
        const Layout after = LayoutOf(*volume, file->Reference());
        EXPECT_EQ(after.fragments, 1u) << file->record;
        EXPECT_EQ(after.stored, before.stored);
        EXPECT_EQ(after.end, before.end);
    }

    // Part of a file: only the range moves, the rest stays where it was.
    const Layout before = LayoutOf(*volume, other->Reference());
    const Lcn part = FindFreeRun(*volume, 5);
    ASSERT_EQ(volume->MoveClusters(other->Reference(), 3, part, 5), VolumeStatus::Ok);
    const Layout after = LayoutOf(*volume, other->Reference());
    for (Vcn vcn = 0; vcn < before.end; ++vcn) {
        const bool moved = vcn >= 3 && vcn < 8;
        EXPECT_EQ(LcnAt(after, vcn), moved ? part + vcn - 3 : LcnAt(before, vcn)) << vcn;
    }

    // Compressed data moves in whole units only.
    const Lcn unit = FindFreeRun(*volume, 16);
    EXPECT_EQ(volume->MoveClusters(compressed->Reference(), 8, unit, 16), VolumeStatus::CannotMove);
    EXPECT_EQ(volume->MoveClusters(compressed->Reference(), 16, unit, 15),
              VolumeStatus::CannotMove);
    EXPECT_EQ(volume->MoveClusters(compressed->Reference(), 16, unit, 16), VolumeStatus::Ok);

    // One cluster at a time into scattered free clusters: the run list grows past
    // what one MFT record holds, and the library adds extension records.
    const std::uint64_t largeId = large->Reference();
    std::vector<Lcn> scattered;
    for (Lcn lcn = FindFreeRun(*volume, 1); lcn != kNoLcn && scattered.size() < 300;
         lcn = FindFreeRun(*volume, 1, lcn + 2)) {
        scattered.push_back(lcn);
    }
    ASSERT_EQ(scattered.size(), 300u);
    for (std::size_t i = 0; i < scattered.size(); ++i) {
        ASSERT_EQ(volume->MoveClusters(largeId, 2 * i + 1, scattered[i], 1), VolumeStatus::Ok) << i;
    }
    EXPECT_GE(LayoutOf(*volume, largeId).fragments, 600u);
    volume.reset();
    EXPECT_GT(WalkImage(image).files.at(large->record).ClusterStream()->pieceRecords.size(), 2u);

    // ...and removes them again when the file is moved back into one piece.
    volume = OpenForMoves(image);
    ASSERT_EQ(MoveWhole(*volume, largeId), VolumeStatus::Ok);
    EXPECT_EQ(LayoutOf(*volume, largeId).fragments, 1u);
    // The free-cluster count kept in memory followed every move.
    VolumeData data;
    ASSERT_EQ(volume->QueryVolumeData(data), VolumeStatus::Ok);
    std::vector<bool> used;
    ASSERT_TRUE(ReadWholeBitmap(*volume, used));
    EXPECT_EQ(data.freeClusters,
              static_cast<std::uint64_t>(std::count(used.begin(), used.end(), false)));
    volume.reset();
    EXPECT_EQ(WalkImage(image).files.at(large->record).ClusterStream()->pieceRecords.size(), 1u);
    EXPECT_TRUE(Intact(image, original));
}

TEST(NtfsMove, RefusesWhatTheFileSystemRefusesAndChangesNothing) {
    std::string error;
    const std::string small = SmallImage(error);
    ASSERT_TRUE(error.empty()) << error;
    const std::string image = CopyOf(small, "refusals.img");
    const MftWalk walk = WalkImage(image);
    const RawFile* file = Fragmented(walk, Plain);
    const RawFile* neighbour = Fragmented(walk, [&](const RawFile& raw, const RawStream& stream) {
        return Plain(raw, stream) && &raw != file;
    });
    const RawFile* resident = nullptr;
    const RawFile* extend = nullptr;
    for (const auto& [number, raw] : walk.files) {
        const RawStream* data = raw.Find(le32_to_cpu(AT_DATA), u"");
        if (!raw.directory && number >= FILE_first_user && data && !data->nonResident) {
            resident = &raw;
        }
        if (raw.InExtend()) {
            extend = &raw;
        }
    }
    ASSERT_TRUE(file && neighbour && resident && extend);
    const std::uint64_t id = file->Reference();
    {
        auto volume = OpenForMoves(image);
        ASSERT_TRUE(volume);
        const Layout layout = LayoutOf(*volume, id);
        const Lcn taken = static_cast<Lcn>(neighbour->ClusterStream()->runs.front().lcn);
        const Lcn free = FindFreeRun(*volume, layout.stored);
        VolumeData data;
        ASSERT_EQ(volume->QueryVolumeData(data), VolumeStatus::Ok);

        EXPECT_EQ(volume->MoveClusters(id, 0, taken, 1), VolumeStatus::TargetInUse);
        EXPECT_EQ(volume->MoveClusters(id, 0, taken - layout.stored + 1, layout.end),
                  VolumeStatus::TargetInUse);  // only the last cluster is taken
        EXPECT_EQ(volume->MoveClusters(id, 0, data.totalClusters - 1, 2),
                  VolumeStatus::InvalidParameter);
        EXPECT_EQ(volume->MoveClusters(id, 0, free, layout.end + 1),
                  VolumeStatus::InvalidParameter);
        EXPECT_EQ(volume->MoveClusters(id, layout.end, free, 1), VolumeStatus::InvalidParameter);
        EXPECT_EQ(volume->MoveClusters(id, 0, free, 0), VolumeStatus::InvalidParameter);
        EXPECT_EQ(volume->MoveClusters(resident->Reference(), 0, free, 1),
                  VolumeStatus::InvalidParameter);
        EXPECT_EQ(volume->MoveClusters(id + (std::uint64_t{1} << 48), 0, free, 1),
                  VolumeStatus::NoSuchFile);
        for (std::uint64_t system : {walk.files.at(FILE_MFT).Reference(),
                                     walk.files.at(FILE_root).Reference(), extend->Reference()}) {
            EXPECT_EQ(volume->MoveClusters(system, 0, free, 1), VolumeStatus::CannotMove) << system;
        }
        EXPECT_EQ(LayoutOf(*volume, id).extents, layout.extents);
    }
    EXPECT_TRUE(SameBytes(image, small));
}

// The image's device with one fault from its `at`-th write on (counting from 0):
// a power cut, after which no write reaches the image (the library is told each
// one succeeded), or a single write that fails.
struct DeviceFault {
    enum class Kind { PowerCut, FailedWrite };
    static inline Kind kind = Kind::PowerCut;
    static inline long long at = -1;  // no fault
    static inline long long writes = 0;

    enum class Outcome { Written, Lost, Failed };
    static Outcome Next() {
        const long long index = writes++;
        if (at < 0 || index < at) {
            return Outcome::Written;
        }
        if (kind == Kind::PowerCut) {
            return Outcome::Lost;
        }
        return index == at ? Outcome::Failed : Outcome::Written;
    }
    static s64 Pwrite(ntfs_device* device, const void* buffer, s64 count, s64 offset) {
        switch (Next()) {
            case Outcome::Lost:
                return count;
            case Outcome::Failed:
                errno = EIO;
                return -1;
            default:
                return ntfs_device_unix_io_ops.pwrite(device, buffer, count, offset);
        }
    }
    static s64 Write(ntfs_device* device, const void* buffer, s64 count) {
        switch (Next()) {
            case Outcome::Lost:
                return ntfs_device_unix_io_ops.seek(device, count, SEEK_CUR) >= 0 ? count : -1;
            case Outcome::Failed:
                errno = EIO;
                return -1;
            default:
                return ntfs_device_unix_io_ops.write(device, buffer, count);
        }
    }
    static ntfs_device_operations Operations() {
        ntfs_device_operations operations = ntfs_device_unix_io_ops;
        operations.pwrite = Pwrite;
        operations.write = Write;
        return operations;
    }
};

TEST(NtfsMove, AFaultAtAnyWriteOfAMoveLeaksClustersAtWorstAndLosesNoData) {
    std::string error;
    const std::string small = SmallImage(error);
    ASSERT_TRUE(error.empty()) << error;
    const MftWalk walk = WalkImage(small);
    // Few fragments: every write of the move is tried, and each run costs writes.
    // Their run lists fit in one MFT record (see NtfsImageVolume.h for those that
    // do not).
    const RawFile* file = Fragmented(walk, Plain, false);
    const RawFile* index = Fragmented(
        walk, [](const RawFile& raw, const RawStream&) { return raw.directory; }, false);
    ASSERT_TRUE(file && index);
    ntfs_device_operations operations = DeviceFault::Operations();
    NtfsImageOptions options;
    options.deviceOperations = &operations;
    for (const auto kind : {DeviceFault::Kind::PowerCut, DeviceFault::Kind::FailedWrite}) {
        for (const RawFile* moved : {file, index}) {
            for (long long at = 0;; ++at) {
                ASSERT_LT(at, 500) << "a move that never ends";
                const std::string image = CopyOf(small, "fault.img");
                auto volume = OpenForMoves(image, options);
                ASSERT_TRUE(volume);
                DeviceFault::kind = kind;
                DeviceFault::writes = 0;
                DeviceFault::at = at;
                const VolumeStatus status = MoveWhole(*volume, moved->Reference());
                const long long writesOfTheMove = DeviceFault::writes;
                volume.reset();  // after a power cut, the unmount's writes are lost too
                DeviceFault::at = -1;

                const std::string where =
                    (kind == DeviceFault::Kind::PowerCut ? "cut at write " : "failed write ") +
                    std::to_string(at) + ": ";
                const std::vector<std::string> problems = CheckClusterAccounting(image, true);
                EXPECT_TRUE(problems.empty()) << where << problems.front();
                if (at >= writesOfTheMove) {
                    // The whole move reached the image: it is done, and nothing leaked.
                    EXPECT_EQ(status, VolumeStatus::Ok);
                    EXPECT_TRUE(Intact(image, small));
                    break;
                }
                std::vector<std::string> unreadable;
                EXPECT_EQ(HashEveryFile(image, unreadable), HashesOf(small)) << where;
            }
        }
    }
}

}  // namespace
}  // namespace vantrel::engine::ntfs::proof
