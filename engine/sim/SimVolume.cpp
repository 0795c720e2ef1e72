#include "engine/sim/SimVolume.h"

#include "engine/sim/Random.h"

#include <algorithm>
#include <bit>

namespace vantrel::engine::sim {
namespace {

constexpr std::uint64_t kRecordMask = 0x0000FFFFFFFFFFFFull;
constexpr std::uint64_t kUnit = 16;
constexpr std::uint64_t kMftRecordBytes = 1024;
constexpr std::uint32_t kWriterFiles = 4;

Vcn EndOf(std::span<const SimExtent> extents) {
    return extents.empty() ? 0 : extents.back().vcn + extents.back().clusters;
}

// Joins runs that continue each other in VCN, on the volume and in their data.
void Merge(std::vector<SimExtent>& extents) {
    std::vector<SimExtent> merged;
    for (const SimExtent& extent : extents) {
        if (extent.clusters == 0) {
            continue;
        }
        if (!merged.empty()) {
            SimExtent& last = merged.back();
            const bool holes = last.lcn == kNoLcn && extent.lcn == kNoLcn;
            const bool stored = last.lcn != kNoLcn && extent.lcn == last.lcn + last.clusters &&
                                extent.data == last.data + last.clusters;
            if (last.vcn + last.clusters == extent.vcn && (holes || stored)) {
                last.clusters += extent.clusters;
                continue;
            }
        }
        merged.push_back(extent);
    }
    extents = std::move(merged);
}

}  // namespace

SimVolume::SimVolume(const SimOptions& options)
    : options_(options),
      bitmap_((options.totalClusters + 63) / 64, 0),
      free_(options.totalClusters) {}

void SimVolume::SetNamer(std::function<std::u16string(std::uint64_t record)> namer) {
    namer_ = std::move(namer);
}

bool SimVolume::AddFile(const SimFileSpec& wanted) {
    if (wanted.record < files_.size() && files_[wanted.record].exists) {
        return false;
    }
    std::vector<SimExtent> extents;
    Vcn vcn = 0;
    for (const Extent& run : wanted.runs) {
        if (run.lcn != kNoLcn &&
            (run.lcn >= options_.totalClusters || run.clusters > options_.totalClusters - run.lcn ||
             !RangeFree(run.lcn, run.clusters))) {
            for (const SimExtent& taken : extents) {
                if (taken.lcn != kNoLcn) {
                    SetRange(taken.lcn, taken.clusters, false);
                }
            }
            return false;
        }
        const std::uint64_t data = run.lcn == kNoLcn ? 0 : DataAt(wanted.record, vcn);
        extents.push_back({vcn, run.clusters, run.lcn, data});
        if (run.lcn != kNoLcn) {
            SetRange(run.lcn, run.clusters, true);
        }
        vcn += run.clusters;
    }
    if (wanted.record >= files_.size()) {
        files_.resize(wanted.record + 1);
    }
    SimFile& file = files_[wanted.record];
    file = SimFile{.id = IdOf(wanted.record, wanted.sequence),
                   .parentRecord = wanted.parentRecord,
                   .size = wanted.size,
                   .attributes = wanted.attributes,
                   .mobility = wanted.mobility,
                   .exists = true};
    StoreExtents(file, std::move(extents));
    if (!wanted.name.empty()) {
        if (names_.size() <= wanted.record) {
            names_.resize(wanted.record + 1);
        }
        names_[wanted.record] = wanted.name;
    }
    return true;
}

bool SimVolume::ReserveClusters(Lcn lcn, std::uint64_t clusters) {
    if (lcn >= options_.totalClusters || clusters > options_.totalClusters - lcn ||
        !RangeFree(lcn, clusters)) {
        return false;
    }
    SetRange(lcn, clusters, true);
    reserved_.emplace_back(lcn, clusters);
    return true;
}

std::u16string SimVolume::NameOf(std::uint64_t record) const {
    if (record < names_.size() && !names_[record].empty()) {
        return names_[record];
    }
    if (namer_) {
        return namer_(record);
    }
    std::u16string name = u"file";
    for (const char digit : std::to_string(record)) {
        name += static_cast<char16_t>(digit);
    }
    return name;
}

std::uint64_t SimVolume::ParentIdOf(std::uint64_t record) const {
    const std::uint64_t parent = files_[record].parentRecord;
    return parent < files_.size() && files_[parent].exists ? files_[parent].id : parent;
}

std::span<const SimExtent> SimVolume::ExtentsOf(std::uint64_t record) const {
    const SimFile& file = files_[record];
    return {pool_.data() + file.firstExtent, file.extentCount};
}

void SimVolume::StoreExtents(SimFile& file, std::vector<SimExtent> extents) {
    Merge(extents);
    poolGarbage_ += file.extentCount;
    if (extents.size() <= file.extentCount) {
        std::copy(extents.begin(), extents.end(), pool_.begin() + file.firstExtent);
        poolGarbage_ -= extents.size();
    } else {
        file.firstExtent = static_cast<std::uint32_t>(pool_.size());
        pool_.insert(pool_.end(), extents.begin(), extents.end());
    }
    file.extentCount = static_cast<std::uint32_t>(extents.size());
    if (poolGarbage_ > pool_.size() / 2 + 4096) {
        std::vector<SimExtent> compact;
        compact.reserve(pool_.size() - poolGarbage_);
        for (SimFile& each : files_) {
            const auto first = pool_.begin() + each.firstExtent;
            const auto at = static_cast<std::uint32_t>(compact.size());
            compact.insert(compact.end(), first, first + each.extentCount);
            each.firstExtent = at;
        }
        pool_ = std::move(compact);
        poolGarbage_ = 0;
    }
}

bool SimVolume::RangeFree(Lcn lcn, std::uint64_t clusters) const {
    for (Lcn at = lcn; at < lcn + clusters;) {
        const std::uint64_t word = bitmap_[at >> 6];
        const std::uint64_t offset = at & 63;
        const std::uint64_t span = std::min<std::uint64_t>(64 - offset, lcn + clusters - at);
        const std::uint64_t mask =
            (span == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << span) - 1)) << offset;
        if (word & mask) {
            return false;
        }
        at += span;
    }
    return true;
}

