// The volume calls of a simulated volume, answered as Windows answers them: every
// control call's output is built byte by byte from the documented layouts, every
// input (MOVE_FILE_DATA above all) is read back from its bytes and checked. A move
// the simulated volume refuses for a taken target or an unmovable file answers
// ERROR_ACCESS_DENIED either way, as NTFS does. A test may put its own answer in
// place of any control call (a lying one), and sees every handle opened and closed.
#pragma once

#include "engine/sim/SimVolume.h"
#include "engine/windows/VolumeCalls.h"
#include "engine/windows/WindowsLayouts.h"

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::engine::windows::test {

// Appends the bytes of a value (little-endian, as the machine is).
template <typename T>
void Put(std::vector<std::byte>& bytes, const T& value) {
    const auto* raw = reinterpret_cast<const std::byte*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

// What a test answers instead of the volume: the bytes and the error of the call.
struct CraftedAnswer {
    std::vector<std::byte> bytes;
    DWORD error = ERROR_SUCCESS;
    // The count of bytes the call claims to have written; the true one when empty.
    std::optional<DWORD> claimedBytes{};
};

class SimulatedCalls final : public VolumeCalls {
  public:
    explicit SimulatedCalls(sim::SimVolume& volume) : volume_(volume) {}

    // Called before each control call (file null: on the volume); an answer replaces
    // the volume's.
    std::function<std::optional<CraftedAnswer>(DWORD code, HANDLE file, const void* in)> craft;
    bool enumerates = true;  // false: FSCTL_ENUM_USN_DATA is not supported
    int opened = 0;
    int closed = 0;
    int moves = 0;
    bool moveInputWellFormed = true;
    std::map<DWORD, int> controls;

    CallAnswer Control(HANDLE file, DWORD code, const void* in, DWORD inBytes, void* out,
                       DWORD outBytes) override {
        ++controls[code];
        if (craft) {
            if (std::optional<CraftedAnswer> crafted = craft(code, file, in)) {
                const auto bytes =
                    static_cast<DWORD>(std::min<std::size_t>(crafted->bytes.size(), outBytes));
                std::memcpy(out, crafted->bytes.data(), bytes);
                return {crafted->error, crafted->claimedBytes.value_or(bytes)};
            }
        }
        std::vector<std::byte> bytes;
        DWORD error = ERROR_SUCCESS;
        switch (code) {
            case FSCTL_GET_NTFS_VOLUME_DATA:
                error = NtfsData(bytes);
                break;
            case FSCTL_GET_VOLUME_BITMAP:
                error = Bitmap(Read<std::int64_t>(in, inBytes), outBytes, bytes);
                break;
            case FSCTL_ENUM_USN_DATA:
                error = enumerates ? Enumerate(Read<MftEnumDataV0>(in, inBytes), outBytes, bytes)
                                   : ERROR_INVALID_FUNCTION;
                break;
            case FSCTL_GET_RETRIEVAL_POINTERS:
                error = Runs(file, Read<std::int64_t>(in, inBytes), outBytes, bytes);
                break;
            case FSCTL_MOVE_FILE:
                error = Move(in, inBytes);
                break;
            case IOCTL_STORAGE_QUERY_PROPERTY:
                error = Media(Read<STORAGE_PROPERTY_QUERY>(in, inBytes), bytes);
                break;
            default:
                error = ERROR_INVALID_FUNCTION;
        }
        const auto written = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), outBytes));
        if (written != 0) {
            std::memcpy(out, bytes.data(), written);
        }
        return {error, written};
    }

    HANDLE OpenById(std::uint64_t id, DWORD, DWORD& error) override {
        const std::uint64_t record = id & 0xFFFFFFFFFFFFull;
        if (record >= volume_.RecordCount() || !volume_.File(record).exists ||
            volume_.File(record).id != id) {
            error = ERROR_INVALID_PARAMETER;  // what OpenFileById answers for a stale id
            return nullptr;
        }
        error = ERROR_SUCCESS;
        ++opened;
        return HandleOf(record);
    }

    HANDLE OpenByPath(const std::wstring& path, DWORD, DWORD& error) override {
        const std::optional<std::uint64_t> record = RecordAt(path);
        if (!record) {
            error = ERROR_FILE_NOT_FOUND;
            return nullptr;
        }
        error = ERROR_SUCCESS;
        ++opened;
        return HandleOf(*record);
    }

    void Close(HANDLE) override { ++closed; }

    bool FileSize(HANDLE file, std::uint64_t& bytes) override {
        bytes = volume_.File(RecordOf(file)).size;
        return true;
    }

    bool RootId(std::uint64_t& id) override {
        id = volume_.File(sim::kRootRecord).id;
        return true;
    }

    bool FileSystem(FileSystemFacts& facts) override {
        const sim::SimOptions& options = volume_.Options();
        facts.name.assign(options.fileSystem.begin(), options.fileSystem.end());
        facts.bytesPerSector = options.bytesPerSector;
        facts.sectorsPerCluster = options.bytesPerCluster / options.bytesPerSector;
        facts.totalClusters = static_cast<DWORD>(options.totalClusters);
        facts.freeClusters = static_cast<DWORD>(volume_.FreeClusters());
        return true;
    }

    DWORD ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) override {
        entries.clear();
        const std::optional<std::uint64_t> directory = RecordAt(path);
        if (!directory) {
            return ERROR_PATH_NOT_FOUND;
        }
        for (const std::uint64_t child : ChildrenOf(*directory)) {
            const std::u16string name = volume_.NameOf(child);
            entries.push_back({std::wstring(name.begin(), name.end()),
                               volume_.File(child).attributes, volume_.File(child).size});
        }
        return ERROR_SUCCESS;
    }

    // The handle the calls hand out for a file of this record.
    static HANDLE HandleOf(std::uint64_t record) {
        return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x10000 + record));
    }

  private:
    template <typename T>
    static T Read(const void* in, DWORD inBytes) {
        T value{};
        if (in != nullptr && inBytes >= sizeof value) {
            std::memcpy(&value, in, sizeof value);
        }
        return value;
    }

    static std::uint64_t RecordOf(HANDLE file) {
        return reinterpret_cast<std::uintptr_t>(file) - 0x10000;
    }

    std::vector<std::uint64_t> ChildrenOf(std::uint64_t directory) const {
        std::vector<std::uint64_t> children;
        for (std::uint64_t record = 0; record < volume_.RecordCount(); ++record) {
            if (record != directory && volume_.File(record).exists &&
                volume_.File(record).parentRecord == directory) {
                children.push_back(record);
            }
        }
        return children;
    }

    std::optional<std::uint64_t> RecordAt(const std::wstring& path) const {
        std::uint64_t at = sim::kRootRecord;
        for (std::size_t from = 1; from < path.size();) {
            const std::size_t end = std::min(path.find(L'\\', from), path.size());
            const std::wstring part = path.substr(from, end - from);
            std::optional<std::uint64_t> next;
            for (const std::uint64_t child : ChildrenOf(at)) {
                const std::u16string name = volume_.NameOf(child);
                if (std::wstring(name.begin(), name.end()) == part) {
                    next = child;
                }
            }
            if (!next) {
                return std::nullopt;
            }
            at = *next;
            from = end + 1;
        }
        return at;
    }

    DWORD NtfsData(std::vector<std::byte>& bytes) {
        VolumeData data;
        if (volume_.QueryVolumeData(data) != VolumeStatus::Ok) {
            return ERROR_IO_DEVICE;
        }
        NtfsVolumeData ntfs{};
        ntfs.totalClusters = static_cast<std::int64_t>(data.totalClusters);
        ntfs.freeClusters = static_cast<std::int64_t>(data.freeClusters);
        ntfs.bytesPerSector = data.bytesPerSector;
        ntfs.bytesPerCluster = data.bytesPerCluster;
        ntfs.bytesPerFileRecordSegment = 1024;
        ntfs.mftValidDataLength = static_cast<std::int64_t>(volume_.RecordCount() * 1024);
        ntfs.mftStartLcn = static_cast<std::int64_t>(data.mftStart);
        ntfs.mftZoneStart = static_cast<std::int64_t>(data.mftZoneStart);
        ntfs.mftZoneEnd = static_cast<std::int64_t>(data.mftZoneEnd);
        Put(bytes, ntfs);
        return ERROR_SUCCESS;
    }

    DWORD Bitmap(std::int64_t asked, DWORD outBytes, std::vector<std::byte>& bytes) const {
        const std::uint64_t total = volume_.Options().totalClusters;
        const std::uint64_t start = static_cast<std::uint64_t>(asked) & ~std::uint64_t{7};
        if (asked < 0 || start >= total) {
            return ERROR_INVALID_PARAMETER;
        }
        Put(bytes, VolumeBitmapHeader{static_cast<std::int64_t>(start),
                                      static_cast<std::int64_t>(total - start)});
        const std::uint64_t room = (outBytes - sizeof(VolumeBitmapHeader)) * 8;
        const std::uint64_t clusters = std::min(room, total - start);
        for (std::uint64_t byte = 0; byte < (clusters + 7) / 8; ++byte) {
            std::uint8_t bits = 0;
            for (std::uint64_t bit = 0; bit < 8 && byte * 8 + bit < clusters; ++bit) {
                bits |= static_cast<std::uint8_t>(volume_.InUse(start + byte * 8 + bit) << bit);
            }
            Put(bytes, bits);
        }
        return clusters < total - start ? ERROR_MORE_DATA : ERROR_SUCCESS;
    }

    DWORD Enumerate(const MftEnumDataV0& in, DWORD outBytes, std::vector<std::byte>& bytes) const {
        const std::uint64_t first = in.startFileReferenceNumber & 0xFFFFFFFFFFFFull;
        Put(bytes, std::uint64_t{0});
        std::uint64_t record = first;
        for (; record < volume_.RecordCount(); ++record) {
            if (!volume_.File(record).exists) {
                continue;
            }
            const std::u16string name = volume_.NameOf(record);
            const std::size_t length = (kUsnRecordV2NameAt + name.size() * 2 + 7) / 8 * 8;
            if (bytes.size() + length > outBytes) {
                break;
            }
            UsnRecordV2 usn{};
            usn.recordLength = static_cast<std::uint32_t>(length);
            usn.majorVersion = 2;
            usn.fileReferenceNumber = volume_.File(record).id;
            usn.parentFileReferenceNumber = volume_.ParentIdOf(record);
            usn.fileAttributes = volume_.File(record).attributes;
            usn.fileNameLength = static_cast<std::uint16_t>(name.size() * 2);
            usn.fileNameOffset = kUsnRecordV2NameAt;
            const std::size_t at = bytes.size();
            bytes.resize(at + length);
            std::memcpy(bytes.data() + at, &usn, kUsnRecordV2NameAt);
            std::memcpy(bytes.data() + at + kUsnRecordV2NameAt, name.data(), name.size() * 2);
        }
        if (bytes.size() == sizeof(std::uint64_t)) {
            return ERROR_HANDLE_EOF;
        }
        std::memcpy(bytes.data(), &record, sizeof record);
        return ERROR_SUCCESS;
    }

    DWORD Runs(HANDLE file, std::int64_t asked, DWORD outBytes, std::vector<std::byte>& bytes) {
        std::vector<Extent> page;
        const VolumeStatus status =
            volume_.ReadExtents(volume_.File(RecordOf(file)).id, static_cast<Vcn>(asked), page);
        if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
            return ERROR_IO_DEVICE;
        }
        if (page.empty()) {
            return ERROR_HANDLE_EOF;
        }
        const std::size_t room = (outBytes - sizeof(RetrievalPointersHeader)) / 16;
        const bool cut = page.size() > room;
        page.resize(std::min(page.size(), room));
        Put(bytes, RetrievalPointersHeader{static_cast<std::uint32_t>(page.size()), 0,
                                           static_cast<std::int64_t>(page.front().vcn)});
        for (const Extent& extent : page) {
            Put(bytes,
                RetrievalExtent{static_cast<std::int64_t>(extent.vcn + extent.clusters),
                                extent.lcn == kNoLcn ? -1 : static_cast<std::int64_t>(extent.lcn)});
        }
        return cut || status == VolumeStatus::MoreData ? ERROR_MORE_DATA : ERROR_SUCCESS;
    }

    DWORD Move(const void* in, DWORD inBytes) {
        ++moves;
        MOVE_FILE_DATA data{};
        if (inBytes != sizeof data) {
            moveInputWellFormed = false;
            return ERROR_INVALID_PARAMETER;
        }
        std::memcpy(&data, in, sizeof data);
        // The padding after the handle (on 32-bit) and after the count is zero.
        const auto* raw = static_cast<const std::uint8_t*>(in);
        for (std::size_t at = sizeof(HANDLE); at < 8; ++at) {
            moveInputWellFormed = moveInputWellFormed && raw[at] == 0;
        }
        for (std::size_t at = 28; at < 32; ++at) {
            moveInputWellFormed = moveInputWellFormed && raw[at] == 0;
        }
        const std::uint64_t record = RecordOf(data.FileHandle);
        if (record >= volume_.RecordCount()) {
            moveInputWellFormed = false;
            return ERROR_INVALID_HANDLE;
        }
        switch (volume_.MoveClusters(
            volume_.File(record).id, static_cast<Vcn>(data.StartingVcn.QuadPart),
            static_cast<Lcn>(data.StartingLcn.QuadPart), data.ClusterCount)) {
            case VolumeStatus::Ok:
                return ERROR_SUCCESS;
            case VolumeStatus::TargetInUse:
            case VolumeStatus::CannotMove:
                return ERROR_ACCESS_DENIED;
            case VolumeStatus::FileInUse:
                return ERROR_SHARING_VIOLATION;
            case VolumeStatus::NoSuchFile:
                return ERROR_FILE_NOT_FOUND;
            case VolumeStatus::VolumeChanged:
                return ERROR_NOT_READY;
            case VolumeStatus::InvalidParameter:
                return ERROR_INVALID_PARAMETER;
            default:
                return ERROR_IO_DEVICE;
        }
    }

    DWORD Media(const STORAGE_PROPERTY_QUERY& query, std::vector<std::byte>& bytes) const {
        const MediaKind media = volume_.Options().media;
        if (media == MediaKind::Unknown) {
            return ERROR_INVALID_FUNCTION;
        }
        bool flag = false;
        if (query.PropertyId == StorageDeviceSeekPenaltyProperty) {
            flag = media == MediaKind::Rotational;
        } else if (query.PropertyId == StorageDeviceTrimProperty) {
            flag = media == MediaKind::SolidStateWithTrim;
        } else {
            return ERROR_INVALID_FUNCTION;
        }
        Put(bytes,
            StorageFlagDescriptor{sizeof(StorageFlagDescriptor), sizeof(StorageFlagDescriptor),
                                  flag ? std::uint8_t{1} : std::uint8_t{0}});
        return ERROR_SUCCESS;
    }

    sim::SimVolume& volume_;
};

}  // namespace vantrel::engine::windows::test
