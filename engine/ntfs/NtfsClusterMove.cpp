// Moving a range of a file's clusters. The order of the steps is what keeps the
// image safe when the process dies at any point: the target's bits are taken
// first, the data is copied and synced, the new run list is installed and synced,
// and only then are the old clusters freed, from the run list saved before the
// move. A crash leaks clusters at worst; no cluster is ever owned twice.
//
// The library's cluster allocator is not used: it treats a start cluster as a
// preference only, and a move must take exactly the clusters it was asked for.
#include <algorithm>

#include "engine/ntfs/NtfsImageVolume.h"
#include "engine/ntfs/NtfsStreams.h"

namespace vantrel::engine::ntfs {

namespace {

// The file system refuses to move sparse and compressed data but in whole
// compression units; a unit is 16 clusters.
constexpr std::int64_t kDefaultUnitClusters = 16;

// The file system's own files: the first 16 records and the files in $Extend.
VolumeStatus CheckMovable(ntfs_inode* inode) {
    if (inode->mft_no < FILE_first_user) {
        return VolumeStatus::CannotMove;
    }
    SearchContextHandle search(ntfs_attr_get_search_ctx(inode, nullptr));
    if (!search) {
        return VolumeStatus::IoError;
    }
    while (ntfs_attr_lookup(AT_FILE_NAME, nullptr, 0, CASE_SENSITIVE, 0, nullptr, 0,
                            search.get()) == 0) {
        const ATTR_RECORD* attribute = search->attr;
        const std::uint32_t recordLength = le32_to_cpu(attribute->length);
        const std::uint32_t valueOffset = le16_to_cpu(attribute->value_offset);
        if (attribute->non_resident || valueOffset > recordLength ||
            recordLength - valueOffset < sizeof(leMFT_REF)) {
            return VolumeStatus::IoError;
        }
        const auto* name = reinterpret_cast<const FILE_NAME_ATTR*>(
            reinterpret_cast<const std::uint8_t*>(attribute) + valueOffset);
        if (MREF_LE(name->parent_directory) == FILE_Extend) {
            return VolumeStatus::CannotMove;
        }
    }
    return errno == ENOENT ? VolumeStatus::Ok : VolumeStatus::IoError;
}

// Whether no cluster of [first, first + count) is in use now.
VolumeStatus CheckTargetFree(ntfs_volume* volume, std::int64_t first, std::int64_t count) {
    constexpr std::int64_t kChunkBits = 64 * 1024 * 8;
    std::vector<std::uint8_t> bits;
    for (std::int64_t chunk = first; chunk < first + count; chunk += kChunkBits) {
        const std::int64_t chunkEnd = std::min(first + count, chunk + kChunkBits);
        const std::int64_t firstByte = chunk / 8;
        const std::int64_t bytes = (chunkEnd - 1) / 8 - firstByte + 1;
        bits.assign(static_cast<std::size_t>(bytes), 0);
        if (ntfs_attr_pread(volume->lcnbmp_na, firstByte, bytes, bits.data()) != bytes) {
            return VolumeStatus::IoError;
        }
        for (std::int64_t lcn = chunk; lcn < chunkEnd; ++lcn) {
            if ((bits[static_cast<std::size_t>(lcn / 8 - firstByte)] >> (lcn % 8)) & 1u) {
                return VolumeStatus::TargetInUse;
            }
        }
    }
    return VolumeStatus::Ok;
}

// Copies through the volume's buffer. It holds as much as the largest copy so far
// needed, up to `bufferBytes` (at least a cluster), is kept from move to move and
// is never cleared (every byte is read into before it is written out): a fresh
// buffer of the full size for every move would cost more than most moves' copy.
bool CopyClusters(ntfs_volume* volume, const std::vector<ClusterCopy>& copies,
                  std::size_t bufferBytes, CopyBuffer& buffer) {
    std::int64_t largest = 1;
    for (const ClusterCopy& copy : copies) {
        largest = std::max(largest, copy.clusters);
    }
    const std::int64_t bufferClusters = std::min(
        largest,
        std::max<std::int64_t>(1, static_cast<std::int64_t>(bufferBytes / volume->cluster_size)));
    const auto bytes = static_cast<std::size_t>(bufferClusters) * volume->cluster_size;
    if (buffer.bytes < bytes) {
        buffer.data.reset();
        buffer.bytes = 0;
        buffer.data = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
        buffer.bytes = bytes;
    }
    for (const ClusterCopy& copy : copies) {
        for (std::int64_t done = 0; done < copy.clusters; done += bufferClusters) {
            const std::int64_t count = std::min(bufferClusters, copy.clusters - done);
            if (ntfs_cluster_read(volume, copy.from + done, count, buffer.data.get()) != count ||
                ntfs_cluster_write(volume, copy.to + done, count, buffer.data.get()) != count) {
                return false;
            }
        }
    }
    return ntfs_device_sync(volume->dev) == 0;
}

// Gives back the target a failed move had taken; if that fails too the clusters
// stay taken, which loses nothing.
void ReleaseTarget(ntfs_volume* volume, std::int64_t target, std::int64_t clusters) {
    if (ntfs_bitmap_clear_run(volume->lcnbmp_na, target, clusters) == 0) {
        volume->free_clusters += clusters;
        ntfs_device_sync(volume->dev);
    }
}

// The file and the stream a move works on, once the request has been checked.
struct MoveSource {
    InodeHandle inode;
    AttributeHandle stream;  // declared after its inode: closed first
    std::vector<Run> runs;
};

VolumeStatus CheckRequest(ntfs_volume* volume, std::uint64_t fileId, Vcn vcn,
                          std::uint64_t clusters, MoveSource& source) {
    if (const VolumeStatus opened = OpenFile(volume, fileId, source.inode);
        opened != VolumeStatus::Ok) {
        return opened;
    }
    if (const VolumeStatus movable = CheckMovable(source.inode.get());
        movable != VolumeStatus::Ok) {
        return movable;
    }
    if (const VolumeStatus found = OpenClusterStream(source.inode.get(), source.stream);
        found != VolumeStatus::Ok || !source.stream) {
        return found == VolumeStatus::Ok ? VolumeStatus::InvalidParameter : found;
    }
    if (const VolumeStatus read = ReadRuns(source.stream.get(), source.runs);
        read != VolumeStatus::Ok) {
        return read;
    }
    // Data stored inside the MFT record has no clusters: any range is outside it.
    const std::uint64_t end =
        source.runs.empty() ? 0 : source.runs.back().vcn + source.runs.back().length;
    if (vcn >= end || clusters > end - vcn) {
        return VolumeStatus::InvalidParameter;
    }
    if (source.stream->data_flags & (ATTR_COMPRESSION_MASK | ATTR_IS_SPARSE)) {
        const std::uint64_t unit = source.stream->compression_block_clusters != 0
                                       ? source.stream->compression_block_clusters
                                       : kDefaultUnitClusters;
        if (vcn % unit != 0 || (clusters % unit != 0 && vcn + clusters != end)) {
            return VolumeStatus::CannotMove;
        }
    }
    return VolumeStatus::Ok;
}

}  // namespace

VolumeStatus NtfsImageVolume::Move(std::uint64_t fileId, Vcn vcn, Lcn target,
                                   std::uint64_t clusters) {
    const auto totalClusters = static_cast<std::uint64_t>(volume_->nr_clusters);
    if (clusters == 0 || target >= totalClusters) {
        return VolumeStatus::InvalidParameter;
    }
    MoveSource source;
    if (const VolumeStatus checked = CheckRequest(volume_, fileId, vcn, clusters, source);
        checked != VolumeStatus::Ok) {
        return checked;
    }
    const auto first = static_cast<std::int64_t>(target);
    const MovePlan plan = PlanMove(source.runs, static_cast<std::int64_t>(vcn),
                                   static_cast<std::int64_t>(clusters), first);
    if (plan.targetClusters == 0) {
        return VolumeStatus::Ok;  // holes only: nothing stored to move
    }
    if (static_cast<std::uint64_t>(plan.targetClusters) > totalClusters - target) {
        return VolumeStatus::InvalidParameter;
    }
    if (const VolumeStatus free = CheckTargetFree(volume_, first, plan.targetClusters);
        free != VolumeStatus::Ok) {
        return free;
    }

    // 1. Take the target. A partial failure leaves some of it taken: a leak.
    if (ntfs_bitmap_set_run(volume_->lcnbmp_na, first, plan.targetClusters) != 0) {
        return VolumeStatus::IoError;
    }
    volume_->free_clusters -= plan.targetClusters;

    // 2. Copy the data and make it durable before anything points at it.
    if (!CopyClusters(volume_, plan.copies, options_.copyBufferBytes, copyBuffer_)) {
        ReleaseTarget(volume_, first, plan.targetClusters);
        return VolumeStatus::IoError;
    }

    // 3. Point the file at the copy.
    if (!InstallRuns(source.stream.get(), plan.runs)) {
        if (InstallRuns(source.stream.get(), source.runs) &&
            ntfs_inode_sync(source.inode.get()) == 0) {
            ReleaseTarget(volume_, first, plan.targetClusters);
        } else {
            broken_ = true;  // old and new clusters both stay taken
        }
        return VolumeStatus::IoError;
    }
    if (ntfs_inode_sync(source.inode.get()) != 0 || ntfs_device_sync(volume_->dev) != 0) {
        broken_ = true;  // the record may or may not have reached the image
        return VolumeStatus::IoError;
    }

    // 4. Free the old clusters, from the saved run list: the stream's own now names
    // the new ones. A failure here leaks them; the move itself is done.
    std::vector<runlist_element> old;
    for (const ClusterCopy& copy : plan.copies) {
        old.push_back({0, copy.from, copy.clusters});
    }
    old.push_back({0, LCN_ENOENT, 0});
    ntfs_cluster_free_from_rl(volume_, old.data());
    ntfs_device_sync(volume_->dev);
    return VolumeStatus::Ok;
}

}  // namespace vantrel::engine::ntfs