bool SimVolume::RangeUsed(Lcn lcn, std::uint64_t clusters) const {
    for (Lcn at = lcn; at < lcn + clusters;) {
        const std::uint64_t offset = at & 63;
        const std::uint64_t span = std::min<std::uint64_t>(64 - offset, lcn + clusters - at);
        const std::uint64_t mask =
            (span == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << span) - 1)) << offset;
        if ((bitmap_[at >> 6] & mask) != mask) {
            return false;
        }
        at += span;
    }
    return true;
}

bool SimVolume::RangeHeld(Lcn lcn, std::uint64_t clusters) const {
    auto it = held_.upper_bound(lcn);
    if (it != held_.begin()) {
        const auto previous = std::prev(it);
        if (previous->first + previous->second > lcn) {
            return true;
        }
    }
    return it != held_.end() && it->first < lcn + clusters;
}

void SimVolume::SetRange(Lcn lcn, std::uint64_t clusters, bool used) {
    for (Lcn at = lcn; at < lcn + clusters;) {
        const std::uint64_t offset = at & 63;
        const std::uint64_t span = std::min<std::uint64_t>(64 - offset, lcn + clusters - at);
        const std::uint64_t mask =
            (span == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << span) - 1)) << offset;
        std::uint64_t& word = bitmap_[at >> 6];
        const auto before = static_cast<std::uint64_t>(std::popcount(word & mask));
        if (used) {
            word |= mask;
            free_ -= span - before;
        } else {
            word &= ~mask;
            free_ += before;
        }
        at += span;
    }
}

void SimVolume::Release(Lcn lcn, std::uint64_t clusters) {
    SetRange(lcn, clusters, false);
    if (options_.checkpointCalls != 0) {
        held_.emplace(lcn, clusters);
    }
}

void SimVolume::Checkpoint() {
    held_.clear();
    lastCheckpoint_ = calls_;
}

void SimVolume::SetMobility(std::uint64_t record, Mobility mobility) {
    if (record < files_.size()) {
        files_[record].mobility = mobility;
    }
}

void SimVolume::FailAfter(std::uint64_t afterCalls, VolumeStatus status) {
    failFrom_ = calls_ + afterCalls;
    failure_ = status;
}

void SimVolume::SetWriter(std::uint64_t seed, std::uint32_t everyCalls) {
    writerState_ = seed;
    writerEvery_ = everyCalls;
    while (everyCalls != 0 && writerFiles_.size() < kWriterFiles) {
        const std::uint64_t record = files_.size();
        std::u16string name = u"writer";
        name += static_cast<char16_t>(u'0' + writerFiles_.size());
        name += u".log";
        AddFile({.record = record, .name = name, .attributes = attributes::kArchive});
        writerFiles_.push_back(record);
    }
}

