#include "engine/ntfs/NtfsStreams.h"

namespace vantrel::engine::ntfs {

VolumeStatus OpenFile(ntfs_volume* volume, std::uint64_t fileId, InodeHandle& inode) {
    const std::uint64_t record = MREF(fileId);
    const std::uint64_t records = static_cast<std::uint64_t>(volume->mft_na->initialized_size) >>
                                  volume->mft_record_size_bits;
    if (record >= records) {
        return VolumeStatus::NoSuchFile;
    }
    inode.reset(ntfs_inode_open(volume, record));
    if (!inode) {
        return errno == EIO ? VolumeStatus::IoError : VolumeStatus::NoSuchFile;
    }
    const bool sameFile =
        MSEQNO(fileId) == 0 || MSEQNO(fileId) == le16_to_cpu(inode->mrec->sequence_number);
    if (!IsBaseRecord(inode->mrec) || !sameFile) {
        inode.reset();
        return VolumeStatus::NoSuchFile;
    }
    return VolumeStatus::Ok;
}

bool IsBaseRecord(const MFT_RECORD* record) {
    return (le16_to_cpu(record->flags) & le16_to_cpu(MFT_RECORD_IN_USE)) &&
           le64_to_cpu(record->base_mft_record) == 0;
}

bool IsDirectory(const ntfs_inode* inode) {
    return (le16_to_cpu(inode->mrec->flags) & le16_to_cpu(MFT_RECORD_IS_DIRECTORY)) != 0;
}

VolumeStatus OpenClusterStream(ntfs_inode* inode, AttributeHandle& stream) {
    const bool directory = IsDirectory(inode);
    const u32 nameLength = directory ? 4 : 0;
    stream.reset(directory ? ntfs_attr_open(inode, AT_INDEX_ALLOCATION, NTFS_INDEX_I30, nameLength)
                           : ntfs_attr_open(inode, AT_DATA, AT_UNNAMED, nameLength));
    if (!stream) {
        return errno == ENOENT ? VolumeStatus::Ok : VolumeStatus::IoError;
    }
    // Asked for the unnamed data of a file that has named streams only ($Secure),
    // the library answers with a named one.
    if (stream->name_len != nameLength) {
        stream.reset();
    }
    return VolumeStatus::Ok;
}

VolumeStatus ReadRuns(ntfs_attr* stream, std::vector<Run>& runs) {
    runs.clear();
    if (!NAttrNonResident(stream)) {
        return VolumeStatus::Ok;
    }
    if (ntfs_attr_map_whole_runlist(stream) != 0 || stream->rl == nullptr) {
        return VolumeStatus::IoError;
    }
    std::int64_t nextVcn = 0;
    for (const runlist_element* element = stream->rl; element->length != 0; ++element) {
        // A mapped run list holds stored runs and holes only, each following on.
        const bool known = element->lcn >= 0 || element->lcn == LCN_HOLE;
        if (!known || element->length < 0 || element->vcn != nextVcn) {
            return VolumeStatus::IoError;
        }
        runs.push_back(
            {element->vcn, element->lcn >= 0 ? element->lcn : kHoleLcn, element->length});
        nextVcn += element->length;
    }
    return VolumeStatus::Ok;
}

bool InstallRuns(ntfs_attr* stream, const std::vector<Run>& runs) {
    // The library owns the array from here on and frees it with free().
    auto* list = static_cast<runlist_element*>(malloc((runs.size() + 1) * sizeof(runlist_element)));
    if (list == nullptr) {
        return false;
    }
    std::int64_t end = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        list[i].vcn = runs[i].vcn;
        list[i].lcn = runs[i].lcn == kHoleLcn ? static_cast<LCN>(LCN_HOLE) : runs[i].lcn;
        list[i].length = runs[i].length;
        end = runs[i].vcn + runs[i].length;
    }
    list[runs.size()] = {end, LCN_ENOENT, 0};
    free(stream->rl);
    stream->rl = list;
    NAttrSetRunlistDirty(stream);
    return ntfs_attr_update_mapping_pairs(stream, 0) == 0;
}

}  // namespace vantrel::engine::ntfs
