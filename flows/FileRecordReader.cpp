#include "flows/FileRecordReader.h"

#include <limits>

namespace svc = vantrel::service;

namespace {

// A file counts as fragmented with two or more fragments.
constexpr std::int32_t kFragmentedFrom = 2;

void AddSaturating(std::uint64_t& sum, std::uint64_t value) {
    sum = value > std::numeric_limits<std::uint64_t>::max() - sum
              ? std::numeric_limits<std::uint64_t>::max()
              : sum + value;
}

}  // namespace

FragmentedClusterSums SumFragmentedClusters(svc::JobService& source, FileRecordProgress* progress) {
    FragmentedClusterSums sums;
    long count = 0;
    if (source.GetFileCount(count) == 0 || count < 1) {
        return sums;
    }
    svc::FileEntry entry;
    for (long index = 0; index < count; ++index) {
        entry = svc::FileEntry{};
        if (source.GetFileRecord(index, entry) == 0) {
            break;
        }
        ++sums.filesRead;
        if (entry.FragmentsBefore >= kFragmentedFrom) {
            AddSaturating(sums.before, entry.LocalClusters);
        }
        if (entry.FragmentsAfter >= kFragmentedFrom) {
            AddSaturating(sums.after, entry.LocalClusters);
        }
        if (progress != nullptr && !progress->OnRecordsRead(sums.filesRead, count)) {
            sums.cancelled = sums.filesRead < count;
            break;
        }
    }
    return sums;
}
