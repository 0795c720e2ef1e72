#include "engine/sim/ModelDrive.h"

#include "engine/sim/FolderSkeleton.h"
#include "engine/sim/NameVocabulary.h"
#include "engine/sim/Random.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <queue>

namespace vantrel::engine::sim {
namespace {

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * kKiB;
constexpr std::uint64_t kGiB = 1024 * kMiB;
constexpr std::uint64_t kResidentLimit = 700;  // small files live inside their MFT record
constexpr std::uint64_t kMftRecordBytes = 1024;
constexpr std::uint64_t kNtfsMftStart = 786432;
constexpr std::uint64_t kFirstModelRecord = 27;
constexpr std::uint8_t kMaxDirectoryDepth = 9;

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
// Fragmented files on a large drive stay around this many.
constexpr double kFragmentedFilesTarget = 0.9 * kMaxFragmentedFiles;
// The largest fragmented files, about this share of the fragmented clusters, find
// no free run of their size before free space is consolidated.
constexpr double kSecondPassShare = 0.5;
constexpr std::uint64_t kMaxStragglers = 4000;

// The file system's own files, in their records.
struct Metadata {
    std::uint64_t record;
    std::u16string_view name;
    bool directory;
};
constexpr Metadata kMetadata[] = {
    {0, u"$MFT", false},     {1, u"$MFTMirr", false}, {2, u"$LogFile", false},
    {3, u"$Volume", false},  {4, u"$AttrDef", false}, {6, u"$Bitmap", false},
    {7, u"$Boot", false},    {8, u"$BadClus", false}, {9, u"$Secure", false},
    {10, u"$UpCase", false}, {11, u"$Extend", true},
};
constexpr Metadata kExtendFiles[] = {
    {24, u"$Quota", false}, {25, u"$ObjId", false}, {26, u"$Reparse", false}};
constexpr std::uint64_t kExtendRecord = 11;

enum class EntryKind : std::uint8_t { Directory, File, Metadata, PageFile };
constexpr std::uint64_t kUnsetRecord = ~std::uint64_t{0};
// The MFT is the first entry after the root; it is laid where the MFT starts.
constexpr std::uint32_t kMftEntry = 1;

struct Entry {
    std::uint32_t parent = 0;  // entry index
    std::uint32_t nameSeed = 0;
    std::uint64_t clusters = 0;
    std::uint64_t sizeBytes = 0;
    std::uint64_t record = kUnsetRecord;
    EntryKind kind = EntryKind::File;
    Mobility mobility = Mobility::Movable;
    std::uint8_t depth = 0;
    FolderKind folder = FolderKind::Root;
    bool named = false;  // a metadata or skeleton name rather than a generated one
    bool straggler = false;
};

// What a name is made from, per record: a model of 600,000 files keeps no strings.
struct NameSource {
    std::uint32_t seed = 0;
    FolderKind folder = FolderKind::Root;
    std::uint8_t kind = 0;  // 0 generated file, 1 generated folder, 2 skeleton, 3 fixed
    std::uint64_t size = 0;
};

class ModelNames {
  public:
    ModelNames(bool systemDrive, std::u16string_view userName)
        : systemDrive_(systemDrive), userName_(userName) {}

    std::vector<NameSource> sources;
    std::vector<std::u16string_view> fixed;  // kind 3, by seed

    std::u16string NameOf(std::uint64_t record) const {
        if (record >= sources.size()) {
            return {};
        }
        const NameSource& source = sources[record];
        switch (source.kind) {
            case 0:
                return FileName(source.folder, source.seed, source.size);
            case 1:
                return FolderName(source.folder, source.seed);
            case 2: {
                const auto skeleton = SkeletonFor(systemDrive_);
                const std::u16string_view name = skeleton[source.seed].name;
                return std::u16string(name == kUserFolderPlaceholder ? userName_ : name);
            }
            default:
                return std::u16string(fixed[source.seed]);
        }
    }

  private:
    bool systemDrive_;
    std::u16string_view userName_;
};

struct Placement {
    std::uint32_t entry;
    Lcn lcn;
    std::uint64_t length;
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
    Layout(std::uint64_t total, SplitMix64& random, Lcn mftStart, Lcn zoneEnd,
           std::uint64_t piecesClusters, std::uint64_t scatteredFree, std::uint64_t pieceCount)
        : total_(total),
          random_(random),
          mftStart_(mftStart),
          zoneEnd_(zoneEnd),
          remaining_(piecesClusters),
          meanGap_(pieceCount == 0 ? 0.0
                                   : static_cast<double>(scatteredFree) / (0.25 * pieceCount)) {}

