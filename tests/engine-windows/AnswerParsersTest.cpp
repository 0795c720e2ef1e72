// The parsers of the file system's answers against buffers built byte by byte from
// the documented layouts: well-formed ones, and truncated, overlapping and lying
// ones, which must give BadAnswer and nothing else; and the move call's input, byte
// by byte, for this process's pointer size.
#include "engine/windows/AnswerParsers.h"
#include "engine/windows/WindowsLayouts.h"
#include "tests/engine-windows/SimulatedCalls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel::engine::windows::test {
namespace {

using Buffer = std::vector<std::byte>;

NtfsVolumeData GoodNtfs() {
    NtfsVolumeData ntfs{};
    ntfs.totalClusters = 1000;
    ntfs.freeClusters = 400;
    ntfs.bytesPerSector = 512;
    ntfs.bytesPerCluster = 4096;
    ntfs.mftValidDataLength = 64 * 1024;
    ntfs.mftStartLcn = 100;
    ntfs.mftZoneStart = 100;
    ntfs.mftZoneEnd = 200;
    return ntfs;
}

TEST(AnswerParsers, NtfsVolumeDataIsTakenOnlyWhenItsFiguresHoldTogether) {
    struct Case {
        const char* name;
        void (*change)(NtfsVolumeData&);
        std::size_t cut;
        VolumeStatus expected;
    };
    const Case cases[] = {
        {"as the system answers", [](NtfsVolumeData&) {}, 0, VolumeStatus::Ok},
        {"truncated", [](NtfsVolumeData&) {}, 1, VolumeStatus::BadAnswer},
        {"more free than there is", [](NtfsVolumeData& d) { d.freeClusters = 1001; }, 0,
         VolumeStatus::BadAnswer},
        {"a cluster of 3 KiB", [](NtfsVolumeData& d) { d.bytesPerCluster = 3072; }, 0,
         VolumeStatus::BadAnswer},
        {"a cluster smaller than a sector", [](NtfsVolumeData& d) { d.bytesPerCluster = 256; }, 0,
         VolumeStatus::BadAnswer},
        {"the MFT zone past the end", [](NtfsVolumeData& d) { d.mftZoneEnd = 1001; }, 0,
         VolumeStatus::BadAnswer},
        {"no volume at all", [](NtfsVolumeData& d) { d.totalClusters = 0; }, 0,
         VolumeStatus::BadAnswer},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        NtfsVolumeData ntfs = GoodNtfs();
        test.change(ntfs);
        Buffer bytes;
        Put(bytes, ntfs);
        bytes.resize(bytes.size() - test.cut);
        VolumeData data;
        EXPECT_EQ(ParseNtfsVolumeData(bytes, data), test.expected);
        if (test.expected == VolumeStatus::Ok) {
            EXPECT_EQ(data.totalClusters, 1000u);
            EXPECT_EQ(data.freeClusters, 400u);
            EXPECT_EQ(data.bytesPerCluster, 4096u);
            EXPECT_EQ(data.mftZoneEnd, 200u);
            EXPECT_EQ(data.mftValidBytes, 64u * 1024);
        }
    }
}

Buffer BitmapAnswer(std::int64_t start, std::int64_t size, std::vector<std::uint8_t> bits) {
    Buffer bytes;
    Put(bytes, VolumeBitmapHeader{start, size});
    for (const std::uint8_t byte : bits) {
        Put(bytes, byte);
    }
    return bytes;
}

TEST(AnswerParsers, BitmapPagesRoundDownPageOnAndNeverReachPastTheirBits) {
    constexpr std::uint64_t kTotal = 20;
    BitmapPage page;
    // Asked from 11: the answer starts at 8 and holds the last 12 clusters whole.
    ASSERT_EQ(ParseBitmapPage(BitmapAnswer(8, 12, {0xFF, 0xF5}), false, 11, kTotal, page),
              VolumeStatus::Ok);
    EXPECT_EQ(page.start, 8u);
    EXPECT_EQ(page.clusters, 12u);
    ASSERT_EQ(page.bits.size(), 2u);
    EXPECT_EQ(page.bits[1], 0x05) << "the bits past the volume's end are cleared";

    // A full buffer with ERROR_MORE_DATA: a page of what it holds.
    ASSERT_EQ(ParseBitmapPage(BitmapAnswer(0, 20, {0x0F}), true, 0, kTotal, page),
              VolumeStatus::MoreData);
    EXPECT_EQ(page.clusters, 8u);
    EXPECT_TRUE(page.InUse(3));
    EXPECT_FALSE(page.InUse(4));

    struct Lie {
        const char* name;
        Buffer answer;
        bool moreData;
        Lcn asked;
    };
    const Lie lies[] = {
        {"a header cut short", Buffer(15), false, 0},
        {"a page beginning after the cluster asked for", BitmapAnswer(16, 4, {0}), false, 8},
        {"a start that is no whole byte", BitmapAnswer(4, 16, {0, 0}), false, 4},
        {"more clusters than the volume has", BitmapAnswer(8, 13, {0, 0}), false, 8},
        {"the rest of the volume claimed, less held", BitmapAnswer(0, 20, {0, 0}), false, 0},
        {"more to come, but nothing held", BitmapAnswer(0, 20, {}), true, 0},
        {"a negative size", BitmapAnswer(0, -1, {0}), false, 0},
    };
    for (const Lie& lie : lies) {
        SCOPED_TRACE(lie.name);
        EXPECT_EQ(ParseBitmapPage(lie.answer, lie.moreData, lie.asked, kTotal, page),
                  VolumeStatus::BadAnswer);
    }
}

struct UsnSketch {
    std::uint16_t version = 2;
    std::uint64_t id = 0x0001000000000020;
    std::uint64_t parent = 0x0005000000000005;
    std::uint32_t attributes = 0x20;
    std::u16string name = u"report.docx";
    // Departures from the layout.
    std::int32_t lengthChange = 0;
    std::optional<std::uint16_t> nameOffset{};
    std::int32_t nameLengthChange = 0;
    std::uint64_t idHigh = 0;  // version 3 only
};

void PutRecord(Buffer& bytes, const UsnSketch& sketch) {
    const std::size_t nameAt = sketch.version == 3 ? kUsnRecordV3NameAt : kUsnRecordV2NameAt;
    const std::size_t length = (nameAt + sketch.name.size() * 2 + 7) / 8 * 8;
    Buffer record(length);
    const auto nameBytes =
        static_cast<std::uint16_t>(sketch.name.size() * 2 + sketch.nameLengthChange);
    const std::uint16_t offset = sketch.nameOffset.value_or(static_cast<std::uint16_t>(nameAt));
    const auto recordLength = static_cast<std::uint32_t>(length + sketch.lengthChange);
    if (sketch.version == 3) {
        UsnRecordV3 v3{};
        v3.recordLength = recordLength;
        v3.majorVersion = 3;
        std::memcpy(v3.fileReferenceNumber, &sketch.id, 8);
        std::memcpy(v3.fileReferenceNumber + 8, &sketch.idHigh, 8);
        std::memcpy(v3.parentFileReferenceNumber, &sketch.parent, 8);
        v3.fileAttributes = sketch.attributes;
        v3.fileNameLength = nameBytes;
        v3.fileNameOffset = offset;
        std::memcpy(record.data(), &v3, nameAt);
    } else {
        UsnRecordV2 v2{};
        v2.recordLength = recordLength;
        v2.majorVersion = sketch.version;
        v2.fileReferenceNumber = sketch.id;
        v2.parentFileReferenceNumber = sketch.parent;
        v2.fileAttributes = sketch.attributes;
        v2.fileNameLength = nameBytes;
        v2.fileNameOffset = offset;
        std::memcpy(record.data(), &v2, nameAt);
    }
    std::memcpy(record.data() + nameAt, sketch.name.data(), sketch.name.size() * 2);
    bytes.insert(bytes.end(), record.begin(), record.end());
}

Buffer UsnAnswer(std::uint64_t next, const std::vector<UsnSketch>& records) {
    Buffer bytes;
    Put(bytes, next);
    for (const UsnSketch& record : records) {
        PutRecord(bytes, record);
    }
    return bytes;
}

TEST(AnswerParsers, MftPagesYieldTheirRecordsAndRefuseAnyThatReachesOutside) {
    std::uint64_t next = 0;
    std::vector<FileInfo> entries;
    const UsnSketch folder{.id = 0x0003000000000021, .attributes = 0x10, .name = u"Photos"};
    const UsnSketch wide{.version = 3, .id = 0x0002000000000022, .name = u"wide.bin"};
    const UsnSketch refs{.version = 3, .id = 0x23, .name = u"refs.bin", .idHigh = 1};
    const UsnSketch later{.version = 4, .name = u"range.bin"};
    ASSERT_EQ(ParseUsnPage(UsnAnswer(0x40, {UsnSketch{}, folder, wide, refs, later}), 0x20, next,
                           entries),
              VolumeStatus::MoreData);
    EXPECT_EQ(next, 0x40u);
    ASSERT_EQ(entries.size(), 3u) << "a 128-bit id and an unknown version are passed over";
    EXPECT_EQ(entries[0].id, 0x0001000000000020u);
    EXPECT_EQ(entries[0].parentId, 0x0005000000000005u);
    EXPECT_EQ(entries[0].name, u"report.docx");
    EXPECT_EQ(entries[1].attributes, 0x10u);
    EXPECT_EQ(entries[2].name, u"wide.bin");

    struct Lie {
        const char* name;
        Buffer answer;
    };
    Buffer cutInHeader = UsnAnswer(0x40, {UsnSketch{}});
    cutInHeader.resize(8 + 6);
    Buffer cutInRecord = UsnAnswer(0x40, {UsnSketch{}});
    cutInRecord.resize(cutInRecord.size() - 8);
    const Lie lies[] = {
        {"a page that does not advance", UsnAnswer(0x20, {UsnSketch{}})},
        {"no next reference", Buffer(4)},
        {"a record cut in its header", cutInHeader},
        {"a record cut before its end", cutInRecord},
        {"a record of length 0", UsnAnswer(0x40, {UsnSketch{.lengthChange = -88}})},
        {"a record longer than the page", UsnAnswer(0x40, {UsnSketch{.lengthChange = 8}})},
        {"a record shorter than its fixed part", UsnAnswer(0x40, {UsnSketch{.lengthChange = -32}})},
        {"a name past the record's end", UsnAnswer(0x40, {UsnSketch{.nameLengthChange = 12}})},
        {"a name inside the fixed part", UsnAnswer(0x40, {UsnSketch{.nameOffset = 40}})},
        {"a name past the end, by its offset", UsnAnswer(0x40, {UsnSketch{.nameOffset = 0xFFF0}})},
        {"half a character", UsnAnswer(0x40, {UsnSketch{.nameLengthChange = -1}})},
        {"a version 3 record cut in its fixed part",
         UsnAnswer(0x40, {UsnSketch{.version = 3, .name = u"", .lengthChange = -8}})},
    };
    for (const Lie& lie : lies) {
        SCOPED_TRACE(lie.name);
        EXPECT_EQ(ParseUsnPage(lie.answer, 0x20, next, entries), VolumeStatus::BadAnswer);
        EXPECT_TRUE(entries.empty());
    }
}

Buffer RunsAnswer(std::uint32_t count, std::int64_t startingVcn,
                  const std::vector<RetrievalExtent>& runs) {
    Buffer bytes;
    Put(bytes, RetrievalPointersHeader{count, 0, startingVcn});
    for (const RetrievalExtent& run : runs) {
        Put(bytes, run);
    }
    return bytes;
}

TEST(AnswerParsers, RunsComeInVcnOrderInsideTheVolumeAndNeverShareAcluster) {
    constexpr std::uint64_t kTotal = 100;
    std::vector<Extent> page;
    // Asked from VCN 5: the page begins with the run that holds it, then a hole.
    ASSERT_EQ(ParseRetrievalPointers(RunsAnswer(3, 4, {{8, 10}, {24, -1}, {30, 90}}), false, 5,
                                     kTotal, page),
              VolumeStatus::Ok);
    ASSERT_EQ(page.size(), 3u);
    EXPECT_EQ(page[0].vcn, 4u);
    EXPECT_EQ(page[0].clusters, 4u);
    EXPECT_EQ(page[0].lcn, 10u);
    EXPECT_EQ(page[1].lcn, kNoLcn);
    EXPECT_EQ(page[2].clusters, 6u);
    EXPECT_EQ(ParseRetrievalPointers(RunsAnswer(1, 0, {{8, 10}}), true, 0, kTotal, page),
              VolumeStatus::MoreData);

    struct Lie {
        const char* name;
        Buffer answer;
        bool moreData;
    };
    const Lie lies[] = {
        {"a header cut short", Buffer(12), false},
        {"more runs counted than held", RunsAnswer(3, 0, {{8, 10}, {16, 20}}), false},
        {"a count that wraps the buffer", RunsAnswer(0xFFFFFFFF, 0, {{8, 10}}), false},
        {"runs going backwards", RunsAnswer(2, 0, {{8, 10}, {4, 30}}), false},
        {"a run of no clusters", RunsAnswer(2, 0, {{8, 10}, {8, 30}}), false},
        {"a run past the volume's end", RunsAnswer(1, 0, {{8, 95}}), false},
        {"a run at a negative cluster", RunsAnswer(1, 0, {{8, -7}}), false},
        {"two runs sharing clusters", RunsAnswer(2, 0, {{8, 10}, {16, 14}}), false},
        {"a page beginning after what was asked", RunsAnswer(1, 9, {{16, 10}}), false},
        {"more to come from a page that does not advance", RunsAnswer(0, 0, {}), true},
    };
    for (const Lie& lie : lies) {
        SCOPED_TRACE(lie.name);
        EXPECT_EQ(ParseRetrievalPointers(lie.answer, lie.moreData, 2, kTotal, page),
                  VolumeStatus::BadAnswer);
        EXPECT_TRUE(page.empty());
    }
}

Buffer Descriptor(std::uint32_t size, std::uint8_t flag, std::size_t bytes = 12) {
    Buffer answer;
    Put(answer, StorageFlagDescriptor{12, size, flag});
    answer.resize(bytes);
    return answer;
}

TEST(AnswerParsers, TheMediumIsSolidStateOnlyWhenItSaysItHasNoSeekPenalty) {
    const Buffer seeks = Descriptor(12, 1);
    const Buffer noSeek = Descriptor(12, 0);
    const Buffer trims = Descriptor(12, 1);
    const Buffer claimsNoFlag = Descriptor(8, 0);
    const Buffer cut = Descriptor(12, 0, 8);
    EXPECT_EQ(MediaFromDescriptors(std::nullopt, std::nullopt), MediaKind::Unknown);
    EXPECT_EQ(MediaFromDescriptors(Bytes(seeks), Bytes(trims)), MediaKind::Rotational);
    EXPECT_EQ(MediaFromDescriptors(Bytes(noSeek), Bytes(trims)), MediaKind::SolidStateWithTrim);
    EXPECT_EQ(MediaFromDescriptors(Bytes(noSeek), std::nullopt), MediaKind::SolidState);
    EXPECT_EQ(MediaFromDescriptors(Bytes(claimsNoFlag), Bytes(trims)), MediaKind::Unknown);
    EXPECT_EQ(MediaFromDescriptors(Bytes(cut), Bytes(trims)), MediaKind::Unknown);
}

TEST(AnswerParsers, TheMoveInputIsThisProcessesLayoutWithItsPaddingZero) {
    const auto handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x12345678));
    const MoveFileInput input = BuildMoveFileInput(handle, 0x1122334455ull, 0x66778899AAull, 42);
    ASSERT_EQ(input.size(), 32u);
    auto at = [&](std::size_t offset, std::size_t width) {
        std::uint64_t value = 0;
        std::memcpy(&value, input.data() + offset, width);
        return value;
    };
    EXPECT_EQ(at(0, sizeof(HANDLE)), 0x12345678u);
    EXPECT_EQ(at(sizeof(HANDLE), 8 - sizeof(HANDLE)), 0u) << "padding after a 32-bit handle";
    EXPECT_EQ(at(8, 8), 0x1122334455u);
    EXPECT_EQ(at(16, 8), 0x66778899AAu);
    EXPECT_EQ(at(24, 4), 42u);
    EXPECT_EQ(at(28, 4), 0u) << "padding after the count";
}

}  // namespace
}  // namespace vantrel::engine::windows::test
