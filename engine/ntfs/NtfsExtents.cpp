// A file's extents, read from the run list of the stream they describe.
#include <algorithm>

#include "engine/ntfs/NtfsImageVolume.h"
#include "engine/ntfs/NtfsNoThrow.h"
#include "engine/ntfs/NtfsStreams.h"

namespace vantrel::engine::ntfs {

VolumeStatus NtfsImageVolume::ReadExtents(std::uint64_t fileId, Vcn start,
                                          std::vector<Extent>& page) {
    return NoThrow([&] {
        page.clear();
        if (broken_) {
            return VolumeStatus::IoError;
        }
        InodeHandle inode;
        AttributeHandle stream;
        if (const VolumeStatus opened = OpenFile(volume_, fileId, inode);
            opened != VolumeStatus::Ok) {
            return opened;
        }
        if (const VolumeStatus found = OpenClusterStream(inode.get(), stream);
            found != VolumeStatus::Ok || !stream) {
            return found;
        }
        std::vector<Run> runs;
        if (const VolumeStatus read = ReadRuns(stream.get(), runs); read != VolumeStatus::Ok) {
            return read;
        }
        if (runs.empty()) {
            return VolumeStatus::Ok;  // stored inside the MFT record
        }
        const auto end = static_cast<Vcn>(runs.back().vcn + runs.back().length);
        if (start >= end) {
            return VolumeStatus::InvalidParameter;
        }
        // The page begins with the run that holds `start`, whole.
        auto run = std::upper_bound(runs.begin(), runs.end(), start, [](Vcn vcn, const Run& r) {
            return vcn < static_cast<Vcn>(r.vcn + r.length);
        });
        const std::size_t limit = std::max<std::size_t>(1, options_.extentPageRuns);
        for (; run != runs.end() && page.size() < limit; ++run) {
            page.push_back({static_cast<Vcn>(run->vcn), static_cast<std::uint64_t>(run->length),
                            run->lcn == kHoleLcn ? kNoLcn : static_cast<Lcn>(run->lcn)});
        }
        return run == runs.end() ? VolumeStatus::Ok : VolumeStatus::MoreData;
    });
}

}  // namespace vantrel::engine::ntfs
