#include "engine/windows/AnswerParsers.h"

#include "engine/windows/WindowsLayouts.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace vantrel::engine::windows {
namespace {

// Copies a T out of `bytes` at `offset`; false when it does not lie wholly inside.
template <typename T>
bool ReadAt(Bytes bytes, std::size_t offset, T& value) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) {
        return false;
    }
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return true;
}

bool IsPowerOfTwo(std::uint32_t value) {
    return value != 0 && std::has_single_bit(value);
}

struct UsnFields {
    std::uint64_t id = 0;
    std::uint64_t parent = 0;
    std::uint32_t attributes = 0;
    std::uint16_t nameLength = 0;
    std::uint16_t nameOffset = 0;
};

// The low 64 bits of a 128-bit id; false when the high ones are not zero.
bool NarrowId(const std::uint8_t (&wide)[16], std::uint64_t& id) {
    std::uint64_t high = 0;
    std::memcpy(&id, wide, sizeof id);
    std::memcpy(&high, wide + 8, sizeof high);
    return high == 0;
}

enum class RecordRead { Entry, PassedOver, Broken };

RecordRead ReadUsnRecord(Bytes record, std::uint16_t majorVersion, FileInfo& entry) {
    UsnFields fields;
    std::size_t nameAt = 0;
    if (majorVersion == 2) {
        if (record.size() < kUsnRecordV2NameAt) {
            return RecordRead::Broken;
        }
        // The declaration's tail padding may lie past a record with a short name.
        UsnRecordV2 v2{};
        std::memcpy(&v2, record.data(), std::min(record.size(), sizeof v2));
        fields = {v2.fileReferenceNumber, v2.parentFileReferenceNumber, v2.fileAttributes,
                  v2.fileNameLength, v2.fileNameOffset};
        nameAt = kUsnRecordV2NameAt;
    } else if (majorVersion == 3) {
        if (record.size() < kUsnRecordV3NameAt) {
            return RecordRead::Broken;
        }
        UsnRecordV3 v3{};
        std::memcpy(&v3, record.data(), std::min(record.size(), sizeof v3));
        if (!NarrowId(v3.fileReferenceNumber, fields.id) ||
            !NarrowId(v3.parentFileReferenceNumber, fields.parent)) {
            return RecordRead::PassedOver;
        }
        fields.attributes = v3.fileAttributes;
        fields.nameLength = v3.fileNameLength;
        fields.nameOffset = v3.fileNameOffset;
        nameAt = kUsnRecordV3NameAt;
    } else {
        return RecordRead::PassedOver;
    }
    // The name lies after the fixed part and inside the record, in whole units.
    if (fields.nameOffset < nameAt || fields.nameLength % 2 != 0 ||
        fields.nameOffset > record.size() ||
        fields.nameLength > record.size() - fields.nameOffset) {
        return RecordRead::Broken;
    }
    entry = FileInfo{};
    entry.id = fields.id;
    entry.parentId = fields.parent;
    entry.attributes = fields.attributes;
    entry.name.resize(fields.nameLength / 2);
    std::memcpy(entry.name.data(), record.data() + fields.nameOffset, fields.nameLength);
    return RecordRead::Entry;
}

std::optional<bool> DescriptorFlag(std::optional<Bytes> answer) {
    StorageFlagDescriptor descriptor{};
    if (!answer || answer->size() <= kStorageFlagAt) {
        return std::nullopt;
    }
    std::memcpy(&descriptor, answer->data(), std::min(answer->size(), sizeof descriptor));
    // The descriptor must claim to hold its flag.
    if (descriptor.size <= kStorageFlagAt) {
        return std::nullopt;
    }
    return descriptor.flag != 0;
}

}  // namespace

