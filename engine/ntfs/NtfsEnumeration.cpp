// The file enumeration: the MFT's base records in record order, each read through
// the library (which follows attribute lists into extension records).
#include <algorithm>

#include "engine/ntfs/NtfsImageVolume.h"
#include "engine/ntfs/NtfsNoThrow.h"
#include "engine/ntfs/NtfsStreams.h"

namespace vantrel::engine::ntfs {

namespace {

enum class Described { File, Skip, Failed };

// The name a listing shows: a Win32 (or POSIX) name rather than a DOS short name.
// Every file name attribute is checked against its record's bounds before use.
Described ReadName(ntfs_inode* inode, FileInfo& file) {
    SearchContextHandle search(ntfs_attr_get_search_ctx(inode, nullptr));
    if (!search) {
        return Described::Failed;
    }
    bool found = false;
    bool foundLongName = false;
    while (ntfs_attr_lookup(AT_FILE_NAME, nullptr, 0, CASE_SENSITIVE, 0, nullptr, 0,
                            search.get()) == 0) {
        const ATTR_RECORD* attribute = search->attr;
        const std::uint32_t recordLength = le32_to_cpu(attribute->length);
        const std::uint32_t valueLength = le32_to_cpu(attribute->value_length);
        const std::uint32_t valueOffset = le16_to_cpu(attribute->value_offset);
        if (attribute->non_resident || valueOffset > recordLength ||
            valueLength > recordLength - valueOffset || valueLength < sizeof(FILE_NAME_ATTR)) {
            return Described::Failed;
        }
        const auto* name = reinterpret_cast<const FILE_NAME_ATTR*>(
            reinterpret_cast<const std::uint8_t*>(attribute) + valueOffset);
        if (sizeof(FILE_NAME_ATTR) + name->file_name_length * sizeof(ntfschar) > valueLength) {
            return Described::Failed;
        }
        const bool longName = name->file_name_type != FILE_NAME_DOS;
        if (found && (foundLongName || !longName)) {
            continue;
        }
        file.parentId = le64_to_cpu(name->parent_directory);
        file.name.assign(name->file_name_length, u'\0');
        for (std::size_t i = 0; i < name->file_name_length; ++i) {
            file.name[i] = static_cast<char16_t>(le16_to_cpu(name->file_name[i]));
        }
        found = true;
        foundLongName = longName;
    }
    if (errno != ENOENT) {
        return Described::Failed;
    }
    return found ? Described::File : Described::Skip;
}

Described Describe(ntfs_volume* volume, std::uint64_t record, FileInfo& file) {
    InodeHandle inode(ntfs_inode_open(volume, record));
    if (!inode) {
        // The library opens base records only: an extension record (or a free one)
        // is skipped, a base record that cannot be opened is a failure.
        std::vector<std::uint8_t> raw(volume->mft_record_size);
        auto* mft = reinterpret_cast<MFT_RECORD*>(raw.data());
        return ntfs_mft_records_read(volume, record, 1, mft) == 0 && !IsBaseRecord(mft)
                   ? Described::Skip
                   : Described::Failed;
    }
    if (!IsBaseRecord(inode->mrec)) {
        return Described::Skip;
    }
    file = {};
    file.id = MK_MREF(record, le16_to_cpu(inode->mrec->sequence_number));
    const Described named = ReadName(inode.get(), file);
    if (named != Described::File) {
        return named;
    }
    const bool directory = IsDirectory(inode.get());
    // The standard information holds the attributes with the values Windows gives
    // them, except the directory bit, which comes from the record.
    const std::uint32_t stored = le32_to_cpu(inode->flags) & 0xFFFFu & ~attributes::kDirectory;
    file.attributes = stored | (directory ? attributes::kDirectory : 0);
    file.size = directory ? 0 : static_cast<std::uint64_t>(std::max<s64>(0, inode->data_size));
    return Described::File;
}

// The MFT bitmap, read a window at a time, so that free records cost no read.
class RecordsInUse {
  public:
    explicit RecordsInUse(ntfs_attr* bitmap) : bitmap_(bitmap) {}

    // Whether `record` (below `records`) is in use; false when unread, with `failed` set.
    bool Test(std::uint64_t record, std::uint64_t records, bool& failed) {
        const std::uint64_t byte = record / 8;
        if (bits_.empty() || byte < first_ || byte >= first_ + bits_.size()) {
            first_ = byte;
            bits_.assign(static_cast<std::size_t>(
                             std::min<std::uint64_t>(kWindowBytes, (records + 7) / 8 - first_)),
                         0);
            const auto bytes = static_cast<s64>(bits_.size());
            if (ntfs_attr_pread(bitmap_, static_cast<s64>(first_), bytes, bits_.data()) != bytes) {
                bits_.clear();
                failed = true;
                return false;
            }
        }
        return (bits_[static_cast<std::size_t>(byte - first_)] >> (record % 8)) & 1u;
    }

  private:
    static constexpr std::uint64_t kWindowBytes = 4096;
    ntfs_attr* bitmap_;
    std::uint64_t first_ = 0;
    std::vector<std::uint8_t> bits_;
};

}  // namespace

VolumeStatus NtfsImageVolume::EnumerateFiles(std::uint64_t& cursor, std::vector<FileInfo>& batch) {
    return NoThrow([&] {
        batch.clear();
        if (broken_) {
            return VolumeStatus::IoError;
        }
        const std::uint64_t records =
            static_cast<std::uint64_t>(volume_->mft_na->initialized_size) >>
            volume_->mft_record_size_bits;
        const std::size_t wanted = std::max<std::size_t>(1, options_.enumerationBatch);
        RecordsInUse inUse(volume_->mftbmp_na);
        bool failed = false;
        while (cursor < records && batch.size() < wanted) {
            const std::uint64_t record = cursor;
            if (!inUse.Test(record, records, failed)) {
                if (failed) {
                    return batch.empty() ? VolumeStatus::IoError : VolumeStatus::MoreData;
                }
                ++cursor;
                continue;
            }
            FileInfo file;
            const Described described = Describe(volume_, record, file);
            if (described == Described::Failed) {
                // The cursor stays on the record: the files found so far are answered
                // first, and the next call meets the failure.
                return batch.empty() ? VolumeStatus::IoError : VolumeStatus::MoreData;
            }
            ++cursor;
            if (described == Described::File) {
                batch.push_back(std::move(file));
            }
        }
        return cursor < records ? VolumeStatus::MoreData : VolumeStatus::Ok;
    });
}

}  // namespace vantrel::engine::ntfs