VolumeStatus SimVolume::BeginCall() {
    ++calls_;
    if (options_.checkpointCalls != 0 && calls_ - lastCheckpoint_ >= options_.checkpointCalls) {
        Checkpoint();
    }
    if (calls_ >= failFrom_) {
        return failure_;
    }
    if (writerEvery_ != 0 && calls_ % writerEvery_ == 0) {
        WriterTurn();
    }
    return VolumeStatus::Ok;
}

Lcn SimVolume::FindFreeFrom(Lcn lcn) const {
    for (std::uint64_t steps = 0; steps < bitmap_.size() + 1; ++steps) {
        const std::uint64_t word = ~bitmap_[lcn >> 6] & (~std::uint64_t{0} << (lcn & 63));
        if (word != 0) {
            const Lcn found =
                (lcn & ~std::uint64_t{63}) + static_cast<std::uint64_t>(std::countr_zero(word));
            if (found < options_.totalClusters) {
                return found;
            }
        }
        lcn = ((lcn >> 6) + 1) << 6;
        if (lcn >= options_.totalClusters) {
            lcn = 0;
        }
    }
    return kNoLcn;
}

void SimVolume::WriterTurn() {
    SplitMix64 random(writerState_);
    writerState_ = random.Next();
    const std::uint64_t record = writerFiles_[random.Next() % writerFiles_.size()];
    SimFile& file = files_[record];
    std::vector<SimExtent> extents(ExtentsOf(record).begin(), ExtentsOf(record).end());
    const std::uint64_t clusters = random.Between(1, 48);
    if (random.Chance(0.5) || extents.empty()) {
        // Appends where it finds room, as a program writing a log does.
        const Lcn start =
            FindFreeFrom(random.Next() % std::max<std::uint64_t>(1, options_.totalClusters));
        if (start == kNoLcn || RangeHeld(start, 1)) {
            return;
        }
        std::uint64_t length = 0;
        while (length < clusters && start + length < options_.totalClusters &&
               !InUse(start + length) && !RangeHeld(start + length, 1)) {
            ++length;
        }
        const Vcn vcn = EndOf(extents);
        SetRange(start, length, true);
        extents.push_back({vcn, length, start, DataAt(record, vcn)});
        file.size = (vcn + length) * options_.bytesPerCluster;
    } else {
        // Cuts the end off.
        SimExtent& last = extents.back();
        const std::uint64_t cut = std::min(clusters, last.clusters);
        if (last.lcn != kNoLcn) {
            Release(last.lcn + last.clusters - cut, cut);
        }
        last.clusters -= cut;
        file.size = EndOf(extents) * options_.bytesPerCluster;
        if (last.clusters == 0) {
            extents.pop_back();
            file.size = EndOf(extents) * options_.bytesPerCluster;
        }
    }
    StoreExtents(file, std::move(extents));
}

SimFile* SimVolume::Find(std::uint64_t fileId) {
    const std::uint64_t record = fileId & kRecordMask;
    if (record >= files_.size() || !files_[record].exists || files_[record].id != fileId) {
        return nullptr;
    }
    return &files_[record];
}

VolumeStatus SimVolume::QueryVolumeData(VolumeData& data) {
    if (const VolumeStatus status = BeginCall(); status != VolumeStatus::Ok) {
        return status;
    }
    data.fileSystem = options_.fileSystem;
    data.bytesPerSector = options_.bytesPerSector;
    data.bytesPerCluster = options_.bytesPerCluster;
    data.totalClusters = options_.totalClusters;
    data.freeClusters = free_;
    data.mftStart = options_.mftStart;
    data.mftZoneStart = options_.mftZoneStart;
    data.mftZoneEnd = options_.mftZoneEnd;
    data.mftValidBytes = files_.size() * kMftRecordBytes;
    return VolumeStatus::Ok;
}

