#include "engine/ntfs/NtfsImageVolume.h"

#include <unistd.h>

#include <algorithm>
#include <new>

#include "engine/ntfs/NtfsLibrary.h"
#include "engine/ntfs/NtfsNoThrow.h"

namespace vantrel::engine::ntfs {

namespace {

struct Mounted {
    ntfs_volume* volume = nullptr;
    int error = 0;  // errno of a failed mount
};

Mounted MountImage(const std::string& imagePath, unsigned long flags,
                   ntfs_device_operations* operations) {
    ntfs_device* device = ntfs_device_alloc(
        imagePath.c_str(), 0, operations ? operations : &ntfs_device_unix_io_ops, nullptr);
    if (device == nullptr) {
        return {nullptr, errno};
    }
    ntfs_volume* volume = ntfs_device_mount(device, flags);
    if (volume == nullptr) {
        const int error = errno;
        ntfs_device_free(device);
        return {nullptr, error};
    }
    return {volume, 0};
}

struct Refusal {
    OpenRefusal refusal;
    const char* why;
};

// What a failed mount means for the person who asked to open the image.
Refusal MountRefusal(int error) {
    // The library locks the image file while it has it open; a lock another
    // process holds fails the mount with EAGAIN, which the library does not name.
    if (error == EAGAIN) {
        return {OpenRefusal::InUse, "is in use by another program"};
    }
    switch (ntfs_volume_error(error)) {
        case NTFS_VOLUME_NOT_NTFS:
            return {OpenRefusal::NotNtfs, "holds no NTFS file system"};
        case NTFS_VOLUME_HIBERNATED:
            return {OpenRefusal::Hibernated,
                    "holds a hibernated Windows; resume and shut it down fully first"};
        case NTFS_VOLUME_UNCLEAN_UNMOUNT:
            return {OpenRefusal::Dirty,
                    "was not cleanly unmounted (its journal is not empty); repair it on Windows "
                    "(chkdsk) first"};
        case NTFS_VOLUME_LOCKED:
            return {OpenRefusal::InUse, "is in use by another program"};
        case NTFS_VOLUME_NO_PRIVILEGE:
            return {OpenRefusal::CannotOpen, "cannot be opened: permission denied"};
        default:
            return {OpenRefusal::Damaged, "is damaged: its NTFS structures cannot be read"};
    }
}

}  // namespace

NtfsImageVolume::Opened NtfsImageVolume::Open(const std::string& imagePath, OpenMode mode,
                                              const NtfsImageOptions& options) noexcept {
    try {
        return OpenImage(imagePath, mode, options);
    } catch (...) {
        // Out of memory before the image was touched, or after it was let go again.
        Opened failed;
        failed.refusal = OpenRefusal::CannotOpen;
        return failed;
    }
}

NtfsImageVolume::Opened NtfsImageVolume::OpenImage(const std::string& imagePath, OpenMode mode,
                                                   const NtfsImageOptions& options) {
    Opened opened;
    const auto refuse = [&](OpenRefusal refusal, const std::string& why) {
        opened.refusal = refusal;
        opened.message = imagePath + " " + why + ".";
        return std::move(opened);
    };
    const bool writable = mode == OpenMode::ReadWrite;

    // An image file only: a device (or a link to one) is never opened.
    struct stat info {};
    if (stat(imagePath.c_str(), &info) != 0) {
        return refuse(OpenRefusal::NotAnImageFile,
                      std::string("cannot be found: ") + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return refuse(OpenRefusal::NotAnImageFile,
                      "is not an image file (only regular files are opened, never a device or a "
                      "directory)");
    }
    if (access(imagePath.c_str(), writable ? R_OK | W_OK : R_OK) != 0) {
        return refuse(OpenRefusal::CannotOpen,
                      std::string("cannot be opened: ") + std::strerror(errno));
    }
    // The library's own lock does not keep out a running ntfs-3g mount of the image.
    unsigned long mountFlags = 0;
    if (ntfs_check_if_mounted(imagePath.c_str(), &mountFlags) != 0) {
        return refuse(OpenRefusal::CannotOpen,
                      std::string("cannot be checked for mounts: ") + std::strerror(errno));
    }
    if (mountFlags & NTFS_MF_MOUNTED) {
        return refuse(OpenRefusal::Mounted, "is mounted; unmount it first");
    }

    // A read-only look first: a dirty volume is refused before anything can write.
    Mounted look = MountImage(imagePath, NTFS_MNT_RDONLY, options.deviceOperations);
    if (look.volume == nullptr) {
        const Refusal refusal = MountRefusal(look.error);
        return refuse(refusal.refusal, refusal.why);
    }
    if (le16_to_cpu(look.volume->flags) & le16_to_cpu(VOLUME_IS_DIRTY)) {
        ntfs_umount(look.volume, FALSE);
        return refuse(
            OpenRefusal::Dirty,
            "is marked dirty (not cleanly unmounted); repair it on Windows (chkdsk) first");
    }
    Mounted mounted = look;
    if (writable) {
        ntfs_umount(look.volume, FALSE);
        mounted = MountImage(imagePath, 0, options.deviceOperations);
        if (mounted.volume == nullptr) {
            const Refusal refusal = MountRefusal(mounted.error);
            return refuse(refusal.refusal, refusal.why);
        }
    }
    // The free-cluster count lives in memory only and starts at zero.
    if (ntfs_volume_get_free_space(mounted.volume) != 0) {
        ntfs_umount(mounted.volume, FALSE);
        return refuse(OpenRefusal::Damaged, "is damaged: its cluster bitmap cannot be read");
    }
    opened.volume.reset(new (std::nothrow) NtfsImageVolume(mounted.volume, !writable, options));
    if (!opened.volume) {
        ntfs_umount(mounted.volume, FALSE);
        return refuse(OpenRefusal::CannotOpen, "cannot be opened: out of memory");
    }
    return opened;
}

NtfsImageVolume::NtfsImageVolume(_ntfs_volume* volume, bool readOnly,
                                 const NtfsImageOptions& options)
    : volume_(volume), readOnly_(readOnly), options_(options) {}

NtfsImageVolume::~NtfsImageVolume() {
    // Every move synced its changes before it answered: nothing is left to lose here.
    ntfs_umount(volume_, FALSE);
}

VolumeStatus NtfsImageVolume::QueryVolumeData(VolumeData& data) {
    if (broken_) {
        return VolumeStatus::IoError;
    }
    data = {};
    data.fileSystem = u"NTFS";
    data.bytesPerSector = volume_->sector_size;
    data.bytesPerCluster = volume_->cluster_size;
    data.totalClusters = static_cast<std::uint64_t>(volume_->nr_clusters);
    data.freeClusters = static_cast<std::uint64_t>(std::max<s64>(0, volume_->free_clusters));
    data.mftStart = static_cast<Lcn>(volume_->mft_lcn);
    data.mftZoneStart = static_cast<Lcn>(volume_->mft_zone_start);
    data.mftZoneEnd = static_cast<Lcn>(volume_->mft_zone_end);
    data.mftValidBytes = static_cast<std::uint64_t>(volume_->mft_na->initialized_size);
    return VolumeStatus::Ok;
}

VolumeStatus NtfsImageVolume::ReadBitmap(Lcn start, BitmapPage& page) {
    if (broken_) {
        return VolumeStatus::IoError;
    }
    const auto total = static_cast<std::uint64_t>(volume_->nr_clusters);
    if (start >= total) {
        return VolumeStatus::InvalidParameter;
    }
    const Lcn first = start & ~Lcn{7};
    const std::uint64_t pageClusters = std::max<std::size_t>(1, options_.bitmapPageBytes) * 8;
    const std::uint64_t clusters = std::min(pageClusters, total - first);
    const auto bytes = static_cast<std::size_t>((clusters + 7) / 8);
    return NoThrow([&] {
        page.start = first;
        page.clusters = clusters;
        page.bits.assign(bytes, 0);
        if (ntfs_attr_pread(volume_->lcnbmp_na, static_cast<s64>(first / 8),
                            static_cast<s64>(bytes), page.bits.data()) != static_cast<s64>(bytes)) {
            return VolumeStatus::IoError;
        }
        // The bitmap may mark clusters past the volume's end; the page shows none.
        if (clusters % 8 != 0) {
            page.bits.back() &= static_cast<std::uint8_t>((1u << (clusters % 8)) - 1);
        }
        return first + clusters < total ? VolumeStatus::MoreData : VolumeStatus::Ok;
    });
}

VolumeStatus NtfsImageVolume::MoveClusters(std::uint64_t fileId, Vcn vcn, Lcn target,
                                           std::uint64_t clusters) {
    if (broken_) {
        return VolumeStatus::IoError;
    }
    if (readOnly_) {
        return VolumeStatus::AccessDenied;
    }
    return NoThrow([&] { return Move(fileId, vcn, target, clusters); });
}

}  // namespace vantrel::engine::ntfs