VolumeStatus ParseNtfsVolumeData(Bytes answer, VolumeData& data) {
    NtfsVolumeData ntfs{};
    if (!ReadAt(answer, 0, ntfs)) {
        return VolumeStatus::BadAnswer;
    }
    const bool sizesHold =
        IsPowerOfTwo(ntfs.bytesPerSector) && ntfs.bytesPerSector >= kMinSectorBytes &&
        ntfs.bytesPerSector <= kMaxSectorBytes && IsPowerOfTwo(ntfs.bytesPerCluster) &&
        ntfs.bytesPerCluster >= ntfs.bytesPerSector && ntfs.bytesPerCluster <= kMaxClusterBytes;
    const bool countsHold = ntfs.totalClusters > 0 && ntfs.freeClusters >= 0 &&
                            ntfs.freeClusters <= ntfs.totalClusters && ntfs.mftStartLcn >= 0 &&
                            ntfs.mftStartLcn < ntfs.totalClusters && ntfs.mftZoneStart >= 0 &&
                            ntfs.mftZoneStart <= ntfs.mftZoneEnd &&
                            ntfs.mftZoneEnd <= ntfs.totalClusters && ntfs.mftValidDataLength > 0;
    if (!sizesHold || !countsHold) {
        return VolumeStatus::BadAnswer;
    }
    data.bytesPerSector = ntfs.bytesPerSector;
    data.bytesPerCluster = ntfs.bytesPerCluster;
    data.totalClusters = static_cast<std::uint64_t>(ntfs.totalClusters);
    data.freeClusters = static_cast<std::uint64_t>(ntfs.freeClusters);
    data.mftStart = static_cast<Lcn>(ntfs.mftStartLcn);
    data.mftZoneStart = static_cast<Lcn>(ntfs.mftZoneStart);
    data.mftZoneEnd = static_cast<Lcn>(ntfs.mftZoneEnd);
    data.mftValidBytes = static_cast<std::uint64_t>(ntfs.mftValidDataLength);
    return VolumeStatus::Ok;
}

VolumeStatus ParseBitmapPage(Bytes answer, bool moreData, Lcn asked, std::uint64_t totalClusters,
                             BitmapPage& page) {
    VolumeBitmapHeader header{};
    if (!ReadAt(answer, 0, header) || header.startingLcn < 0 || header.bitmapSize < 0) {
        return VolumeStatus::BadAnswer;
    }
    const auto start = static_cast<Lcn>(header.startingLcn);
    const auto size = static_cast<std::uint64_t>(header.bitmapSize);
    // Rounded down to whole bytes of the bitmap, never up, never past the volume.
    if (start > asked || start % 8 != 0 || !InsideVolume(start, size, totalClusters)) {
        return VolumeStatus::BadAnswer;
    }
    const std::uint64_t bitsHeld = (answer.size() - sizeof header) * 8;
    std::uint64_t clusters = size;
    if (moreData) {
        clusters = std::min(size, bitsHeld);
        if (start + clusters <= asked) {
            return VolumeStatus::BadAnswer;  // a page that does not reach what was asked
        }
    } else if (bitsHeld < size) {
        return VolumeStatus::BadAnswer;  // claims the rest of the volume, holds less
    }
    page.start = start;
    page.clusters = clusters;
    const auto bytes = static_cast<std::size_t>((clusters + 7) / 8);
    page.bits.assign(bytes, 0);
    std::memcpy(page.bits.data(), answer.data() + sizeof header, bytes);
    if (clusters % 8 != 0) {
        page.bits.back() &= static_cast<std::uint8_t>((1u << (clusters % 8)) - 1);
    }
    return start + clusters < totalClusters ? VolumeStatus::MoreData : VolumeStatus::Ok;
}

VolumeStatus ParseUsnPage(Bytes answer, std::uint64_t asked, std::uint64_t& next,
                          std::vector<FileInfo>& entries) {
    entries.clear();
    UsnPageHeader following = 0;
    if (!ReadAt(answer, 0, following) || following <= asked) {
        return VolumeStatus::BadAnswer;  // a page that does not advance would never end
    }
    for (std::size_t offset = sizeof following; offset < answer.size();) {
        UsnRecordCommonHeader common{};
        if (!ReadAt(answer, offset, common) || common.recordLength < sizeof common ||
            common.recordLength > answer.size() - offset) {
            entries.clear();
            return VolumeStatus::BadAnswer;
        }
        FileInfo entry;
        switch (ReadUsnRecord(answer.subspan(offset, common.recordLength), common.majorVersion,
                              entry)) {
            case RecordRead::Entry:
                entries.push_back(std::move(entry));
                break;
            case RecordRead::PassedOver:
                break;
            case RecordRead::Broken:
                entries.clear();
                return VolumeStatus::BadAnswer;
        }
        offset += common.recordLength;
    }
    next = following;
    return VolumeStatus::MoreData;
}