VolumeStatus SimVolume::ReadBitmap(Lcn start, BitmapPage& page) {
    if (const VolumeStatus status = BeginCall(); status != VolumeStatus::Ok) {
        return status;
    }
    if (start > options_.totalClusters) {
        return VolumeStatus::InvalidParameter;
    }
    start &= ~Lcn{7};
    const std::uint64_t clusters =
        std::min(options_.bitmapPageClusters, options_.totalClusters - start);
    page.start = start;
    page.clusters = clusters;
    page.bits.assign((clusters + 7) / 8, 0);
    for (std::uint64_t byte = 0; byte < page.bits.size(); ++byte) {
        const Lcn lcn = start + byte * 8;
        page.bits[byte] = static_cast<std::uint8_t>(bitmap_[lcn >> 6] >> (lcn & 63));
    }
    if (clusters % 8 != 0) {
        page.bits.back() &= static_cast<std::uint8_t>((1u << (clusters % 8)) - 1);
    }
    return start + clusters < options_.totalClusters ? VolumeStatus::MoreData : VolumeStatus::Ok;
}

VolumeStatus SimVolume::EnumerateFiles(std::uint64_t& cursor, std::vector<FileInfo>& batch) {
    if (const VolumeStatus status = BeginCall(); status != VolumeStatus::Ok) {
        return status;
    }
    batch.clear();
    while (cursor < files_.size() && batch.size() < options_.enumerationBatch) {
        const SimFile& file = files_[cursor];
        if (file.exists) {
            batch.push_back(
                {file.id, ParentIdOf(cursor), NameOf(cursor), file.attributes, file.size});
        }
        ++cursor;
    }
    while (cursor < files_.size() && !files_[cursor].exists) {
        ++cursor;
    }
    return cursor < files_.size() ? VolumeStatus::MoreData : VolumeStatus::Ok;
}

VolumeStatus SimVolume::ReadExtents(std::uint64_t fileId, Vcn start, std::vector<Extent>& page) {
    if (const VolumeStatus status = BeginCall(); status != VolumeStatus::Ok) {
        return status;
    }
    page.clear();
    const SimFile* file = Find(fileId);
    if (file == nullptr) {
        return VolumeStatus::NoSuchFile;
    }
    const std::span<const SimExtent> extents = ExtentsOf(file->id & kRecordMask);
    // The page begins with the run that holds `start`, whole.
    auto it = std::upper_bound(
        extents.begin(), extents.end(), start,
        [](Vcn vcn, const SimExtent& extent) { return vcn < extent.vcn + extent.clusters; });
    for (; it != extents.end() && page.size() < options_.extentsPage; ++it) {
        page.push_back({it->vcn, it->clusters, it->lcn});
    }
    return it != extents.end() ? VolumeStatus::MoreData : VolumeStatus::Ok;
}

VolumeStatus SimVolume::MoveClusters(std::uint64_t fileId, Vcn vcn, Lcn target,
                                     std::uint64_t clusters) {
    if (const VolumeStatus status = BeginCall(); status != VolumeStatus::Ok) {
        return status;
    }
    SimFile* file = Find(fileId);
    if (file == nullptr) {
        return VolumeStatus::NoSuchFile;
    }
    if (file->mobility == Mobility::Locked) {
        return VolumeStatus::FileInUse;
    }
    if (file->mobility == Mobility::Unmovable) {
        return VolumeStatus::CannotMove;
    }
    const std::uint64_t record = file->id & kRecordMask;
    const std::span<const SimExtent> extents = ExtentsOf(record);
    const Vcn end = EndOf(extents);
    if (clusters == 0 || vcn >= end || clusters > end - vcn) {
        return VolumeStatus::InvalidParameter;
    }
    if ((file->attributes & (attributes::kCompressed | attributes::kSparse)) != 0 &&
        (vcn % kUnit != 0 || ((vcn + clusters) % kUnit != 0 && vcn + clusters != end))) {
        return VolumeStatus::CannotMove;  // it would break a compression unit
    }
    std::uint64_t stored = 0;
    for (const SimExtent& extent : extents) {
        if (extent.lcn != kNoLcn) {
            const Vcn from = std::max(vcn, extent.vcn);
            const Vcn to = std::min(vcn + clusters, extent.vcn + extent.clusters);
            stored += to > from ? to - from : 0;
        }
    }
    if (stored == 0) {
        return VolumeStatus::Ok;
    }
    if (target >= options_.totalClusters || stored > options_.totalClusters - target) {
        return VolumeStatus::InvalidParameter;
    }
    if (!RangeFree(target, stored) || RangeHeld(target, stored)) {
        return VolumeStatus::TargetInUse;
    }
    // The stored clusters of the range go to target onwards in VCN order; holes stay.
    std::vector<SimExtent> moved;
    std::vector<SimExtent> freed;
    Lcn next = target;
    for (const SimExtent& extent : extents) {
        const Vcn extentEnd = extent.vcn + extent.clusters;
        const Vcn cuts[4] = {extent.vcn, std::clamp(vcn, extent.vcn, extentEnd),
                             std::clamp(vcn + clusters, extent.vcn, extentEnd), extentEnd};
        for (int part = 0; part < 3; ++part) {
            if (cuts[part] >= cuts[part + 1]) {
                continue;
            }
            const std::uint64_t offset = cuts[part] - extent.vcn;
            SimExtent piece{cuts[part], cuts[part + 1] - cuts[part],
                            extent.lcn == kNoLcn ? kNoLcn : extent.lcn + offset,
                            extent.lcn == kNoLcn ? 0 : extent.data + offset};
            if (part == 1 && piece.lcn != kNoLcn) {
                freed.push_back(piece);
                piece.lcn = next;
                next += piece.clusters;
            }
            moved.push_back(piece);
        }
    }
    SetRange(target, stored, true);
    for (const SimExtent& piece : freed) {
        Release(piece.lcn, piece.clusters);
    }
    StoreExtents(*file, std::move(moved));
    return VolumeStatus::Ok;
}

