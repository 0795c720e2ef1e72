#include "defragsvc/VolumeModel.h"

#include "defragsvc/Random.h"
#include "defragsvc/VolumeNames.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace vantrel::defragsvc {
namespace {

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * kKiB;
constexpr std::uint64_t kGiB = 1024 * kMiB;
constexpr std::uint64_t kResidentLimit = 700;  // small files live inside their MFT record
constexpr std::uint64_t kMftRecordBytes = 1024;
constexpr std::uint64_t kNtfsMftStart = 786432;

std::uint64_t CeilDiv(std::uint64_t value, std::uint64_t divisor) {
    return (value + divisor - 1) / divisor;
}

std::uint64_t LogUniform(SplitMix64& random, double low, double high) {
    return static_cast<std::uint64_t>(
        std::exp(std::log(low) + random.Unit() * (std::log(high) - std::log(low))));
}

// Size classes of ordinary files: share, smallest and largest size, and how likely
// a file of the class is fragmented at the reference fragmentation level. The
// last class is the bulk of the data (videos, images, archives, game data): few
// files that take whatever the smaller ones leave of the used space.
struct SizeClass {
    double share;
    double low;
    double high;
    double fragmentation;
};
constexpr SizeClass kSizeClasses[] = {
    {0.675, 100.0, 64.0 * kKiB, 0.0006},
    {0.29, 64.0 * kKiB, 1.0 * kMiB, 0.004},
    {0.03, 1.0 * kMiB, 32.0 * kMiB, 0.03},
    {0.005, 64.0 * kMiB, 8.0 * kGiB, 0.35},
};
constexpr std::size_t kBulkClass = std::size(kSizeClasses) - 1;
// Fragmented files on a large drive stay around this many: every one of them
// costs the client a 64 KiB record transfer when the results are read.
constexpr double kFragmentedFilesTarget = 0.9 * kMaxFragmentedFiles;

struct Placement {
    std::uint32_t entry;
    Extent extent;
};

struct PendingPiece {
    std::uint64_t due;
    std::uint32_t entry;
    std::uint64_t length;
    bool operator>(const PendingPiece& other) const { return due > other.due; }
};

// Lays pieces out from the start of the volume, skipping the MFT and its zone,
// with random free gaps between pieces and the rest of the free space at the end.
class Layout {
  public:
    Layout(VolumeModel& model, SplitMix64& random, std::uint64_t mftStart,
           std::uint64_t piecesClusters, std::uint64_t scatteredFree, std::uint64_t pieceCount)
        : model_(model),
          random_(random),
          mftStart_(mftStart),
          remaining_(piecesClusters),
          meanGap_(pieceCount == 0 ? 0.0
                                   : static_cast<double>(scatteredFree) / (0.25 * pieceCount)) {}

    void Place(std::uint32_t entry, std::uint64_t length) {
        const std::uint64_t total = model_.geometry.totalClusters;
        remaining_ -= std::min(remaining_, length);
        // A piece never overlaps the MFT and its zone: it goes past them instead.
        if (cursor_ <= mftStart_ && cursor_ + length > mftStart_) {
            Free(cursor_, mftStart_ - cursor_);
            cursor_ = model_.mftZoneEnd;
        }
        length = std::min(length, total - std::min(total, cursor_));
        if (length == 0) {
            return;
        }
        placements_.push_back({entry, {cursor_, length}});
        cursor_ += length;
        if (meanGap_ > 0.0 && random_.Chance(0.25)) {
            const auto wanted =
                static_cast<std::uint64_t>(-std::log(1.0 - random_.Unit()) * meanGap_);
            std::uint64_t gap = std::min(wanted, Room());
            if (cursor_ < mftStart_) {
                gap = std::min(gap, mftStart_ - cursor_);
            }
            Free(cursor_, gap);
            cursor_ += gap;
        }
    }

