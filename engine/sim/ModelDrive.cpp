#include "engine/sim/ModelDrive.h"

#include "engine/sim/FolderSkeleton.h"
#include "engine/sim/ModelLayout.h"
#include "engine/sim/ModelNames.h"
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
// Fixed names after the metadata's: the page file's, then the root's.
constexpr auto kPageFileName =
    static_cast<std::uint32_t>(std::size(kMetadata) + std::size(kExtendFiles));
constexpr std::uint32_t kRootName = kPageFileName + 1;

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

struct PendingPiece {
    std::uint64_t due;
    std::uint32_t entry;
    std::uint64_t length;
    bool operator>(const PendingPiece& other) const { return due > other.due; }
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

// Builds one model drive in stages: the entries the file table holds, their sizes
// scaled to the drive's used share, their pieces laid out, and the volume.
class ModelBuilder {
  public:
    ModelBuilder(char16_t letter, std::uint64_t totalBytes, const ModelOptions& options);

    std::unique_ptr<SimVolume> Build() {
        AddFileSystemFiles();
        AddFolders();
        AddGeneratedEntries();
        ScaleToUsedShare();
        ChooseStragglers();
        LayOut();
        return MakeVolume();
    }

  private:
    std::uint32_t Add(const Entry& entry, std::uint32_t fragments, bool bulk = false) {
        entries_.push_back(entry);
        pieces_.push_back(fragments);
        bulk_.push_back(bulk);
        return static_cast<std::uint32_t>(entries_.size() - 1);
    }
    void AddFileSystemFiles();
    void AddFolders();
    void AddGeneratedEntries();
    void ScaleToUsedShare();
    void ChooseStragglers();
    void LayOut();
    std::unique_ptr<SimVolume> MakeVolume();

    SimOptions geometry_;
    std::uint64_t total_ = 0;
    std::uint64_t clusterBytes_ = 0;
    SplitMix64 random_;
    bool systemDrive_ = false;
    std::u16string_view userName_;
    std::uint64_t targetUsed_ = 0;
    std::uint32_t fileCount_ = 0;
    std::uint32_t directoryCount_ = 0;
    double fragmentationLevel_ = 0;
    double bulkLevel_ = 0;
    double smallFilesShare_ = 0;
    std::uint64_t mftClusters_ = 0;

