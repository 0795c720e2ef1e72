#include "engine/windows/WindowsVolume.h"

#include "engine/FileLayout.h"
#include "engine/SafeFiles.h"
#include "engine/windows/AnswerParsers.h"
#include "engine/windows/MediaQuery.h"
#include "engine/windows/WindowsLayouts.h"

#include <limits>

namespace vantrel::engine::windows {
namespace {

// The directory walk hands out batches of this many entries.
constexpr std::size_t kWalkBatch = 512;
// Reading a file's runs and the data of a move need no more.
constexpr DWORD kFileAccess = FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr std::uint64_t kMaxClustersPerMove = std::numeric_limits<DWORD>::max();
constexpr std::uint64_t kMaxVcn = static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max());

// The volume itself went away or fails.
std::optional<VolumeStatus> VolumeFailureOf(DWORD error) {
    switch (error) {
        case ERROR_NOT_READY:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_WRONG_DISK:
        case ERROR_MEDIA_CHANGED:
        case ERROR_UNRECOGNIZED_VOLUME:
        case ERROR_FILE_INVALID:
        case ERROR_INVALID_HANDLE:
            return VolumeStatus::VolumeChanged;
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_DISK_CORRUPT:
        case ERROR_FILE_CORRUPT:
            return VolumeStatus::IoError;
        default:
            return std::nullopt;
    }
}

bool IsUnsupported(DWORD error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_INVALID_PARAMETER;
}

// A call on the volume as a whole (its data, its bitmap, its file list).
VolumeStatus VolumeReadStatus(DWORD error) {
    if (const auto failure = VolumeFailureOf(error)) {
        return *failure;
    }
    if (error == ERROR_ACCESS_DENIED) {
        return VolumeStatus::AccessDenied;
    }
    return IsUnsupported(error) ? VolumeStatus::NotSupported : VolumeStatus::IoError;
}

// A call on one file: anything but the volume's own failure ends that file's work only.
VolumeStatus FileStatus(DWORD error) {
    if (const auto failure = VolumeFailureOf(error)) {
        return *failure;
    }
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DELETE_PENDING:
            return VolumeStatus::NoSuchFile;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return VolumeStatus::FileInUse;
        case ERROR_ACCESS_DENIED:
            return VolumeStatus::AccessDenied;
        default:
            return IsUnsupported(error) && error != ERROR_INVALID_PARAMETER
                       ? VolumeStatus::NotSupported
                       : VolumeStatus::CannotMove;
    }
}

bool IsFatFamily(const std::wstring& fileSystem) {
    return fileSystem == L"FAT32" || fileSystem == L"FAT" || fileSystem == L"FAT16" ||
           fileSystem == L"FAT12" || fileSystem == L"exFAT";
}

// Whether the range's stored clusters lie at target, target + 1, ... in VCN order.
bool RangeLiesAt(const std::vector<Extent>& extents, Vcn vcn, std::uint64_t clusters, Lcn target) {
    Lcn expected = target;
    bool stored = false;
    for (const Extent& extent : extents) {
        const Vcn from = std::max(extent.vcn, vcn);
        const Vcn to = std::min(extent.vcn + extent.clusters, vcn + clusters);
        if (from >= to || extent.lcn == kNoLcn) {
            continue;
        }
        if (extent.lcn + (from - extent.vcn) != expected) {
            return false;
        }
        expected += to - from;
        stored = true;
    }
    return stored;
}

}  // namespace

WindowsVolume::WindowsVolume(std::unique_ptr<VolumeCalls> calls)
    : calls_(std::move(calls)), answer_(kAnswerBytes + sizeof(VolumeBitmapHeader)) {}

std::optional<std::span<const std::byte>> WindowsVolume::Answered(const CallAnswer& answer) const {
    if (answer.bytes > answer_.size()) {
        return std::nullopt;
    }
    return std::span<const std::byte>(answer_.data(), answer.bytes);
}

VolumeStatus WindowsVolume::QueryVolumeData(VolumeData& data) {
    FileSystemFacts facts;
    if (!calls_->FileSystem(facts)) {
        return VolumeStatus::NotSupported;
    }
    data = VolumeData{};
    data.fileSystem.assign(facts.name.begin(), facts.name.end());
    if (facts.name == L"NTFS") {
        const CallAnswer answer = calls_->Control(nullptr, FSCTL_GET_NTFS_VOLUME_DATA, nullptr, 0,
                                                  answer_.data(), sizeof(NtfsVolumeData));
        if (answer.error != ERROR_SUCCESS) {
            return VolumeReadStatus(answer.error);
        }
        const auto bytes = Answered(answer);
        if (!bytes) {
            return VolumeStatus::BadAnswer;
        }
        if (const VolumeStatus status = ParseNtfsVolumeData(*bytes, data);
            status != VolumeStatus::Ok) {
            return status;
        }
        ntfs_ = true;
        walking_ = false;
    } else if (IsFatFamily(facts.name)) {
        const std::uint64_t bytesPerCluster =
            static_cast<std::uint64_t>(facts.sectorsPerCluster) * facts.bytesPerSector;
        if (facts.bytesPerSector < kMinSectorBytes || facts.bytesPerSector > kMaxSectorBytes ||
            facts.sectorsPerCluster == 0 || bytesPerCluster > kMaxClusterBytes ||
            facts.totalClusters == 0 || facts.freeClusters > facts.totalClusters) {
            return VolumeStatus::BadAnswer;
        }
        data.bytesPerSector = facts.bytesPerSector;
        data.bytesPerCluster = static_cast<std::uint32_t>(bytesPerCluster);
        data.totalClusters = facts.totalClusters;
        data.freeClusters = facts.freeClusters;
        ntfs_ = false;
        walking_ = true;
    } else {
        return VolumeStatus::NotSupported;
    }
    totalClusters_ = data.totalClusters;
    dataRead_ = true;
    return VolumeStatus::Ok;
}