    void Place(std::uint32_t entry, std::uint64_t length) {
        remaining_ -= std::min(remaining_, length);
        // A piece never overlaps the MFT and its zone: it goes past them instead.
        if (cursor_ <= mftStart_ && cursor_ + length > mftStart_) {
            cursor_ = zoneEnd_;
        }
        length = std::min(length, total_ - std::min(total_, cursor_));
        if (length == 0) {
            return;
        }
        placements_.push_back({entry, cursor_, length});
        cursor_ += length;
        if (meanGap_ > 0.0 && random_.Chance(0.25)) {
            const auto wanted =
                static_cast<std::uint64_t>(-std::log(1.0 - random_.Unit()) * meanGap_);
            std::uint64_t gap = std::min(wanted, Room());
            if (cursor_ < mftStart_) {
                gap = std::min(gap, mftStart_ - cursor_);
            }
            cursor_ += gap;
        }
    }

    // The small files that lie in the free space past the data, one every `spacing`
    // clusters.
    void Scatter(const std::vector<std::uint32_t>& entries, const std::vector<Entry>& all,
                 std::uint64_t spacing) {
        Lcn at = std::max(cursor_, zoneEnd_) + spacing;
        for (const std::uint32_t entry : entries) {
            const std::uint64_t length = all[entry].clusters;
            if (at + length > total_) {
                break;
            }
            placements_.push_back({entry, at, length});
            at += length + spacing;
        }
    }

    std::vector<Placement>& Placements() { return placements_; }

  private:
    // Free space that a gap may take without crowding out the pieces still to come.
    std::uint64_t Room() const {
        std::uint64_t reserved = remaining_;
        if (cursor_ < mftStart_) {
            reserved += zoneEnd_ - mftStart_;
        }
        const std::uint64_t end = cursor_ + reserved;
        return end >= total_ ? 0 : total_ - end;
    }

    std::uint64_t total_;
    SplitMix64& random_;
    Lcn mftStart_;
    Lcn zoneEnd_;
    std::uint64_t remaining_;
    double meanGap_;
    Lcn cursor_ = 0;
    std::vector<Placement> placements_;
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
void KeepFragmentedFilesInBounds(std::vector<Entry>& entries, std::vector<std::uint32_t>& pieces) {
    std::uint32_t fragmented = 0;
    std::uint32_t locked = 0;
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        if (pieces[i] >= 2) {
            ++fragmented;
        }
        if (IsPlannedFragmentedFile(entries[i], pieces[i]) &&
            entries[i].mobility == Mobility::Locked) {
            ++locked;
        }
    }
    for (std::size_t i = entries.size(); i-- > 0 && fragmented > kMaxFragmentedFiles;) {
        if (IsPlannedFragmentedFile(entries[i], pieces[i])) {
            if (entries[i].mobility == Mobility::Locked) {
                --locked;
            }
            pieces[i] = 1;
            --fragmented;
        }
    }
    for (std::uint32_t i = 0; i < entries.size() && locked < kMinLockedFragmentedFiles; ++i) {
        Entry& entry = entries[i];
        if (IsPlannedFragmentedFile(entry, pieces[i]) && entry.mobility == Mobility::Movable) {
            entry.mobility = Mobility::Locked;
            ++locked;
        }
    }
}

// The spacing of the scattered small files: runs shorter than the fragmented files
// that hold the largest share of the fragmented clusters.
std::uint64_t ScatterSpacing(const std::vector<Entry>& entries,
                             const std::vector<std::uint32_t>& pieces) {
    std::vector<std::uint64_t> sizes;
    std::uint64_t clusters = 0;
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        if (IsPlannedFragmentedFile(entries[i], pieces[i]) &&
            entries[i].mobility == Mobility::Movable) {
            sizes.push_back(entries[i].clusters);
            clusters += entries[i].clusters;
        }
    }
    std::sort(sizes.rbegin(), sizes.rend());
    std::uint64_t left = 0;
    for (const std::uint64_t size : sizes) {
        left += size;
        if (static_cast<double>(left) >= static_cast<double>(clusters) * kSecondPassShare) {
            return std::max<std::uint64_t>(64, size - 1);
        }
    }
    return 0;
}

std::uint64_t Seed(char16_t letter, std::uint64_t totalBytes) {
    return 0x56414E5452454Cull ^ (static_cast<std::uint64_t>(letter) * 0x100000001B3ull) ^
           (totalBytes * 0x9E3779B97F4A7C15ull);
}

}  // namespace

