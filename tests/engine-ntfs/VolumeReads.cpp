#include "tests/engine-ntfs/VolumeReads.h"

namespace vantrel::engine::ntfs::proof {

bool ReadWholeBitmap(Volume& volume, std::vector<bool>& used) {
    used.clear();
    BitmapPage page;
    VolumeStatus status = VolumeStatus::MoreData;
    for (Lcn next = 0; status == VolumeStatus::MoreData; next = page.start + page.clusters) {
        status = volume.ReadBitmap(next, page);
        if (status != VolumeStatus::Ok && status != VolumeStatus::MoreData) {
            return false;
        }
        for (Lcn lcn = page.start; lcn < page.start + page.clusters; ++lcn) {
            used.push_back(page.InUse(lcn));
        }
    }
    return true;
}

std::vector<FileInfo> ListFiles(Volume& volume, std::size_t batchLimit) {
    std::vector<FileInfo> files;
    std::vector<FileInfo> batch;
    VolumeStatus status = VolumeStatus::MoreData;
    for (std::uint64_t cursor = 0; status == VolumeStatus::MoreData;) {
        status = volume.EnumerateFiles(cursor, batch);
        if ((status != VolumeStatus::Ok && status != VolumeStatus::MoreData) ||
            batch.size() > batchLimit) {
            return {};
        }
        files.insert(files.end(), batch.begin(), batch.end());
    }
    return files;
}

Lcn FindFreeRun(Volume& volume, std::uint64_t clusters, Lcn from) {
    std::vector<bool> used;
    if (!ReadWholeBitmap(volume, used)) {
        return kNoLcn;
    }
    std::uint64_t runLength = 0;
    for (std::size_t lcn = from; lcn < used.size(); ++lcn) {
        runLength = used[lcn] ? 0 : runLength + 1;
        if (runLength == clusters) {
            return lcn + 1 - clusters;
        }
    }
    return kNoLcn;
}

}  // namespace vantrel::engine::ntfs::proof
