// The volume interface the engine works through. Its contract is that of the
// Windows defragmentation calls, so that one engine runs over every backend: the
// Windows volume (the service on a real machine), the simulated volume (the
// service under Wine and the engine's own tests) and an NTFS image (the proof on
// a real file system, native on Linux).
//
// What the contract promises, and what it does not:
// - The allocation bitmap is a snapshot: a cluster it shows free may be taken by
//   someone else before a move reaches it, and clusters a move has freed may stay
//   unusable until the file system's next checkpoint. A move into such clusters
//   answers TargetInUse; it is never a reason to retry in a loop.
// - A move either moves the whole range or nothing of it as far as the caller can
//   tell from its answer; the only way to know where a file's data lies after a
//   move is to read its extents again.
// - Only MoveClusters changes a volume. A backend never writes file data or volume
//   structures of its own accord on the engine's behalf.
// - No call throws: every failure is a status. A backend whose volume went away
//   answers VolumeChanged (or IoError) from then on.
//
// Names are UTF-16 (char16_t, not wchar_t: wchar_t is four bytes on Linux),
// clusters are uint64_t. Not thread-safe: one job's worker thread owns a volume.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::engine {

using Lcn = std::uint64_t;  // logical cluster number on the volume
using Vcn = std::uint64_t;  // virtual cluster number within a file

// The LCN of a sparse run: the range holds no clusters on the volume.
inline constexpr Lcn kNoLcn = ~Lcn{0};

enum class VolumeStatus {
    Ok,
    // A paged answer: more follows from the position the page ends at.
    MoreData,
    // Moves: the target range is not free (anymore).
    TargetInUse,
    // Moves: another program holds the file open in a way that forbids moving it.
    FileInUse,
    // Moves: the file system refuses to move this file or this range (metadata,
    // a file it marks unmovable, a range that breaks a compression unit).
    CannotMove,
    AccessDenied,
    // The volume was dismounted, locked or changed beneath the caller.
    VolumeChanged,
    // The file no longer exists (deleted since it was enumerated).
    NoSuchFile,
    IoError,
    // The backend cannot do this on this volume (Wine; a file system without it).
    NotSupported,
    // The caller asked for something outside the volume or the file.
    InvalidParameter,
    // The system's answer broke its own layout (a count, an offset or a length past
    // the buffer; runs that go backwards or past the volume's end): nothing of it is
    // used. For a file's runs it ends the work on that file; anywhere else, the job.
    BadAnswer,
};

// The file system's own facts about the volume.
struct VolumeData {
    std::u16string fileSystem;  // "NTFS", "FAT32", "exFAT", ...
    std::uint32_t bytesPerSector = 0;
    std::uint32_t bytesPerCluster = 0;
    std::uint64_t totalClusters = 0;
    std::uint64_t freeClusters = 0;
    // NTFS: where the MFT starts and the zone the file system keeps free for it to
    // grow into (end exclusive); all zero where the file system has no MFT.
    Lcn mftStart = 0;
    Lcn mftZoneStart = 0;
    Lcn mftZoneEnd = 0;
    std::uint64_t mftValidBytes = 0;
};

// One page of the allocation bitmap: bit i (least significant bit first within
// each byte) tells whether cluster `start + i` is in use. `clusters` bits are
// valid; the last byte's unused bits are zero.
struct BitmapPage {
    Lcn start = 0;
    std::uint64_t clusters = 0;
    std::vector<std::uint8_t> bits;

    bool InUse(Lcn lcn) const {
        const std::uint64_t i = lcn - start;
        return (bits[static_cast<std::size_t>(i >> 3)] >> (i & 7)) & 1u;
    }
};

// File attributes with the values Windows gives them.
namespace attributes {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kSparse = 0x200;
inline constexpr std::uint32_t kReparsePoint = 0x400;
inline constexpr std::uint32_t kCompressed = 0x800;
inline constexpr std::uint32_t kEncrypted = 0x4000;
}  // namespace attributes

// One file or directory as the enumeration streams it. Ids are the file system's
// own (the MFT reference on NTFS); the root directory is its own parent.
struct FileInfo {
    std::uint64_t id = 0;
    std::uint64_t parentId = 0;
    std::u16string name;  // the name within its parent, not a path
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;  // bytes of the default data stream
};

// One run of a file's clusters: `clusters` clusters from `vcn` on, stored from
// `lcn` on, or sparse (kNoLcn).
struct Extent {
    Vcn vcn = 0;
    std::uint64_t clusters = 0;
    Lcn lcn = kNoLcn;
};

enum class MediaKind { Unknown, Rotational, SolidState, SolidStateWithTrim };

// A medium that answered it has no seek penalty. An unknown answer counts as a hard
// disk.
inline bool IsSolidState(MediaKind media) {
    return media == MediaKind::SolidState || media == MediaKind::SolidStateWithTrim;
}

class Volume {
  public:
    virtual ~Volume() = default;

    virtual VolumeStatus QueryVolumeData(VolumeData& data) = 0;

    // The bitmap from `start` on (rounded down to a multiple of 8 by the backend if
    // it must; `page.start` says where the page begins). MoreData when clusters
    // remain after the page.
    virtual VolumeStatus ReadBitmap(Lcn start, BitmapPage& page) = 0;

    // Streams the volume's files and directories in the file system's own order
    // (MFT order on NTFS). `cursor` starts at 0 and is advanced by every call; each
    // call replaces `batch` with the next entries. MoreData while entries remain,
    // Ok with the last batch (possibly empty).
    virtual VolumeStatus EnumerateFiles(std::uint64_t& cursor, std::vector<FileInfo>& batch) = 0;

    // The runs of a file (for a directory: its index) from `start` on, replacing
    // `page`. MoreData when runs remain after the page; the next call starts at the
    // VCN where the page ends. A page may begin with the run that holds `start`,
    // whole, as Windows answers. A file stored inside the MFT has no runs (Ok, empty).
    virtual VolumeStatus ReadExtents(std::uint64_t fileId, Vcn start,
                                     std::vector<Extent>& page) = 0;

    // Moves `clusters` clusters of the file from `vcn` on to `target` onwards. The
    // file system checks that the target is free at the time of the move. The
    // range's stored clusters go to `target`, `target + 1`, ... in VCN order; its
    // holes stay holes and take no target clusters. Compressed and sparse data move
    // in whole compression units (16 clusters; the range may end at the end of the
    // data): another range answers CannotMove.
    virtual VolumeStatus MoveClusters(std::uint64_t fileId, Vcn vcn, Lcn target,
                                      std::uint64_t clusters) = 0;

    virtual MediaKind QueryMedia() = 0;
};

}  // namespace vantrel::engine