VolumeStatus WindowsVolume::ReadBitmap(Lcn start, BitmapPage& page) {
    if (!dataRead_ || start >= totalClusters_) {
        return VolumeStatus::InvalidParameter;
    }
    STARTING_LCN_INPUT_BUFFER in{};
    in.StartingLcn.QuadPart = static_cast<LONGLONG>(start);
    const CallAnswer answer = calls_->Control(nullptr, FSCTL_GET_VOLUME_BITMAP, &in, sizeof in,
                                              answer_.data(), static_cast<DWORD>(answer_.size()));
    if (answer.error != ERROR_SUCCESS && answer.error != ERROR_MORE_DATA) {
        return VolumeReadStatus(answer.error);
    }
    const auto bytes = Answered(answer);
    if (!bytes) {
        return VolumeStatus::BadAnswer;
    }
    return ParseBitmapPage(*bytes, answer.error == ERROR_MORE_DATA, start, totalClusters_, page);
}

VolumeStatus WindowsVolume::EnumerateFiles(std::uint64_t& cursor, std::vector<FileInfo>& batch) {
    if (!dataRead_) {
        return VolumeStatus::InvalidParameter;
    }
    if (walking_) {
        return walk_.Next(*calls_, cursor, batch, kWalkBatch);
    }
    return EnumerateMft(cursor, batch);
}

VolumeStatus WindowsVolume::EnumerateMft(std::uint64_t& cursor, std::vector<FileInfo>& batch) {
    batch.clear();
    if (cursor == 0) {
        rootListed_ = false;
        encrypted_.clear();
        if (!calls_->RootId(rootId_)) {
            return VolumeStatus::IoError;  // without the root no file is known as a system file
        }
    }
    const MftEnumDataV0 in{cursor, 0, std::numeric_limits<std::int64_t>::max()};
    const CallAnswer answer = calls_->Control(nullptr, FSCTL_ENUM_USN_DATA, &in, sizeof in,
                                              answer_.data(), static_cast<DWORD>(kAnswerBytes));
    const bool unsupported = IsUnsupported(answer.error) ||
                             answer.error == ERROR_JOURNAL_NOT_ACTIVE ||
                             answer.error == ERROR_JOURNAL_DELETE_IN_PROGRESS;
    if (cursor == 0 && unsupported) {
        walking_ = true;  // a system that will not enumerate the MFT: walk the directories
        return walk_.Next(*calls_, cursor, batch, kWalkBatch);
    }
    const auto root = [this] {
        FileInfo info;
        info.id = rootId_;
        info.parentId = rootId_;
        info.attributes = attributes::kDirectory;
        rootListed_ = true;
        return info;
    };
    if (answer.error == ERROR_HANDLE_EOF) {
        if (!rootListed_) {
            batch.push_back(root());
        }
        return VolumeStatus::Ok;
    }
    if (answer.error != ERROR_SUCCESS) {
        return VolumeReadStatus(answer.error);
    }
    const auto bytes = Answered(answer);
    std::uint64_t next = 0;
    std::vector<FileInfo> entries;
    if (!bytes) {
        return VolumeStatus::BadAnswer;
    }
    if (const VolumeStatus status = ParseUsnPage(*bytes, cursor, next, entries);
        status != VolumeStatus::MoreData) {
        return status;
    }
    for (FileInfo& entry : entries) {
        // The root in its place in MFT order, whether or not the system lists it.
        if (!rootListed_ && (entry.id & kRecordMask) > (rootId_ & kRecordMask)) {
            batch.push_back(root());
        }
        if (entry.id == rootId_) {
            if (rootListed_) {
                continue;
            }
            entry.parentId = entry.id;
            rootListed_ = true;
        }
        if ((entry.attributes & attributes::kEncrypted) != 0) {
            encrypted_.insert(entry.id);
        }
        DWORD error = 0;
        if (const HANDLE file = calls_->OpenById(entry.id, kFileAccess, error)) {
            calls_->FileSize(file, entry.size);
            calls_->Close(file);
        }
        batch.push_back(std::move(entry));
    }
    cursor = next;
    return VolumeStatus::MoreData;
}

