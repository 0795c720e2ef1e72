// A deterministic stand-in for a volume's layout: the same drive letter and size
// always give the same files, directories, extents and free space. The engine
// reads it to analyse and changes its extents to optimize.
#pragma once

#include "defragsvc/FolderSkeleton.h"
#include "defragsvc/FreeSpace.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vantrel::defragsvc {

struct Extent {
    std::uint64_t lcn;
    std::uint64_t length;
};

enum class EntryKind : std::uint8_t { Directory, File, Mft, SystemFile };
enum class Mobility : std::uint8_t { Movable, Locked, Unmovable };

// Names, parents, sizes and kinds never change after the model is built; only the
// extent fields and the optimized mark do (on the job's worker thread).
struct Entry {
    std::uint32_t parent = 0;
    std::uint32_t nameSeed = 0;
    std::uint32_t firstExtent = 0;
    std::uint32_t extentCount = 0;
    std::uint64_t clusters = 0;
    std::uint64_t sizeBytes = 0;
    EntryKind kind = EntryKind::File;
    Mobility mobility = Mobility::Movable;
    std::uint8_t depth = 0;
    // A directory's own kind; a file's is the kind of the folder it sits in.
    FolderKind folder = FolderKind::Root;
    bool optimized = false;
};

struct VolumeGeometry {
    wchar_t letter = L'C';
    std::uint32_t bytesPerSector = 512;
    std::uint32_t sectorsPerCluster = 8;
    std::uint64_t totalClusters = 0;
    std::uint64_t ClusterBytes() const {
        return static_cast<std::uint64_t>(bytesPerSector) * sectorsPerCluster;
    }
};

class VolumeModel {
  public:
    VolumeGeometry geometry;
    std::wstring volumeText;
    // The system drive holds Windows, the programs, the users and the page file.
    bool systemDrive = false;
    std::wstring userName;
    std::vector<Entry> entries;
    std::vector<Extent> extents;
    FreeSpace free;
    std::uint64_t mftZoneStart = 0;
    std::uint64_t mftZoneEnd = 0;
    std::uint64_t usedClusters = 0;
    std::uint64_t fileCount = 0;
    std::uint64_t directoryCount = 0;

    std::span<const Extent> ExtentsOf(std::uint32_t index) const {
        const Entry& entry = entries[index];
        return {extents.data() + entry.firstExtent, entry.extentCount};
    }
    // Files and system files count as fragmented with two or more extents.
    bool IsFragmented(std::uint32_t index) const {
        const Entry& entry = entries[index];
        return (entry.kind == EntryKind::File || entry.kind == EntryKind::SystemFile) &&
               entry.extentCount >= 2;
    }
    bool IsFileLike(std::uint32_t index) const {
        return entries[index].kind == EntryKind::File ||
               entries[index].kind == EntryKind::SystemFile;
    }
    // Moves an entry to one contiguous extent at lcn (already taken from free) and
    // gives its old extents back to free space.
    void MoveToContiguous(std::uint32_t index, std::uint64_t lcn);
    // Highest used cluster + 1.
    std::uint64_t HighWaterMark() const;
};

inline constexpr std::uint64_t kDefaultVolumeBytes = 64ull << 30;
inline constexpr std::uint64_t kMinimumVolumeBytes = 256ull << 20;
inline constexpr std::uint32_t kMaxModelFiles = 600000;
// Every fragmented file costs the client a 64 KiB record transfer when it reads
// the results, so no drive has more than this many.
inline constexpr std::uint32_t kMaxFragmentedFiles = 2500;
// Some fragmented files are always held open by a running program, so that an
// optimization leaves a few behind as on a real system.
inline constexpr std::uint32_t kMinLockedFragmentedFiles = 3;

VolumeModel BuildVolumeModel(wchar_t letter, std::uint64_t totalBytes, std::wstring volumeText);

}  // namespace vantrel::defragsvc