    // The entries in the order a file table grows, with their planned pieces.
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> pieces_;
    std::vector<bool> bulk_;
    std::uint32_t firstOrdinary_ = 0;
    // Where generated entries may go: files and folders each have their own list.
    std::vector<std::uint32_t> fileParents_;
    std::vector<std::uint32_t> folderParents_;
    std::uint64_t pieceClusters_ = 0;  // laid from the start (all but the MFT)
    std::uint64_t spacing_ = 0;
    std::vector<std::pair<std::uint32_t, std::uint64_t>> stragglers_;
    std::vector<Placement> placements_;
};

ModelBuilder::ModelBuilder(char16_t letter, std::uint64_t totalBytes, const ModelOptions& options)
    : geometry_(options.volume), random_(Seed(letter, std::max(totalBytes, kMinimumDriveBytes))) {
    totalBytes = std::max(totalBytes, kMinimumDriveBytes);
    geometry_.fileSystem = u"NTFS";
    geometry_.bytesPerSector = 512;
    geometry_.bytesPerCluster = 4096;
    // Larger clusters on very large volumes keep cluster numbers within 32 bits.
    while (totalBytes / geometry_.bytesPerCluster > 0xFFFFFFFFull &&
           geometry_.bytesPerCluster < 64 * kKiB) {
        geometry_.bytesPerCluster *= 2;
    }
    clusterBytes_ = geometry_.bytesPerCluster;
    total_ = totalBytes / clusterBytes_;
    geometry_.totalClusters = total_;

    systemDrive_ = letter == u'C';
    userName_ = UserName(random_.Next());
    const double usedShare = 0.35 + 0.40 * random_.Unit();
    fragmentationLevel_ = 0.4 + 0.9 * random_.Unit();
    targetUsed_ = static_cast<std::uint64_t>(static_cast<double>(total_) * usedShare);
    fileCount_ = options.files != 0
                     ? options.files
                     : static_cast<std::uint32_t>(std::clamp<std::uint64_t>(
                           targetUsed_ * clusterBytes_ / (160 * kKiB), 2000, kMaxModelFiles));
    // Large drives have many files: the smaller classes fragment less there, so
    // that the fragmented files stay near the target.
    bulkLevel_ = fragmentationLevel_;
    double expectedFragmented = 0;
    for (const SizeClass& sizeClass : kSizeClasses) {
        expectedFragmented += sizeClass.share * sizeClass.fragmentation;
    }
    expectedFragmented *= fileCount_ * fragmentationLevel_;
    if (expectedFragmented > kFragmentedFilesTarget) {
        fragmentationLevel_ *= kFragmentedFilesTarget / expectedFragmented;
    }
    // The share of the used space that the smaller files take.
    smallFilesShare_ = 0.25 + 0.2 * random_.Unit();

    directoryCount_ =
        std::max(fileCount_ / 11 + 8, static_cast<std::uint32_t>(SkeletonFor(systemDrive_).size()));
    mftClusters_ =
        CeilDiv((kFirstModelRecord + fileCount_ + directoryCount_ + 128ull) * kMftRecordBytes,
                clusterBytes_);
    geometry_.mftStart = std::min(kNtfsMftStart, total_ / 4);
    geometry_.mftZoneStart = geometry_.mftStart + mftClusters_;
    geometry_.mftZoneEnd = geometry_.mftZoneStart + total_ / 64;
}

// The root, the file system's own files in their records, and the page file.
void ModelBuilder::AddFileSystemFiles() {
    Add({.record = kRootRecord,
         .kind = EntryKind::Directory,
         .mobility = Mobility::Unmovable,
         .folder = RootKind(systemDrive_),
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
                entry.clusters = mftClusters_;
                break;
            case 1:
                entry.clusters = CeilDiv(4 * kMftRecordBytes, clusterBytes_);
                break;
            case 2:
                entry.clusters =
                    std::min<std::uint64_t>(64 * kMiB / clusterBytes_, total_ / 256 + 1);
                break;
            case 6:
                entry.clusters = CeilDiv(CeilDiv(total_, 8), clusterBytes_);
                break;
            case 7:
                entry.clusters = CeilDiv(8 * kKiB, clusterBytes_);
                break;
            case 10:
                entry.clusters = CeilDiv(128 * kKiB, clusterBytes_);
                break;
            default:
                break;
        }
        entry.sizeBytes = entry.clusters * clusterBytes_;
        const std::uint32_t index = Add(entry, entry.clusters == 0 ? 0 : 1);
        if (metadata.record == kExtendRecord) {
            extendEntry = index;
        }
    }
    for (std::uint32_t i = 0; i < std::size(kExtendFiles); ++i) {
        Add({.parent = extendEntry,
             .nameSeed = static_cast<std::uint32_t>(std::size(kMetadata) + i),
             .record = kExtendFiles[i].record,
             .kind = EntryKind::Metadata,
             .mobility = Mobility::Unmovable,
             .named = true},
            0);
    }
    if (systemDrive_) {
        // The page file grows in pieces.
        Entry page{.nameSeed = kPageFileName,
                   .clusters = std::min<std::uint64_t>(total_ / 40, 2 * kGiB / clusterBytes_),
                   .kind = EntryKind::PageFile,
                   .mobility = Mobility::Unmovable,
                   .named = true};
        page.sizeBytes = page.clusters * clusterBytes_;
        const auto fragments = static_cast<std::uint32_t>(random_.Between(1, 3));
        Add(page, page.clusters < fragments ? 1 : fragments);
    }
    firstOrdinary_ = static_cast<std::uint32_t>(entries_.size());
}

// The drive's well-known folders.
void ModelBuilder::AddFolders() {
    if (RootTakesEntries(systemDrive_)) {
        fileParents_.push_back(0);
        folderParents_.push_back(0);
    }
    const auto skeleton = SkeletonFor(systemDrive_);
    for (std::uint32_t i = 0; i < skeleton.size(); ++i) {
        const SkeletonFolder& folder = skeleton[i];
        const std::uint32_t parent =
            folder.parent == kNoParent ? 0
                                       : firstOrdinary_ + static_cast<std::uint32_t>(folder.parent);
        const std::uint32_t index =
            Add({.parent = parent,
                 .nameSeed = i,
                 .clusters = 1,
                 .kind = EntryKind::Directory,
                 .depth = static_cast<std::uint8_t>(entries_[parent].depth + 1),
                 .folder = folder.kind,
                 .named = true},
                1);
        if (folder.takesFiles) {
            fileParents_.push_back(index);
        }
        if (folder.takesFolders) {
            folderParents_.push_back(index);
        }
    }
}

// Directories and files mixed the way a file table grows.
void ModelBuilder::AddGeneratedEntries() {
    std::uint32_t filesMade = 0;
    auto directoriesMade = static_cast<std::uint32_t>(SkeletonFor(systemDrive_).size());
    while (filesMade < fileCount_ || directoriesMade < directoryCount_) {
        const bool makeDirectory =
            directoriesMade < directoryCount_ &&
            (filesMade == fileCount_ ||
             random_.Next() % (fileCount_ + directoryCount_) < directoryCount_);
        if (makeDirectory) {
            const std::uint32_t parent = folderParents_[random_.Next() % folderParents_.size()];
            const Entry& parentEntry = entries_[parent];
            Entry entry{.parent = parent,
                        .nameSeed = static_cast<std::uint32_t>(random_.Next()),
                        .kind = EntryKind::Directory,
                        .depth = static_cast<std::uint8_t>(parentEntry.depth + 1),
                        .folder = parentEntry.folder};
            entry.clusters = 1 + (random_.Chance(0.05) ? random_.Between(1, 15) : 0);
            entry.sizeBytes = entry.clusters * clusterBytes_;
            const std::uint32_t index = Add(entry, 1);
            fileParents_.push_back(index);
            if (entry.depth < kMaxDirectoryDepth) {
                folderParents_.push_back(index);
            }
            ++directoriesMade;
            continue;
        }
        double pick = random_.Unit();
        std::size_t sizeClass = 0;
        for (; sizeClass + 1 < std::size(kSizeClasses); ++sizeClass) {
            if (pick < kSizeClasses[sizeClass].share) {
                break;
            }
            pick -= kSizeClasses[sizeClass].share;
        }
        // The largest files are media, images, games and backups rather than
        // drivers or fonts: such a file looks for a fitting folder a few times.
        std::uint32_t parent = fileParents_[random_.Next() % fileParents_.size()];
        for (int attempt = 0;
             attempt < 4 && sizeClass == kBulkClass && !TakesLargeFiles(entries_[parent].folder);
             ++attempt) {
            parent = fileParents_[random_.Next() % fileParents_.size()];
        }
        const Entry& parentEntry = entries_[parent];
        Entry entry{.parent = parent,
                    .nameSeed = static_cast<std::uint32_t>(random_.Next()),
                    .kind = EntryKind::File,
                    .depth = static_cast<std::uint8_t>(parentEntry.depth + 1),
                    .folder = parentEntry.folder};
        entry.mobility =
            random_.Chance(LockedChance(entry.folder)) ? Mobility::Locked : Mobility::Movable;
        entry.sizeBytes =
            LogUniform(random_, kSizeClasses[sizeClass].low, kSizeClasses[sizeClass].high);
        std::uint32_t fragments = 1;
        const double level = sizeClass == kBulkClass ? bulkLevel_ : fragmentationLevel_;
        if (random_.Chance(kSizeClasses[sizeClass].fragmentation * level)) {
            fragments = random_.Chance(0.1) ? static_cast<std::uint32_t>(random_.Between(20, 400))
                                            : static_cast<std::uint32_t>(random_.Between(2, 6));
        }
        Add(entry, fragments, sizeClass == kBulkClass);
        ++filesMade;
    }
}

// Scales the ordinary files so that the volume is used to the chosen share, and
// never so far that the layout would not fit: the smaller files to their share of
// it (never larger than they were made), the bulk to the rest.
void ModelBuilder::ScaleToUsedShare() {
    std::uint64_t fixedClusters = 0;
    double smallRaw = 0;
    double bulkRaw = 0;
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (entry.kind != EntryKind::File) {
            fixedClusters += entry.clusters;
        } else {
            (bulk_[i] ? bulkRaw : smallRaw) +=
                static_cast<double>(entry.sizeBytes) / static_cast<double>(clusterBytes_);
        }
    }
    const std::uint64_t capacity =
        total_ - std::min(total_, fixedClusters + (geometry_.mftZoneEnd - geometry_.mftZoneStart) +
                                      total_ / 20);
    const double wanted =
        static_cast<double>(std::min(capacity, targetUsed_ - std::min(targetUsed_, fixedClusters)));
    double smallScale = smallRaw > 0 ? std::min(1.0, wanted * smallFilesShare_ / smallRaw) : 0.0;
    const double bulkScale = bulkRaw > 0 ? (wanted - smallRaw * smallScale) / bulkRaw : 0.0;
    if (bulkRaw == 0 && smallRaw > 0) {
        smallScale = wanted / smallRaw;
    }
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_[i];
        if (entry.kind == EntryKind::File) {
            const double scale = bulk_[i] ? bulkScale : smallScale;
            entry.sizeBytes =
                static_cast<std::uint64_t>(static_cast<double>(entry.sizeBytes) * scale);
            entry.clusters =
                entry.sizeBytes < kResidentLimit ? 0 : CeilDiv(entry.sizeBytes, clusterBytes_);
        }
        pieces_[i] =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(pieces_[i], entry.clusters));
        if (i != kMftEntry) {
            pieceClusters_ += entry.clusters;
        }
    }
    KeepFragmentedFilesInBounds(entries_, pieces_);
}

