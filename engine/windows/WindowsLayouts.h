// The records the file system's defragmentation calls take and hand back, byte for
// byte as Windows documents them. Answers are never cast onto these: the parsers
// copy each field out of the byte buffer at its offset after checking that it lies
// inside, and these declarations pin the offsets (the same on i686 and x86_64, as
// none of them holds a pointer). The MinGW headers lack the versioned names of the
// enumeration records, so they are declared here and checked against what the
// headers do have.
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstdint>

namespace vantrel::engine::windows {

// FSCTL_GET_NTFS_VOLUME_DATA's answer (later systems may append more).
struct NtfsVolumeData {
    std::int64_t volumeSerialNumber;
    std::int64_t numberSectors;
    std::int64_t totalClusters;
    std::int64_t freeClusters;
    std::int64_t totalReserved;
    std::uint32_t bytesPerSector;
    std::uint32_t bytesPerCluster;
    std::uint32_t bytesPerFileRecordSegment;
    std::uint32_t clustersPerFileRecordSegment;
    std::int64_t mftValidDataLength;
    std::int64_t mftStartLcn;
    std::int64_t mft2StartLcn;
    std::int64_t mftZoneStart;
    std::int64_t mftZoneEnd;
};
static_assert(sizeof(NtfsVolumeData) == 96);
static_assert(sizeof(NtfsVolumeData) == sizeof(NTFS_VOLUME_DATA_BUFFER));
static_assert(offsetof(NtfsVolumeData, mftZoneEnd) ==
              offsetof(NTFS_VOLUME_DATA_BUFFER, MftZoneEnd));

// FSCTL_GET_VOLUME_BITMAP: the LCN asked for in, this header and the bits out.
struct VolumeBitmapHeader {
    std::int64_t startingLcn;  // rounded down by the file system
    std::int64_t bitmapSize;   // clusters from startingLcn to the volume's end
};
static_assert(sizeof(VolumeBitmapHeader) == 16);
static_assert(offsetof(VOLUME_BITMAP_BUFFER, Buffer) == sizeof(VolumeBitmapHeader));

// FSCTL_GET_RETRIEVAL_POINTERS: the VCN asked for in, this header and the runs out.
// Each run ends where the next begins; an LCN of -1 is a hole.
struct RetrievalPointersHeader {
    std::uint32_t extentCount;
    std::uint32_t padding;
    std::int64_t startingVcn;
};
struct RetrievalExtent {
    std::int64_t nextVcn;
    std::int64_t lcn;
};
static_assert(sizeof(RetrievalPointersHeader) == 16);
static_assert(sizeof(RetrievalExtent) == 16);
static_assert(offsetof(RETRIEVAL_POINTERS_BUFFER, StartingVcn) ==
              offsetof(RetrievalPointersHeader, startingVcn));
static_assert(offsetof(RETRIEVAL_POINTERS_BUFFER, Extents) == sizeof(RetrievalPointersHeader));

// FSCTL_ENUM_USN_DATA's input in its first version, which every system since
// Windows 2000 takes (the answer then holds version 2 records).
struct MftEnumDataV0 {
    std::uint64_t startFileReferenceNumber;
    std::int64_t lowUsn;
    std::int64_t highUsn;
};
static_assert(sizeof(MftEnumDataV0) == 24);
static_assert(sizeof(MftEnumDataV0) == sizeof(MFT_ENUM_DATA));

// The answer: the reference to start the next call from, then records.
using UsnPageHeader = std::uint64_t;

// What every record version begins with.
struct UsnRecordCommonHeader {
    std::uint32_t recordLength;
    std::uint16_t majorVersion;
    std::uint16_t minorVersion;
};
static_assert(sizeof(UsnRecordCommonHeader) == 8);

struct UsnRecordV2 {
    std::uint32_t recordLength;
    std::uint16_t majorVersion;
    std::uint16_t minorVersion;
    std::uint64_t fileReferenceNumber;
    std::uint64_t parentFileReferenceNumber;
    std::int64_t usn;
    std::int64_t timeStamp;
    std::uint32_t reason;
    std::uint32_t sourceInfo;
    std::uint32_t securityId;
    std::uint32_t fileAttributes;
    std::uint16_t fileNameLength;  // bytes
    std::uint16_t fileNameOffset;  // from the record's start
    // The name follows at offset 60, not terminated.
};
inline constexpr std::size_t kUsnRecordV2NameAt = 60;
static_assert(offsetof(UsnRecordV2, fileNameOffset) == 58);
static_assert(offsetof(USN_RECORD, FileName) == kUsnRecordV2NameAt);
static_assert(offsetof(USN_RECORD, FileAttributes) == offsetof(UsnRecordV2, fileAttributes));

// Version 3 carries 128-bit file ids (ReFS; NTFS when asked for them).
struct UsnRecordV3 {
    std::uint32_t recordLength;
    std::uint16_t majorVersion;
    std::uint16_t minorVersion;
    std::uint8_t fileReferenceNumber[16];
    std::uint8_t parentFileReferenceNumber[16];
    std::int64_t usn;
    std::int64_t timeStamp;
    std::uint32_t reason;
    std::uint32_t sourceInfo;
    std::uint32_t securityId;
    std::uint32_t fileAttributes;
    std::uint16_t fileNameLength;
    std::uint16_t fileNameOffset;
};
inline constexpr std::size_t kUsnRecordV3NameAt = 76;
static_assert(offsetof(UsnRecordV3, usn) == 40);
static_assert(offsetof(UsnRecordV3, fileNameOffset) == 74);

// The seek-penalty and trim answers of IOCTL_STORAGE_QUERY_PROPERTY share a shape:
// a version, the size the descriptor claims, and one BOOLEAN.
struct StorageFlagDescriptor {
    std::uint32_t version;
    std::uint32_t size;
    std::uint8_t flag;
};
inline constexpr std::size_t kStorageFlagAt = 8;
static_assert(offsetof(DEVICE_SEEK_PENALTY_DESCRIPTOR, IncursSeekPenalty) == kStorageFlagAt);
static_assert(offsetof(DEVICE_TRIM_DESCRIPTOR, TrimEnabled) == kStorageFlagAt);
static_assert(offsetof(StorageFlagDescriptor, flag) == kStorageFlagAt);

// FSCTL_MOVE_FILE's input is the system's own MOVE_FILE_DATA, built for this
// process's pointer size: a 32-bit process on 64-bit Windows hands in the 32-bit
// layout, which the system reads as such. The handle takes the first pointer-sized
// field; the rest sits at the same offsets on both.
static_assert(offsetof(MOVE_FILE_DATA, StartingVcn) == 8);
static_assert(offsetof(MOVE_FILE_DATA, StartingLcn) == 16);
static_assert(offsetof(MOVE_FILE_DATA, ClusterCount) == 24);
static_assert(sizeof(MOVE_FILE_DATA) == 32);

}  // namespace vantrel::engine::windows