std::vector<Extent> SimVolume::DataShape(std::uint64_t record) const {
    std::vector<Extent> shape;
    for (const SimExtent& extent : ExtentsOf(record)) {
        const Lcn kind = extent.lcn == kNoLcn ? kNoLcn : 0;
        if (!shape.empty() && shape.back().lcn == kind) {
            shape.back().clusters += extent.clusters;
        } else {
            shape.push_back({extent.vcn, extent.clusters, kind});
        }
    }
    return shape;
}

std::string SimVolume::Audit() const {
    struct Owned {
        Lcn lcn;
        std::uint64_t clusters;
        std::uint64_t record;
    };
    std::vector<Owned> owned;
    for (const auto& [lcn, clusters] : reserved_) {
        owned.push_back({lcn, clusters, kNoLcn});  // owned by the file system itself
    }
    for (std::uint64_t record = 0; record < files_.size(); ++record) {
        if (!files_[record].exists) {
            continue;
        }
        Vcn vcn = 0;
        for (const SimExtent& extent : ExtentsOf(record)) {
            if (extent.vcn != vcn || extent.clusters == 0) {
                return "record " + std::to_string(record) + ": its runs do not cover VCN " +
                       std::to_string(vcn) + " once";
            }
            vcn += extent.clusters;
            if (extent.lcn == kNoLcn) {
                continue;
            }
            if (extent.data != DataAt(record, extent.vcn)) {
                return "record " + std::to_string(record) + ": VCN " + std::to_string(extent.vcn) +
                       " holds data that is not its own";
            }
            if (extent.lcn >= options_.totalClusters ||
                extent.clusters > options_.totalClusters - extent.lcn) {
                return "record " + std::to_string(record) + ": clusters past the volume's end";
            }
            owned.push_back({extent.lcn, extent.clusters, record});
        }
    }
    std::sort(owned.begin(), owned.end(),
              [](const Owned& a, const Owned& b) { return a.lcn < b.lcn; });
    Lcn at = 0;
    std::uint64_t used = 0;
    for (const Owned& run : owned) {
        if (run.lcn < at) {
            return "cluster " + std::to_string(run.lcn) + " is owned twice (record " +
                   std::to_string(run.record) + ")";
        }
        if (run.lcn > at && !RangeFree(at, run.lcn - at)) {
            return "clusters from " + std::to_string(at) +
                   " are marked in use but owned by no file";
        }
        if (!RangeUsed(run.lcn, run.clusters)) {
            return "clusters from " + std::to_string(run.lcn) + " are owned but marked free";
        }
        used += run.clusters;
        at = run.lcn + run.clusters;
    }
    if (at < options_.totalClusters && !RangeFree(at, options_.totalClusters - at)) {
        return "clusters from " + std::to_string(at) + " are marked in use but owned by no file";
    }
    if (free_ != options_.totalClusters - used) {
        return "the free count " + std::to_string(free_) + " is not the " +
               std::to_string(options_.totalClusters - used) + " free clusters";
    }
    return {};
}

}  // namespace vantrel::engine::sim