VolumeStatus ParseRetrievalPointers(Bytes answer, bool moreData, Vcn asked,
                                    std::uint64_t totalClusters, std::vector<Extent>& page) {
    page.clear();
    RetrievalPointersHeader header{};
    if (!ReadAt(answer, 0, header) || header.startingVcn < 0 ||
        static_cast<Vcn>(header.startingVcn) > asked ||
        header.extentCount > (answer.size() - sizeof header) / sizeof(RetrievalExtent)) {
        return VolumeStatus::BadAnswer;
    }
    auto vcn = static_cast<Vcn>(header.startingVcn);
    for (std::uint32_t i = 0; i < header.extentCount; ++i) {
        RetrievalExtent run{};
        ReadAt(answer, sizeof header + i * sizeof run, run);
        const bool hole = run.lcn == -1;
        if (run.nextVcn < 0 || static_cast<Vcn>(run.nextVcn) <= vcn || (!hole && run.lcn < 0)) {
            page.clear();
            return VolumeStatus::BadAnswer;  // runs that go backwards or overlap
        }
        const std::uint64_t clusters = static_cast<Vcn>(run.nextVcn) - vcn;
        const Lcn lcn = hole ? kNoLcn : static_cast<Lcn>(run.lcn);
        if (!hole && !InsideVolume(lcn, clusters, totalClusters)) {
            page.clear();
            return VolumeStatus::BadAnswer;
        }
        page.push_back({vcn, clusters, lcn});
        vcn = static_cast<Vcn>(run.nextVcn);
    }
    if (moreData && vcn <= asked) {
        page.clear();
        return VolumeStatus::BadAnswer;  // "more" from a page that does not advance
    }
    // Two runs of one file never share a cluster.
    std::vector<Extent> stored;
    std::copy_if(page.begin(), page.end(), std::back_inserter(stored),
                 [](const Extent& extent) { return extent.lcn != kNoLcn; });
    std::sort(stored.begin(), stored.end(),
              [](const Extent& a, const Extent& b) { return a.lcn < b.lcn; });
    for (std::size_t i = 1; i < stored.size(); ++i) {
        if (stored[i - 1].lcn + stored[i - 1].clusters > stored[i].lcn) {
            page.clear();
            return VolumeStatus::BadAnswer;
        }
    }
    return moreData ? VolumeStatus::MoreData : VolumeStatus::Ok;
}

MediaKind MediaFromDescriptors(std::optional<Bytes> seekPenalty, std::optional<Bytes> trim) {
    const std::optional<bool> seeks = DescriptorFlag(seekPenalty);
    if (!seeks) {
        return MediaKind::Unknown;
    }
    if (*seeks) {
        return MediaKind::Rotational;
    }
    return DescriptorFlag(trim).value_or(false) ? MediaKind::SolidStateWithTrim
                                                : MediaKind::SolidState;
}

MoveFileInput BuildMoveFileInput(HANDLE file, Vcn vcn, Lcn target, std::uint32_t clusters) {
    MOVE_FILE_DATA data;
    std::memset(&data, 0, sizeof data);  // the padding goes to the system too
    data.FileHandle = file;
    data.StartingVcn.QuadPart = static_cast<LONGLONG>(vcn);
    data.StartingLcn.QuadPart = static_cast<LONGLONG>(target);
    data.ClusterCount = clusters;
    MoveFileInput bytes;
    std::memcpy(bytes.data(), &data, sizeof data);
    return bytes;
}

}  // namespace vantrel::engine::windows