// A few small movable files in one piece go to the free space past the data.
void ModelBuilder::ChooseStragglers() {
    spacing_ = ScatterSpacing(entries_, pieces_);
    if (spacing_ == 0) {
        return;
    }
    const std::uint64_t wanted = std::min<std::uint64_t>(kMaxStragglers, total_ / spacing_ + 1);
    for (auto i = static_cast<std::uint32_t>(entries_.size());
         i-- > firstOrdinary_ && stragglers_.size() < wanted;) {
        Entry& entry = entries_[i];
        if (entry.kind == EntryKind::File && pieces_[i] == 1 && entry.clusters <= 16 &&
            entry.mobility == Mobility::Movable) {
            entry.straggler = true;
            stragglers_.emplace_back(i, entry.clusters);
            pieceClusters_ -= entry.clusters;
        }
    }
    std::sort(stragglers_.begin(), stragglers_.end());
}

// Later fragments of a fragmented entry land among the entries that follow it.
void ModelBuilder::LayOut() {
    std::uint64_t pieceCount = 0;
    for (const std::uint32_t count : pieces_) {
        pieceCount += count;
    }
    const std::uint64_t freeClusters = total_ - std::min(total_, pieceClusters_ + mftClusters_);
    const auto scatteredFree = static_cast<std::uint64_t>(static_cast<double>(freeClusters) *
                                                          (0.15 + 0.2 * random_.Unit()));
    ModelLayout layout(total_, random_, geometry_.mftStart, geometry_.mftZoneEnd, pieceClusters_,
                       scatteredFree, pieceCount);
    std::priority_queue<PendingPiece, std::vector<PendingPiece>, std::greater<>> pending;
    std::uint64_t placed = 0;
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        while (!pending.empty() && pending.top().due <= placed) {
            layout.Place(pending.top().entry, pending.top().length);
            pending.pop();
            ++placed;
        }
        const Entry& entry = entries_[i];
        if (i == kMftEntry || entry.straggler || pieces_[i] == 0) {
            continue;
        }
        std::uint64_t left = entry.clusters;
        for (std::uint32_t piece = 0; piece < pieces_[i]; ++piece) {
            const std::uint32_t piecesLeft = pieces_[i] - piece;
            std::uint64_t length = left - (piecesLeft - 1);
            if (piecesLeft > 1) {
                length = random_.Between(1, std::max<std::uint64_t>(1, 2 * left / piecesLeft - 1));
                length = std::min(length, left - (piecesLeft - 1));
            }
            left -= length;
            if (piece == 0) {
                layout.Place(i, length);
                ++placed;
            } else {
                pending.push({placed + random_.Between(1, 4000), i, length});
            }
        }
    }
    while (!pending.empty()) {
        layout.Place(pending.top().entry, pending.top().length);
        pending.pop();
    }
    layout.Scatter(stragglers_, spacing_);
    layout.Placements().push_back({kMftEntry, geometry_.mftStart, mftClusters_});
    placements_ = std::move(layout.Placements());
}