    void Finish() {
        const std::uint64_t total = model_.geometry.totalClusters;
        if (cursor_ < mftStart_) {
            Free(cursor_, mftStart_ - cursor_);
            cursor_ = model_.mftZoneEnd;
        }
        if (cursor_ < total) {
            Free(cursor_, total - cursor_);
        }
    }

    std::vector<Placement>& Placements() { return placements_; }
    std::vector<std::pair<std::uint64_t, std::uint64_t>>& FreeExtents() { return free_; }

  private:
    // Free space that a gap may take without crowding out the pieces still to come.
    std::uint64_t Room() const {
        const std::uint64_t total = model_.geometry.totalClusters;
        std::uint64_t reserved = remaining_;
        if (cursor_ < mftStart_) {
            reserved += model_.mftZoneEnd - mftStart_;
        }
        const std::uint64_t end = cursor_ + reserved;
        return end >= total ? 0 : total - end;
    }

    void Free(std::uint64_t start, std::uint64_t length) {
        if (length != 0) {
            free_.emplace_back(start, length);
        }
    }

    VolumeModel& model_;
    SplitMix64& random_;
    std::uint64_t mftStart_;
    std::uint64_t remaining_;
    double meanGap_;
    std::uint64_t cursor_ = 0;
    std::vector<Placement> placements_;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> free_;
};

// How likely a file in a folder of this kind is held open by a running program.
double LockedChance(FolderKind kind) {
    switch (kind) {
        case FolderKind::Hives:
            return 0.9;
        case FolderKind::Logs:
            return 0.05;
        case FolderKind::AppData:
            return 0.02;
        case FolderKind::Temp:
            return 0.01;
        case FolderKind::System:
            return 0.005;
        default:
            return 0.001;
    }
}

bool TakesLargeFiles(FolderKind kind) {
    switch (kind) {
        case FolderKind::System:
        case FolderKind::Hives:
        case FolderKind::Fonts:
        case FolderKind::Logs:
        case FolderKind::Installer:
        case FolderKind::Temp:
            return false;
        default:
            return true;
    }
}

bool IsPlannedFragmentedFile(const Entry& entry, std::uint32_t pieces) {
    return entry.kind == EntryKind::File && pieces >= 2;
}

// Holds the fragmented files to the cap (the last ones made come out whole) and
// makes sure a few of them are locked.
void KeepFragmentedFilesInBounds(VolumeModel& model, std::vector<std::uint32_t>& pieces) {
    std::uint32_t fragmented = 0;
    std::uint32_t locked = 0;
    for (std::uint32_t i = 0; i < model.entries.size(); ++i) {
        const Entry& entry = model.entries[i];
        if (IsPlannedFragmentedFile(entry, pieces[i]) ||
            (entry.kind == EntryKind::SystemFile && pieces[i] >= 2)) {
            ++fragmented;
        }
        if (IsPlannedFragmentedFile(entry, pieces[i]) && entry.mobility == Mobility::Locked) {
            ++locked;
        }
    }
    for (std::size_t i = model.entries.size(); i-- > 0 && fragmented > kMaxFragmentedFiles;) {
        if (IsPlannedFragmentedFile(model.entries[i], pieces[i])) {
            if (model.entries[i].mobility == Mobility::Locked) {
                --locked;
            }
            pieces[i] = 1;
            --fragmented;
        }
    }
    for (std::uint32_t i = 0; i < model.entries.size() && locked < kMinLockedFragmentedFiles; ++i) {
        Entry& entry = model.entries[i];
        if (IsPlannedFragmentedFile(entry, pieces[i]) && entry.mobility == Mobility::Movable) {
            entry.mobility = Mobility::Locked;
            ++locked;
        }
    }
}

std::uint64_t Seed(wchar_t letter, std::uint64_t totalBytes) {
    return 0x56414E5452454Cull ^ (static_cast<std::uint64_t>(letter) * 0x100000001B3ull) ^
           (totalBytes * 0x9E3779B97F4A7C15ull);
}

}  // namespace