HANDLE WindowsVolume::OpenFile(std::uint64_t fileId, DWORD access, DWORD& error) {
    if (!walking_) {
        return calls_->OpenById(fileId, access, error);
    }
    const std::optional<std::wstring> path = walk_.PathOf(fileId);
    if (!path) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    return calls_->OpenByPath(*path, access, error);
}

VolumeStatus WindowsVolume::ReadExtents(std::uint64_t fileId, Vcn start,
                                        std::vector<Extent>& page) {
    page.clear();
    if (!dataRead_ || start > kMaxVcn) {
        return VolumeStatus::InvalidParameter;
    }
    DWORD error = 0;
    const HANDLE file = OpenFile(fileId, kFileAccess, error);
    if (file == nullptr) {
        return FileStatus(error);
    }
    STARTING_VCN_INPUT_BUFFER in{};
    in.StartingVcn.QuadPart = static_cast<LONGLONG>(start);
    const CallAnswer answer = calls_->Control(file, FSCTL_GET_RETRIEVAL_POINTERS, &in, sizeof in,
                                              answer_.data(), static_cast<DWORD>(kAnswerBytes));
    calls_->Close(file);
    if (answer.error == ERROR_HANDLE_EOF) {
        return VolumeStatus::Ok;  // data inside the MFT record, or nothing from `start` on
    }
    if (answer.error != ERROR_SUCCESS && answer.error != ERROR_MORE_DATA) {
        return FileStatus(answer.error);
    }
    const auto bytes = Answered(answer);
    if (!bytes) {
        return VolumeStatus::BadAnswer;
    }
    return ParseRetrievalPointers(*bytes, answer.error == ERROR_MORE_DATA, start, totalClusters_,
                                  page);
}

VolumeStatus WindowsVolume::MoveClusters(std::uint64_t fileId, Vcn vcn, Lcn target,
                                         std::uint64_t clusters) {
    if (!dataRead_ || clusters == 0 || clusters > kMaxClustersPerMove || vcn > kMaxVcn ||
        !InsideVolume(target, clusters, totalClusters_)) {
        return VolumeStatus::InvalidParameter;
    }
    // Whatever the engine decided: the file system's own records and a solid-state
    // medium stay as they are.
    if ((ntfs_ && !walking_ && (fileId & kRecordMask) < kFirstUserRecord) ||
        IsSolidState(QueryMedia())) {
        return VolumeStatus::CannotMove;
    }
    const DWORD access =
        kFileAccess | (encrypted_.contains(fileId) ||
                               (walking_ && (walk_.AttributesOf(fileId) & attributes::kEncrypted))
                           ? FILE_READ_DATA
                           : 0);
    DWORD error = 0;
    const HANDLE file = OpenFile(fileId, access, error);
    if (file == nullptr) {
        return FileStatus(error);
    }
    const MoveFileInput input =
        BuildMoveFileInput(file, vcn, target, static_cast<std::uint32_t>(clusters));
    const CallAnswer answer = calls_->Control(nullptr, FSCTL_MOVE_FILE, input.data(),
                                              static_cast<DWORD>(input.size()), nullptr, 0);
    calls_->Close(file);
    switch (answer.error) {
        case ERROR_SUCCESS:
            return VolumeStatus::Ok;
        case ERROR_ACCESS_DENIED:
            return ClassifyRefusedMove(fileId, vcn, target, clusters);
        case ERROR_INVALID_PARAMETER:
            return VolumeStatus::CannotMove;  // a range the file system will not take
        default:
            return FileStatus(answer.error);
    }
}

VolumeStatus WindowsVolume::ClassifyRefusedMove(std::uint64_t fileId, Vcn vcn, Lcn target,
                                                std::uint64_t clusters) {
    std::vector<Extent> extents;
    const VolumeStatus read = ReadAllExtents(*this, fileId, extents);
    if (IsVolumeFailure(read)) {
        return read;
    }
    if (read == VolumeStatus::Ok && RangeLiesAt(extents, vcn, clusters, target)) {
        return VolumeStatus::Ok;  // it moved after all
    }
    bool known = false;
    const bool taken = AnyClusterInUse(target, clusters, known);
    return known && taken ? VolumeStatus::TargetInUse : VolumeStatus::CannotMove;
}

bool WindowsVolume::AnyClusterInUse(Lcn target, std::uint64_t clusters, bool& known) {
    known = false;
    BitmapPage page;
    const Lcn end = target + clusters;
    for (Lcn at = target; at < end;) {
        const VolumeStatus status = ReadBitmap(at, page);
        if ((status != VolumeStatus::Ok && status != VolumeStatus::MoreData) || page.start > at ||
            page.start + page.clusters <= at) {
            return false;
        }
        const Lcn pageEnd = std::min(end, page.start + page.clusters);
        for (; at < pageEnd; ++at) {
            if (page.InUse(at)) {
                known = true;
                return true;
            }
        }
    }
    known = true;
    return false;
}

MediaKind WindowsVolume::QueryMedia() {
    if (!media_) {
        media_ = QueryMediaOf(*calls_);
    }
    return *media_;
}

}  // namespace vantrel::engine::windows
