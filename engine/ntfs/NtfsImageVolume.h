// The volume interface over an NTFS image file, through libntfs-3g: the engine's
// proof on a real file system, built natively on Linux and never shipped. It opens
// image files only, never a device.
//
// What this backend adds to the interface's contract:
// - File ids are MFT references (record number, sequence number in the top 16
//   bits); a reference whose record was reused since answers NoSuchFile.
// - The enumeration lists every base record that has a name, the file system's own
//   files included ($MFT, $Bitmap, the $Extend files...); they refuse to move.
// - A directory's extents are those of its index allocation ($I30); a directory
//   whose index fits in its MFT record has none.
// - ReadExtents starts its page with the run that contains `start`, whole, as
//   Windows does: the first extent may begin before `start`.
// - MoveClusters places the range's stored clusters in VCN order at `target`,
//   `target + 1`, ... The holes of a sparse or compressed range stay holes and take
//   no target clusters, so the target must be free for the stored clusters only.
//   Sparse and compressed data move in whole compression units (16 clusters; the
//   range may end at the end of the data).
// - A range outside the stream, or of data stored inside the MFT record, answers
//   InvalidParameter. A failed write answers IoError; one that left the library's
//   view of the volume uncertain makes every later call answer IoError too.
// - A move takes the target's bits in the volume bitmap first, copies, installs
//   the new run list and syncs, and only then frees the old clusters: a crash at
//   any point leaks clusters at worst and never leaves one owned twice. The file's
//   data survives a crash too while its run list fits in its base MFT record.
//   A run list that spans several records (the library adds and removes extension
//   records as it grows and shrinks) is rewritten record by record, without a
//   journal: a crash between those writes can leave that file unreadable (or the
//   volume unmountable until repaired, when the MFT had to grow for a new record).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/Volume.h"

struct _ntfs_volume;
struct ntfs_device_operations;

namespace vantrel::engine::ntfs {

enum class OpenMode { ReadOnly, ReadWrite };

// Why an image was not opened; the image is left exactly as it was.
enum class OpenRefusal {
    None,
    NotAnImageFile,  // missing, a directory, a device: anything but a regular file
    CannotOpen,      // the file exists but cannot be read (or written, for ReadWrite)
    Mounted,         // the image is mounted (an ntfs-3g mount, a loop device)
    InUse,           // another program has it open through the library (its lock)
    NotNtfs,
    Damaged,
    Dirty,       // not cleanly unmounted: its journal or its dirty flag says so
    Hibernated,  // Windows hibernated on it (ReadWrite only)
};

struct NtfsImageOptions {
    // Page sizes of the paged calls; small ones let tests walk many pages.
    std::size_t bitmapPageBytes = 64 * 1024;
    std::size_t enumerationBatch = 512;
    std::size_t extentPageRuns = 512;
    // How much data a move copies per read and write.
    std::size_t copyBufferBytes = 1024 * 1024;
    // The device operations the library reads and writes the image through;
    // nullptr for the library's own (tests put a power cut behind this).
    ntfs_device_operations* deviceOperations = nullptr;
};

// The bytes a move copies through, kept by the volume from move to move.
struct CopyBuffer {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t bytes = 0;
};

class NtfsImageVolume final : public Volume {
  public:
    struct Opened {
        std::unique_ptr<NtfsImageVolume> volume;  // null when refused
        OpenRefusal refusal = OpenRefusal::None;
        std::string message;  // a sentence the caller can print, naming the image
    };

    // ReadOnly changes nothing on the image, not even its journal or dirty flag;
    // every move then answers AccessDenied.
    static Opened Open(const std::string& imagePath, OpenMode mode,
                       const NtfsImageOptions& options = {}) noexcept;

    ~NtfsImageVolume() override;
    NtfsImageVolume(const NtfsImageVolume&) = delete;
    NtfsImageVolume& operator=(const NtfsImageVolume&) = delete;

    VolumeStatus QueryVolumeData(VolumeData& data) override;
    VolumeStatus ReadBitmap(Lcn start, BitmapPage& page) override;
    VolumeStatus EnumerateFiles(std::uint64_t& cursor, std::vector<FileInfo>& batch) override;
    VolumeStatus ReadExtents(std::uint64_t fileId, Vcn start, std::vector<Extent>& page) override;
    VolumeStatus MoveClusters(std::uint64_t fileId, Vcn vcn, Lcn target,
                              std::uint64_t clusters) override;
    MediaKind QueryMedia() override { return MediaKind::Unknown; }

  private:
    NtfsImageVolume(_ntfs_volume* volume, bool readOnly, const NtfsImageOptions& options);
    static Opened OpenImage(const std::string& imagePath, OpenMode mode,
                            const NtfsImageOptions& options);

    VolumeStatus Move(std::uint64_t fileId, Vcn vcn, Lcn target, std::uint64_t clusters);

    _ntfs_volume* volume_;
    bool readOnly_;
    // Set when a failed move left the library's view of the volume uncertain:
    // every call answers IoError from then on, and nothing more is written.
    bool broken_ = false;
    NtfsImageOptions options_;
    CopyBuffer copyBuffer_;  // what moves copy through
};

}  // namespace vantrel::engine::ntfs
