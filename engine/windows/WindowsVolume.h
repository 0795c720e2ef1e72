// The volume interface on a Windows volume, through the file system's own
// defragmentation calls. Only FSCTL_MOVE_FILE ever moves data; nothing here writes
// to the volume or to a file.
//
// What this backend adds to the interface's contract:
// - NTFS: the volume's data from FSCTL_GET_NTFS_VOLUME_DATA; files in MFT order from
//   FSCTL_ENUM_USN_DATA (where a system will not enumerate, a walk of the
//   directories instead); ids are MFT references, files are opened by id.
// - FAT32 and exFAT: sizes and counts from GetDiskFreeSpaceW; files from a walk of
//   the directories (DirectoryWalk), opened by path. Any other file system answers
//   NotSupported.
// - The root directory is listed once, as its own parent.
// - A file's size is read from the file itself; a file that cannot be opened reads 0.
// - Answers are parsed by AnswerParsers: one that breaks its layout is BadAnswer.
// - A move the file system refuses with "access denied" may have met a target
//   taken meanwhile or a file that may not move: the file's runs and the bitmap are
//   read again to tell which (or that the move was made after all).
// - Whatever the caller asks, it never moves the NTFS metadata records (the first
//   sixteen) nor anything on a solid-state medium: those answer CannotMove.
#pragma once

#include "engine/Volume.h"
#include "engine/windows/DirectoryWalk.h"
#include "engine/windows/VolumeCalls.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <unordered_set>
#include <vector>

namespace vantrel::engine::windows {

class WindowsVolume final : public Volume {
  public:
    // The answers of one call fit in this many bytes (a page of the bitmap holds half a
    // million clusters, a page of the MFT some hundreds of files).
    static constexpr std::size_t kAnswerBytes = 64 * 1024;

    explicit WindowsVolume(std::unique_ptr<VolumeCalls> calls);

    VolumeStatus QueryVolumeData(VolumeData& data) override;
    VolumeStatus ReadBitmap(Lcn start, BitmapPage& page) override;
    VolumeStatus EnumerateFiles(std::uint64_t& cursor, std::vector<FileInfo>& batch) override;
    VolumeStatus ReadExtents(std::uint64_t fileId, Vcn start, std::vector<Extent>& page) override;
    VolumeStatus MoveClusters(std::uint64_t fileId, Vcn vcn, Lcn target,
                              std::uint64_t clusters) override;
    MediaKind QueryMedia() override;

  private:
    VolumeStatus EnumerateMft(std::uint64_t& cursor, std::vector<FileInfo>& batch);
    HANDLE OpenFile(std::uint64_t fileId, DWORD access, DWORD& error);
    // The answer of the last control call as bytes; empty when it claims more than
    // the buffer holds.
    std::optional<std::span<const std::byte>> Answered(const CallAnswer& answer) const;
    // After "access denied": where the range lies now, and whether its target is taken.
    VolumeStatus ClassifyRefusedMove(std::uint64_t fileId, Vcn vcn, Lcn target,
                                     std::uint64_t clusters);
    bool AnyClusterInUse(Lcn target, std::uint64_t clusters, bool& known);

    std::unique_ptr<VolumeCalls> calls_;
    std::vector<std::byte> answer_;

    bool dataRead_ = false;
    bool ntfs_ = false;
    bool walking_ = false;
    std::uint64_t totalClusters_ = 0;
    std::optional<MediaKind> media_;

    // MFT enumeration: the root's id, and whether it was listed yet.
    std::uint64_t rootId_ = 0;
    bool rootListed_ = false;
    // Encrypted files open with read access for a move, as the move call requires.
    std::unordered_set<std::uint64_t> encrypted_;
    DirectoryWalk walk_;
};

}  // namespace vantrel::engine::windows
