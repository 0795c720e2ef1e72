#include "tests/engine-ntfs/MftWalk.h"

#include <algorithm>

#include "engine/ntfs/NtfsLibrary.h"

namespace vantrel::engine::ntfs::proof {

namespace {

// Decodes mapping pairs: per run a header byte (low nibble: bytes of the length,
// high nibble: bytes of the signed LCN delta; no delta bytes: a hole), ended by a
// zero byte. False when the pairs run past `end` or make no sense.
bool DecodeMappingPairs(const std::uint8_t* at, const std::uint8_t* end, std::int64_t vcn,
                        std::vector<Run>& runs) {
    std::int64_t lcn = 0;
    while (at < end && *at != 0) {
        const int lengthBytes = *at & 0x0F;
        const int deltaBytes = *at >> 4;
        ++at;
        if (lengthBytes == 0 || lengthBytes > 8 || deltaBytes > 8 ||
            end - at < lengthBytes + deltaBytes) {
            return false;
        }
        const auto readSigned = [&](int bytes) {
            std::uint64_t value = 0;
            for (int i = 0; i < bytes; ++i) {
                value |= std::uint64_t{at[i]} << (8 * i);
            }
            if (bytes < 8 && (at[bytes - 1] & 0x80)) {
                value |= ~std::uint64_t{0} << (8 * bytes);  // sign-extend
            }
            at += bytes;
            return static_cast<std::int64_t>(value);
        };
        const std::int64_t length = readSigned(lengthBytes);
        if (length <= 0) {
            return false;
        }
        if (deltaBytes == 0) {
            runs.push_back({vcn, kHoleLcn, length});
        } else {
            lcn += readSigned(deltaBytes);
            if (lcn < 0) {
                return false;
            }
            runs.push_back({vcn, lcn, length});
        }
        vcn += length;
    }
    return at < end;
}

RawStream& StreamOf(RawFile& file, std::uint32_t type, const std::u16string& name) {
    for (RawStream& stream : file.streams) {
        if (stream.type == type && stream.name == name) {
            return stream;
        }
    }
    file.streams.push_back({});
    file.streams.back().type = type;
    file.streams.back().name = name;
    return file.streams.back();
}

// Adds one record's attributes to its file. False when the record is malformed.
bool ReadAttributes(const std::uint8_t* record, std::uint32_t size, std::uint64_t number,
                    RawFile& file) {
    const auto* header = reinterpret_cast<const MFT_RECORD*>(record);
    std::uint32_t offset = le16_to_cpu(header->attrs_offset);
    const std::uint32_t used = std::min<std::uint32_t>(size, le32_to_cpu(header->bytes_in_use));
    while (offset + 8 <= used) {
        const auto* attribute = reinterpret_cast<const ATTR_RECORD*>(record + offset);
        const std::uint32_t type = le32_to_cpu(attribute->type);
        if (type == le32_to_cpu(AT_END)) {
            return true;
        }
        const std::uint32_t length = le32_to_cpu(attribute->length);
        if (length < 24 || length > used - offset) {
            return false;
        }
        const std::uint8_t* base = record + offset;
        const std::uint32_t nameOffset = le16_to_cpu(attribute->name_offset);
        if (nameOffset + attribute->name_length * 2u > length) {
            return false;
        }
        std::u16string name(attribute->name_length, u'\0');
        std::memcpy(name.data(), base + nameOffset, name.size() * 2);
        RawStream& stream = StreamOf(file, type, name);
        stream.flags = le16_to_cpu(attribute->flags);
        stream.pieceRecords.push_back(number);
        if (attribute->non_resident) {
            if (length < 64) {
                return false;
            }
            stream.nonResident = true;
            const std::int64_t lowest = sle64_to_cpu(attribute->lowest_vcn);
            if (lowest == 0) {
                stream.dataSize = sle64_to_cpu(attribute->data_size);
            }
            const std::uint32_t pairs = le16_to_cpu(attribute->mapping_pairs_offset);
            if (pairs >= length ||
                !DecodeMappingPairs(base + pairs, base + length, lowest, stream.runs)) {
                return false;
            }
        } else {
            const std::uint32_t valueOffset = le16_to_cpu(attribute->value_offset);
            const std::uint32_t valueLength = le32_to_cpu(attribute->value_length);
            if (valueOffset > length || valueLength > length - valueOffset) {
                return false;
            }
            stream.dataSize = valueLength;
            const std::uint8_t* value = base + valueOffset;
            if (type == le32_to_cpu(AT_STANDARD_INFORMATION) && valueLength >= 36) {
                file.standardAttributes = le32_to_cpu(
                    reinterpret_cast<const STANDARD_INFORMATION*>(value)->file_attributes);
            } else if (type == le32_to_cpu(AT_FILE_NAME) && valueLength >= sizeof(FILE_NAME_ATTR)) {
                const auto* fileName = reinterpret_cast<const FILE_NAME_ATTR*>(value);
                if (sizeof(FILE_NAME_ATTR) + fileName->file_name_length * 2u > valueLength) {
                    return false;
                }
                RawName raw;
                raw.parent = le64_to_cpu(fileName->parent_directory);
                raw.nameSpace = fileName->file_name_type;
                raw.name.resize(fileName->file_name_length);
                std::memcpy(raw.name.data(), fileName->file_name, raw.name.size() * 2);
                file.names.push_back(std::move(raw));
            }
        }
        offset += length;
    }
    return false;  // no end marker
}

}  // namespace

const RawStream* RawFile::Find(std::uint32_t type, const std::u16string& name) const {
    for (const RawStream& stream : streams) {
        if (stream.type == type && stream.name == name) {
            return &stream;
        }
    }
    return nullptr;
}

const RawStream* RawFile::ClusterStream() const {
    return directory ? Find(le32_to_cpu(AT_INDEX_ALLOCATION), u"$I30")
                     : Find(le32_to_cpu(AT_DATA), u"");
}

bool RawFile::InExtend() const {
    return std::any_of(names.begin(), names.end(),
                       [](const RawName& name) { return MREF(name.parent) == FILE_Extend; });
}

MftWalk WalkMft(_ntfs_volume* volume) {
    MftWalk walk;
    walk.totalClusters = static_cast<std::uint64_t>(volume->nr_clusters);
    walk.bitmap.resize(static_cast<std::size_t>((walk.totalClusters + 7) / 8));
    if (ntfs_attr_pread(volume->lcnbmp_na, 0, static_cast<s64>(walk.bitmap.size()),
                        walk.bitmap.data()) != static_cast<s64>(walk.bitmap.size())) {
        walk.problems.push_back("the cluster bitmap cannot be read");
    }
    const std::uint32_t size = volume->mft_record_size;
    const auto records = static_cast<std::uint64_t>(volume->mft_na->initialized_size) / size;
    std::vector<std::uint8_t> record(size);
    for (std::uint64_t number = 0; number < records; ++number) {
        if (ntfs_mft_records_read(volume, number, 1,
                                  reinterpret_cast<MFT_RECORD*>(record.data())) != 0) {
            walk.problems.push_back("record " + std::to_string(number) + " cannot be read");
            continue;
        }
        const auto* header = reinterpret_cast<const MFT_RECORD*>(record.data());
        const std::uint16_t flags = le16_to_cpu(header->flags);
        if (!(flags & le16_to_cpu(MFT_RECORD_IN_USE))) {
            continue;
        }
        const std::uint64_t base = MREF_LE(header->base_mft_record);
        RawFile& file = walk.files[base != 0 ? base : number];
        if (base == 0) {
            file.record = number;
            file.sequence = le16_to_cpu(header->sequence_number);
            file.directory = (flags & le16_to_cpu(MFT_RECORD_IS_DIRECTORY)) != 0;
        }
        if (!ReadAttributes(record.data(), size, number, file)) {
            walk.problems.push_back("record " + std::to_string(number) + " is malformed");
        }
    }
    for (auto& [number, file] : walk.files) {
        for (RawStream& stream : file.streams) {
            std::sort(stream.runs.begin(), stream.runs.end(),
                      [](const Run& a, const Run& b) { return a.vcn < b.vcn; });
        }
    }
    return walk;
}

std::size_t CountFragments(const std::vector<Run>& runs) {
    std::size_t fragments = 0;
    std::int64_t nextLcn = -1;
    for (const Run& run : runs) {
        if (run.lcn == kHoleLcn) {
            continue;
        }
        if (run.lcn != nextLcn) {
            ++fragments;
        }
        nextLcn = run.lcn + run.length;
    }
    return fragments;
}

std::vector<ListedFile> ListedFiles(const MftWalk& walk) {
    std::vector<ListedFile> files;
    for (const auto& [number, raw] : walk.files) {
        if (raw.names.empty()) {
            continue;
        }
        ListedFile file{.reference = raw.Reference(),
                        .directory = raw.directory,
                        .movable = number >= FILE_first_user && !raw.InExtend()};
        if (const RawStream* stream = raw.ClusterStream()) {
            file.fragments = CountFragments(stream->runs);
            for (const Run& run : stream->runs) {
                file.storedClusters += run.lcn == kHoleLcn ? 0 : run.length;
            }
        }
        files.push_back(file);
    }
    return files;
}

std::uint64_t UsedClusters(const MftWalk& walk) {
    std::uint64_t used = 0;
    for (std::uint64_t lcn = 0; lcn < walk.totalClusters; ++lcn) {
        used += (walk.bitmap[lcn / 8] >> (lcn % 8)) & 1u;
    }
    return used;
}

}  // namespace vantrel::engine::ntfs::proof