void VolumeModel::MoveToContiguous(std::uint32_t index, std::uint64_t lcn) {
    Entry& entry = entries[index];
    for (const Extent& old : ExtentsOf(index)) {
        free.Release(old.lcn, old.length);
    }
    entry.firstExtent = static_cast<std::uint32_t>(extents.size());
    entry.extentCount = 1;
    extents.push_back({lcn, entry.clusters});
    entry.optimized = true;
}

std::uint64_t VolumeModel::HighWaterMark() const {
    std::uint64_t mark = 0;
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        for (const Extent& extent : ExtentsOf(i)) {
            mark = std::max(mark, extent.lcn + extent.length);
        }
    }
    return mark;
}

VolumeModel BuildVolumeModel(wchar_t letter, std::uint64_t totalBytes, std::wstring volumeText) {
    totalBytes = std::max(totalBytes, kMinimumVolumeBytes);
    VolumeModel model;
    model.volumeText = std::move(volumeText);
    VolumeGeometry& geometry = model.geometry;
    geometry.letter = letter;
    // Larger clusters on very large volumes keep cluster numbers within 32 bits.
    while (totalBytes / geometry.ClusterBytes() > 0xFFFFFFFFull &&
           geometry.sectorsPerCluster < 128) {
        geometry.sectorsPerCluster *= 2;
    }
    const std::uint64_t clusterBytes = geometry.ClusterBytes();
    const std::uint64_t total = totalBytes / clusterBytes;
    geometry.totalClusters = total;

    SplitMix64 random(Seed(letter, totalBytes));
    const bool systemDrive = letter == L'C';
    model.systemDrive = systemDrive;
    model.userName = UserName(random.Next());
    const double usedShare = 0.35 + 0.40 * random.Unit();
    double fragmentationLevel = 0.4 + 0.9 * random.Unit();
    const auto targetUsed = static_cast<std::uint64_t>(static_cast<double>(total) * usedShare);

    const auto fileCount = static_cast<std::uint32_t>(
        std::clamp<std::uint64_t>(targetUsed * clusterBytes / (160 * kKiB), 2000, kMaxModelFiles));
    // Large drives have many files: the smaller classes fragment less there, so
    // that the fragmented files stay near the target.
    const double bulkLevel = fragmentationLevel;
    double expectedFragmented = 0;
    for (const SizeClass& sizeClass : kSizeClasses) {
        expectedFragmented += sizeClass.share * sizeClass.fragmentation;
    }
    expectedFragmented *= fileCount * fragmentationLevel;
    if (expectedFragmented > kFragmentedFilesTarget) {
        fragmentationLevel *= kFragmentedFilesTarget / expectedFragmented;
    }
    // The share of the used space that the smaller files take.
    const double smallFilesShare = 0.25 + 0.2 * random.Unit();

    const std::uint64_t mftClusters =
        CeilDiv((fileCount + fileCount / 11 + 128ull) * kMftRecordBytes, clusterBytes);
    const std::uint64_t mftStart = std::min(kNtfsMftStart, total / 4);
    model.mftZoneStart = mftStart + mftClusters;
    model.mftZoneEnd = model.mftZoneStart + total / 64;
    model.free = FreeSpace(model.mftZoneStart, model.mftZoneEnd);

    // Entries: the root, the system files, the drive's well-known folders, then
    // directories and files mixed the way a file table grows.
    std::vector<std::uint32_t> pieces;  // planned fragments per entry
    std::vector<bool> bulk;             // files of the bulk class
    auto add = [&](Entry entry, std::uint32_t fragmentCount, bool isBulk = false) {
        model.entries.push_back(entry);
        pieces.push_back(fragmentCount);
        bulk.push_back(isBulk);
    };
    add({.clusters = 1,
         .kind = EntryKind::Directory,
         .mobility = Mobility::Unmovable,
         .folder = RootKind(systemDrive)},
        1);
    for (std::uint32_t system = 0; system < kSystemFileCount; ++system) {
        Entry entry{
            .nameSeed = system, .kind = EntryKind::SystemFile, .mobility = Mobility::Unmovable};
        std::uint32_t fragments = 1;
        switch (static_cast<SystemFile>(system)) {
            case SystemFile::Mft:
                entry.kind = EntryKind::Mft;
                entry.clusters = mftClusters;
                break;
            case SystemFile::Boot:
                entry.clusters = CeilDiv(8 * kKiB, clusterBytes);
                break;
            case SystemFile::LogFile:
                entry.clusters = std::min<std::uint64_t>(64 * kMiB / clusterBytes, total / 256 + 1);
                break;
            case SystemFile::Bitmap:
                entry.clusters = CeilDiv(CeilDiv(total, 8), clusterBytes);
                break;
            case SystemFile::PageFile:
                // Only the system drive pages; a page file grows in pieces.
                entry.clusters =
                    systemDrive ? std::min<std::uint64_t>(total / 40, 2 * kGiB / clusterBytes) : 0;
                fragments = static_cast<std::uint32_t>(random.Between(1, 3));
                break;
        }
        if (entry.clusters == 0) {
            continue;
        }
        entry.sizeBytes = entry.clusters * clusterBytes;
        add(entry, entry.clusters < fragments ? 1 : fragments);
    }
    const std::uint32_t firstOrdinary = static_cast<std::uint32_t>(model.entries.size());

    // Where generated entries may go: files and folders each have their own list.
    std::vector<std::uint32_t> fileParents;
    std::vector<std::uint32_t> folderParents;
    if (RootTakesEntries(systemDrive)) {
        fileParents.push_back(0);
        folderParents.push_back(0);
    }
    const auto skeleton = SkeletonFor(systemDrive);
    for (std::uint32_t i = 0; i < skeleton.size(); ++i) {
        const SkeletonFolder& folder = skeleton[i];
        const std::uint32_t parent =
            folder.parent == kNoParent ? 0
                                       : firstOrdinary + static_cast<std::uint32_t>(folder.parent);
        const auto index = static_cast<std::uint32_t>(model.entries.size());
        add({.parent = parent,
             .nameSeed = i,
             .clusters = 1,
             .kind = EntryKind::Directory,
             .mobility = Mobility::Movable,
             .depth = static_cast<std::uint8_t>(model.entries[parent].depth + 1),
             .folder = folder.kind},
            1);
        if (folder.takesFiles) {
            fileParents.push_back(index);
        }
        if (folder.takesFolders) {
            folderParents.push_back(index);
        }
    }
    const auto directoryCount =
        std::max(fileCount / 11 + 8, static_cast<std::uint32_t>(skeleton.size()));
    std::uint32_t filesMade = 0;
    std::uint32_t directoriesMade = static_cast<std::uint32_t>(skeleton.size());
    while (filesMade < fileCount || directoriesMade < directoryCount) {
        const bool makeDirectory = directoriesMade < directoryCount &&
                                   (filesMade == fileCount ||
                                    random.Next() % (fileCount + directoryCount) < directoryCount);
        if (makeDirectory) {
            const std::uint32_t parent = folderParents[random.Next() % folderParents.size()];
            const Entry& parentEntry = model.entries[parent];
            Entry entry{.parent = parent,
                        .nameSeed = static_cast<std::uint32_t>(random.Next() | kGeneratedNameFlag),
                        .kind = EntryKind::Directory,
                        .mobility = Mobility::Movable,
                        .depth = static_cast<std::uint8_t>(parentEntry.depth + 1),
                        .folder = parentEntry.folder};
            entry.clusters = 1 + (random.Chance(0.05) ? random.Between(1, 15) : 0);
            entry.sizeBytes = entry.clusters * clusterBytes;
            const auto index = static_cast<std::uint32_t>(model.entries.size());
            fileParents.push_back(index);
            if (entry.depth < kMaxDirectoryDepth) {
                folderParents.push_back(index);
            }
            add(entry, 1);
            ++directoriesMade;
            continue;
        }
        double pick = random.Unit();
        std::size_t sizeClass = 0;
        for (; sizeClass + 1 < std::size(kSizeClasses); ++sizeClass) {
            if (pick < kSizeClasses[sizeClass].share) {
                break;
            }
            pick -= kSizeClasses[sizeClass].share;
        }
        // The largest files are media, images, games and backups rather than
        // drivers or fonts: such a file looks for a fitting folder a few times.
        std::uint32_t parent = fileParents[random.Next() % fileParents.size()];
        for (int attempt = 0; attempt < 4 && sizeClass == kBulkClass &&
                              !TakesLargeFiles(model.entries[parent].folder);
             ++attempt) {
            parent = fileParents[random.Next() % fileParents.size()];
        }
        const Entry& parentEntry = model.entries[parent];
        Entry entry{.parent = parent,
                    .nameSeed = static_cast<std::uint32_t>(random.Next()),
                    .kind = EntryKind::File,
                    .depth = static_cast<std::uint8_t>(parentEntry.depth + 1),
                    .folder = parentEntry.folder};
        entry.mobility =
            random.Chance(LockedChance(entry.folder)) ? Mobility::Locked : Mobility::Movable;
        entry.sizeBytes =
            LogUniform(random, kSizeClasses[sizeClass].low, kSizeClasses[sizeClass].high);
        std::uint32_t fragments = 1;
        const double level = sizeClass == kBulkClass ? bulkLevel : fragmentationLevel;
        if (random.Chance(kSizeClasses[sizeClass].fragmentation * level)) {
            fragments = random.Chance(0.1) ? static_cast<std::uint32_t>(random.Between(20, 400))
                                           : static_cast<std::uint32_t>(random.Between(2, 6));
        }
        add(entry, fragments, sizeClass == kBulkClass);
        ++filesMade;
    }

    // Scale the ordinary files so that the volume is used to the chosen share, and
    // never so far that the layout would not fit: the smaller files to their share
    // of it (never larger than they were made), the bulk to the rest.
    std::uint64_t fixedClusters = 0;
    for (std::uint32_t i = 0; i < firstOrdinary; ++i) {
        fixedClusters += model.entries[i].clusters;
    }
    double smallRaw = 0;
    double bulkRaw = 0;
    for (std::uint32_t i = firstOrdinary; i < model.entries.size(); ++i) {
        Entry& entry = model.entries[i];
        if (entry.kind == EntryKind::Directory) {
            fixedClusters += entry.clusters;
        } else {
            (bulk[i] ? bulkRaw : smallRaw) +=
                static_cast<double>(entry.sizeBytes) / static_cast<double>(clusterBytes);
        }
    }
    const std::uint64_t capacity =
        total -
        std::min(total, fixedClusters + (model.mftZoneEnd - model.mftZoneStart) + total / 20);
    const double wanted =
        static_cast<double>(std::min(capacity, targetUsed - std::min(targetUsed, fixedClusters)));
    double smallScale = smallRaw > 0 ? std::min(1.0, wanted * smallFilesShare / smallRaw) : 0.0;
    double bulkScale = bulkRaw > 0 ? (wanted - smallRaw * smallScale) / bulkRaw : 0.0;
    if (bulkRaw == 0 && smallRaw > 0) {
        smallScale = wanted / smallRaw;
    }
    std::uint64_t pieceClusters = fixedClusters;
    for (std::uint32_t i = 0; i < model.entries.size(); ++i) {
        Entry& entry = model.entries[i];
        if (entry.kind == EntryKind::File) {
            const double scale = bulk[i] ? bulkScale : smallScale;
            entry.sizeBytes =
                static_cast<std::uint64_t>(static_cast<double>(entry.sizeBytes) * scale);
            entry.clusters =
                entry.sizeBytes < kResidentLimit ? 0 : CeilDiv(entry.sizeBytes, clusterBytes);
            pieceClusters += entry.clusters;
        }
        pieces[i] = static_cast<std::uint32_t>(std::min<std::uint64_t>(pieces[i], entry.clusters));
    }
    KeepFragmentedFilesInBounds(model, pieces);
    std::uint64_t pieceCount = 0;
    for (const std::uint32_t count : pieces) {
        pieceCount += count;
    }

    const std::uint64_t freeClusters = total - std::min(total, pieceClusters);
    const auto scatteredFree = static_cast<std::uint64_t>(static_cast<double>(freeClusters) *
                                                          (0.15 + 0.2 * random.Unit()));
    Layout layout(model, random, mftStart, pieceClusters - mftClusters, scatteredFree, pieceCount);

    // Later fragments of a fragmented entry land among the entries that follow it.
    std::priority_queue<PendingPiece, std::vector<PendingPiece>, std::greater<>> pending;
    std::uint64_t placed = 0;
    for (std::uint32_t i = 0; i < model.entries.size(); ++i) {
        while (!pending.empty() && pending.top().due <= placed) {
            layout.Place(pending.top().entry, pending.top().length);
            pending.pop();
            ++placed;
        }
        Entry& entry = model.entries[i];
        if (entry.kind == EntryKind::Mft || pieces[i] == 0) {
            continue;
        }
        std::uint64_t left = entry.clusters;
        for (std::uint32_t piece = 0; piece < pieces[i]; ++piece) {
            const std::uint32_t piecesLeft = pieces[i] - piece;
            std::uint64_t length = left - (piecesLeft - 1);
            if (piecesLeft > 1) {
                length = random.Between(1, std::max<std::uint64_t>(1, 2 * left / piecesLeft - 1));
                length = std::min(length, left - (piecesLeft - 1));
            }
            left -= length;
            if (piece == 0) {
                layout.Place(i, length);
                ++placed;
            } else {
                pending.push({placed + random.Between(1, 4000), i, length});
            }
        }
    }
    while (!pending.empty()) {
        layout.Place(pending.top().entry, pending.top().length);
        pending.pop();
    }
    layout.Finish();
    // The zone stays free: pieces are laid past it.
    layout.FreeExtents().emplace_back(model.mftZoneStart, model.mftZoneEnd - model.mftZoneStart);
    model.free.Assign(std::move(layout.FreeExtents()));

    // Group the placements by entry, keeping each entry's pieces in placement order.
    std::vector<Placement>& placements = layout.Placements();
    // The system files follow the root in their declared order, the MFT first.
    const std::uint32_t mftIndex = 1;
    placements.push_back({mftIndex, {mftStart, mftClusters}});
    std::stable_sort(placements.begin(), placements.end(),
                     [](const Placement& a, const Placement& b) { return a.entry < b.entry; });
    model.extents.reserve(placements.size());
    for (Entry& entry : model.entries) {
        entry.clusters = 0;
        entry.extentCount = 0;
    }
    for (const Placement& placement : placements) {
        Entry& entry = model.entries[placement.entry];
        if (entry.extentCount == 0) {
            entry.firstExtent = static_cast<std::uint32_t>(model.extents.size());
        }
        model.extents.push_back(placement.extent);
        ++entry.extentCount;
        entry.clusters += placement.extent.length;
    }
    for (Entry& entry : model.entries) {
        model.usedClusters += entry.clusters;
        if (entry.kind == EntryKind::Directory) {
            ++model.directoryCount;
        } else {
            ++model.fileCount;
            entry.sizeBytes = entry.clusters == 0
                                  ? std::min(entry.sizeBytes, kResidentLimit - 1)
                                  : std::min(entry.sizeBytes, entry.clusters * clusterBytes);
        }
    }
    return model;
}

}  // namespace vantrel::defragsvc