std::unique_ptr<SimVolume> ModelBuilder::MakeVolume() {
    // Records: the file system's own where they belong, the rest in entry order.
    std::uint64_t nextRecord = kFirstModelRecord;
    for (Entry& entry : entries_) {
        if (entry.record == kUnsetRecord) {
            entry.record = nextRecord++;
        }
    }
    // Pieces by entry, in the order they were laid.
    std::stable_sort(placements_.begin(), placements_.end(),
                     [](const Placement& a, const Placement& b) { return a.entry < b.entry; });
    std::vector<std::vector<Extent>> runs(entries_.size());
    for (const Placement& placement : placements_) {
        runs[placement.entry].push_back({0, placement.length, placement.lcn});
    }

    std::vector<std::u16string_view> fixedNames;
    for (const Metadata& metadata : kMetadata) {
        fixedNames.push_back(metadata.name);
    }
    for (const Metadata& metadata : kExtendFiles) {
        fixedNames.push_back(metadata.name);
    }
    fixedNames.push_back(u"pagefile.sys");
    fixedNames.push_back(u".");
    auto names = std::make_shared<ModelNames>(systemDrive_, userName_, std::move(fixedNames));

    auto volume = std::make_unique<SimVolume>(geometry_);
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        std::uint64_t clusters = 0;
        for (const Extent& run : runs[i]) {
            clusters += run.clusters;
        }
        std::uint64_t size = entry.sizeBytes;
        if (entry.kind == EntryKind::File) {
            size = clusters == 0 ? std::min(size, kResidentLimit - 1)
                                 : std::min(size, clusters * clusterBytes_);
        }
        NameSource source{entry.nameSeed, entry.folder, NameKind::File, size};
        if (i == 0) {
            source = {kRootName, entry.folder, NameKind::Fixed, 0};
        } else if (entry.named) {
            // The file system's files and the page file have fixed names; the
            // well-known folders come from the skeleton.
            const bool skeletonFolder =
                entry.kind == EntryKind::Directory && entry.record >= kFirstModelRecord;
            source.kind = skeletonFolder ? NameKind::Skeleton : NameKind::Fixed;
        } else if (entry.kind == EntryKind::Directory) {
            source.kind = NameKind::Folder;
        }
        names->Set(entry.record, source);
        const std::uint32_t attributes = entry.kind == EntryKind::Directory ? attributes::kDirectory
                                         : entry.kind == EntryKind::File
                                             ? attributes::kArchive
                                             : attributes::kHidden | attributes::kSystem;
        volume->AddFile({.record = entry.record,
                         .sequence = entry.record == kRootRecord ? kRootRecord : 1,
                         .parentRecord = i == 0 ? kRootRecord : entries_[entry.parent].record,
                         .attributes = attributes,
                         .size = size,
                         .mobility = entry.mobility,
                         .runs = runs[i]});
    }
    volume->SetNamer([names](std::uint64_t record) { return names->NameOf(record); });
    return volume;
}

}  // namespace

std::unique_ptr<SimVolume> BuildModelDrive(char16_t letter, std::uint64_t totalBytes,
                                           const ModelOptions& options) {
    return ModelBuilder(letter, totalBytes, options).Build();
}

}  // namespace vantrel::engine::sim