std::unique_ptr<SimVolume> BuildModelDrive(char16_t letter, std::uint64_t totalBytes,
                                           const ModelOptions& options) {
    totalBytes = std::max(totalBytes, kMinimumDriveBytes);
    SimOptions geometry = options.volume;
    geometry.fileSystem = u"NTFS";
    geometry.bytesPerSector = 512;
    geometry.bytesPerCluster = 4096;
    // Larger clusters on very large volumes keep cluster numbers within 32 bits.
    while (totalBytes / geometry.bytesPerCluster > 0xFFFFFFFFull &&
           geometry.bytesPerCluster < 64 * kKiB) {
        geometry.bytesPerCluster *= 2;
    }
    const std::uint64_t clusterBytes = geometry.bytesPerCluster;
    const std::uint64_t total = totalBytes / clusterBytes;
    geometry.totalClusters = total;

    SplitMix64 random(Seed(letter, totalBytes));
    const bool systemDrive = letter == u'C';
    const std::u16string_view userName = UserName(random.Next());
    const double usedShare = 0.35 + 0.40 * random.Unit();
    double fragmentationLevel = 0.4 + 0.9 * random.Unit();
    const auto targetUsed = static_cast<std::uint64_t>(static_cast<double>(total) * usedShare);

    const auto fileCount =
        options.files != 0 ? options.files
                           : static_cast<std::uint32_t>(std::clamp<std::uint64_t>(
                                 targetUsed * clusterBytes / (160 * kKiB), 2000, kMaxModelFiles));
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

    const auto directoryCount =
        std::max(fileCount / 11 + 8, static_cast<std::uint32_t>(SkeletonFor(systemDrive).size()));
    const std::uint64_t mftClusters = CeilDiv(
        (kFirstModelRecord + fileCount + directoryCount + 128ull) * kMftRecordBytes, clusterBytes);
    const Lcn mftStart = std::min(kNtfsMftStart, total / 4);
    geometry.mftStart = mftStart;
    geometry.mftZoneStart = mftStart + mftClusters;
    geometry.mftZoneEnd = geometry.mftZoneStart + total / 64;

    // Entries: the root, the file system's files, the drive's well-known folders,
    // then directories and files mixed the way a file table grows.
    std::vector<Entry> entries;
    std::vector<std::uint32_t> pieces;  // planned fragments per entry
    std::vector<bool> bulk;             // files of the bulk class
    auto add = [&](Entry entry, std::uint32_t fragmentCount, bool isBulk = false) {
        entries.push_back(entry);
        pieces.push_back(fragmentCount);
        bulk.push_back(isBulk);
        return static_cast<std::uint32_t>(entries.size() - 1);
    };
    add({.record = kRootRecord,
         .kind = EntryKind::Directory,
         .mobility = Mobility::Unmovable,
         .folder = RootKind(systemDrive),
         .named = true},
        0);
    std::uint32_t extendEntry = 0;
    for (std::uint32_t i = 0; i < std::size(kMetadata); ++i) {
        const Metadata& metadata = kMetadata[i];
        Entry entry{.nameSeed = i,
                    .record = metadata.record,
                    .kind = metadata.directory ? EntryKind::Directory : EntryKind::Metadata,
                    .mobility = Mobility::Unmovable,
                    .named = true};
        switch (metadata.record) {
            case 0:
                entry.clusters = mftClusters;
                break;
            case 1:
                entry.clusters = CeilDiv(4 * kMftRecordBytes, clusterBytes);
                break;
            case 2:
                entry.clusters = std::min<std::uint64_t>(64 * kMiB / clusterBytes, total / 256 + 1);
                break;
            case 6:
                entry.clusters = CeilDiv(CeilDiv(total, 8), clusterBytes);
                break;
            case 7:
                entry.clusters = CeilDiv(8 * kKiB, clusterBytes);
                break;
            case 10:
                entry.clusters = CeilDiv(128 * kKiB, clusterBytes);
                break;
            default:
                break;
        }
        entry.sizeBytes = entry.clusters * clusterBytes;
        const std::uint32_t index = add(entry, entry.clusters == 0 ? 0 : 1);
        if (metadata.record == kExtendRecord) {
            extendEntry = index;
        }
    }
    for (std::uint32_t i = 0; i < std::size(kExtendFiles); ++i) {
        add({.parent = extendEntry,
             .nameSeed = static_cast<std::uint32_t>(std::size(kMetadata) + i),
             .record = kExtendFiles[i].record,
             .kind = EntryKind::Metadata,
             .mobility = Mobility::Unmovable,
             .named = true},
            0);
    }
    if (systemDrive) {
        // The page file grows in pieces.
        Entry page{
            .nameSeed = static_cast<std::uint32_t>(std::size(kMetadata) + std::size(kExtendFiles)),
            .clusters = std::min<std::uint64_t>(total / 40, 2 * kGiB / clusterBytes),
            .kind = EntryKind::PageFile,
            .mobility = Mobility::Unmovable,
            .named = true};
        page.sizeBytes = page.clusters * clusterBytes;
        const auto fragments = static_cast<std::uint32_t>(random.Between(1, 3));
        add(page, page.clusters < fragments ? 1 : fragments);
    }
    const auto firstOrdinary = static_cast<std::uint32_t>(entries.size());

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
        const std::uint32_t index =
            add({.parent = parent,
                 .nameSeed = i,
                 .clusters = 1,
                 .kind = EntryKind::Directory,
                 .depth = static_cast<std::uint8_t>(entries[parent].depth + 1),
                 .folder = folder.kind,
                 .named = true},
                1);
        if (folder.takesFiles) {
            fileParents.push_back(index);
        }
        if (folder.takesFolders) {
            folderParents.push_back(index);
        }
    }
    std::uint32_t filesMade = 0;
    auto directoriesMade = static_cast<std::uint32_t>(skeleton.size());
    while (filesMade < fileCount || directoriesMade < directoryCount) {
        const bool makeDirectory = directoriesMade < directoryCount &&
                                   (filesMade == fileCount ||
                                    random.Next() % (fileCount + directoryCount) < directoryCount);
        if (makeDirectory) {
            const std::uint32_t parent = folderParents[random.Next() % folderParents.size()];
            const Entry& parentEntry = entries[parent];
            Entry entry{.parent = parent,
                        .nameSeed = static_cast<std::uint32_t>(random.Next()),
                        .kind = EntryKind::Directory,
                        .depth = static_cast<std::uint8_t>(parentEntry.depth + 1),
                        .folder = parentEntry.folder};
            entry.clusters = 1 + (random.Chance(0.05) ? random.Between(1, 15) : 0);
            entry.sizeBytes = entry.clusters * clusterBytes;
            const std::uint32_t index = add(entry, 1);
            fileParents.push_back(index);
            if (entry.depth < kMaxDirectoryDepth) {
                folderParents.push_back(index);
            }
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
        for (int attempt = 0;
             attempt < 4 && sizeClass == kBulkClass && !TakesLargeFiles(entries[parent].folder);
             ++attempt) {
            parent = fileParents[random.Next() % fileParents.size()];
        }
        const Entry& parentEntry = entries[parent];
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
    double smallRaw = 0;
    double bulkRaw = 0;
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        if (entry.kind != EntryKind::File) {
            fixedClusters += entry.clusters;
        } else {
            (bulk[i] ? bulkRaw : smallRaw) +=
                static_cast<double>(entry.sizeBytes) / static_cast<double>(clusterBytes);
        }
    }
    const std::uint64_t capacity =
        total -
        std::min(total, fixedClusters + (geometry.mftZoneEnd - geometry.mftZoneStart) + total / 20);
    const double wanted =
        static_cast<double>(std::min(capacity, targetUsed - std::min(targetUsed, fixedClusters)));
    double smallScale = smallRaw > 0 ? std::min(1.0, wanted * smallFilesShare / smallRaw) : 0.0;
    const double bulkScale = bulkRaw > 0 ? (wanted - smallRaw * smallScale) / bulkRaw : 0.0;
    if (bulkRaw == 0 && smallRaw > 0) {
        smallScale = wanted / smallRaw;
    }
    std::uint64_t pieceClusters = 0;
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        if (entry.kind == EntryKind::File) {
            const double scale = bulk[i] ? bulkScale : smallScale;
            entry.sizeBytes =
                static_cast<std::uint64_t>(static_cast<double>(entry.sizeBytes) * scale);
            entry.clusters =
                entry.sizeBytes < kResidentLimit ? 0 : CeilDiv(entry.sizeBytes, clusterBytes);
        }
        pieces[i] = static_cast<std::uint32_t>(std::min<std::uint64_t>(pieces[i], entry.clusters));
        if (i != kMftEntry) {
            pieceClusters += entry.clusters;
        }
    }
    KeepFragmentedFilesInBounds(entries, pieces);

    // A few small movable files in one piece go to the free space past the data.
    const std::uint64_t spacing = ScatterSpacing(entries, pieces);
    std::vector<std::uint32_t> stragglers;
    if (spacing != 0) {
        const std::uint64_t wantedStragglers =
            std::min<std::uint64_t>(kMaxStragglers, total / spacing + 1);
        for (std::uint32_t i = static_cast<std::uint32_t>(entries.size());
             i-- > firstOrdinary && stragglers.size() < wantedStragglers;) {
            Entry& entry = entries[i];
            if (entry.kind == EntryKind::File && pieces[i] == 1 && entry.clusters <= 16 &&
                entry.mobility == Mobility::Movable) {
                entry.straggler = true;
                stragglers.push_back(i);
                pieceClusters -= entry.clusters;
            }
        }
    }
    std::uint64_t pieceCount = 0;
    for (const std::uint32_t count : pieces) {
        pieceCount += count;
    }

    const std::uint64_t freeClusters = total - std::min(total, pieceClusters + mftClusters);
    const auto scatteredFree = static_cast<std::uint64_t>(static_cast<double>(freeClusters) *
                                                          (0.15 + 0.2 * random.Unit()));
    Layout layout(total, random, mftStart, geometry.mftZoneEnd, pieceClusters, scatteredFree,
                  pieceCount);

    // Later fragments of a fragmented entry land among the entries that follow it.
    std::priority_queue<PendingPiece, std::vector<PendingPiece>, std::greater<>> pending;
    std::uint64_t placed = 0;
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        while (!pending.empty() && pending.top().due <= placed) {
            layout.Place(pending.top().entry, pending.top().length);
            pending.pop();
            ++placed;
        }
        const Entry& entry = entries[i];
        if (i == kMftEntry || entry.straggler || pieces[i] == 0) {
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
    std::sort(stragglers.begin(), stragglers.end());
    layout.Scatter(stragglers, entries, spacing);
    layout.Placements().push_back({kMftEntry, mftStart, mftClusters});

    // Records: the file system's own where they belong, the rest in entry order.
    std::uint64_t nextRecord = kFirstModelRecord;
    for (Entry& entry : entries) {
        if (entry.record == kUnsetRecord) {
            entry.record = nextRecord++;
        }
    }
    // Pieces by entry, in the order they were laid.
    std::vector<Placement>& placements = layout.Placements();
    std::stable_sort(placements.begin(), placements.end(),
                     [](const Placement& a, const Placement& b) { return a.entry < b.entry; });
    std::vector<std::vector<Extent>> runs(entries.size());
    for (const Placement& placement : placements) {
        runs[placement.entry].push_back({0, placement.length, placement.lcn});
    }

    auto names = std::make_shared<ModelNames>(systemDrive, userName);
    names->sources.resize(nextRecord);
    for (const Metadata& metadata : kMetadata) {
        names->fixed.push_back(metadata.name);
    }
    for (const Metadata& metadata : kExtendFiles) {
        names->fixed.push_back(metadata.name);
    }
    names->fixed.push_back(u"pagefile.sys");
    names->fixed.push_back(u".");

    auto volume = std::make_unique<SimVolume>(geometry);
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        std::uint64_t clusters = 0;
        for (const Extent& run : runs[i]) {
            clusters += run.clusters;
        }
        std::uint64_t size = entry.sizeBytes;
        if (entry.kind == EntryKind::File) {
            size = clusters == 0 ? std::min(size, kResidentLimit - 1)
                                 : std::min(size, clusters * clusterBytes);
        }
        NameSource& source = names->sources[entry.record];
        source.seed = entry.nameSeed;
        source.folder = entry.folder;
        source.size = size;
        if (i == 0) {
            source.kind = 3;
            source.seed = static_cast<std::uint32_t>(names->fixed.size() - 1);
        } else if (entry.named) {
            // The file system's files and the page file have fixed names; the
            // well-known folders come from the skeleton.
            const bool skeletonFolder =
                entry.kind == EntryKind::Directory && entry.record >= kFirstModelRecord;
            source.kind = skeletonFolder ? 2 : 3;
        } else {
            source.kind = entry.kind == EntryKind::Directory ? 1 : 0;
        }
        volume->AddFile({.record = entry.record,
                         .sequence = entry.record == kRootRecord ? kRootRecord : 1,
                         .parentRecord = i == 0 ? kRootRecord : entries[entry.parent].record,
                         .attributes = entry.kind == EntryKind::Directory
                                           ? attributes::kDirectory
                                           : (entry.kind == EntryKind::File
                                                  ? attributes::kArchive
                                                  : attributes::kHidden | attributes::kSystem),
                         .size = size,
                         .mobility = entry.mobility,
                         .runs = runs[i]});
    }
    volume->SetNamer([names](std::uint64_t record) { return names->NameOf(record); });
    return volume;
}

}  // namespace vantrel::engine::sim
